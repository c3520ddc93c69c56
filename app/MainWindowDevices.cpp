#include "app/MainWindow.h"

#include "app/AutoRun.h"
#include "app/ClickableWidgets.h"
#include "app/DeviceSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

namespace {
const QString kAutoRunName = QStringLiteral("Vornexa");
const QString kStatusTail(17, QLatin1Char(' '));
} // namespace

void MainWindow::ConnectDeviceHandlers()
{
    // The two buttons sit in different groups, so each reaction clears the other one; a
    // second click on the checked button keeps it checked and reacts again.
    for (QRadioButton* button : {RadioButton3, RadioButton4}) {
        button->setAutoExclusive(false);
        connect(button, &QRadioButton::clicked, this, [button](bool checked) {
            if (!checked)
                button->setChecked(true);
        });
    }
    // Checking a button from code reacts like a click; clearing it does not.
    connect(RadioButton3, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton3Click();
    });
    connect(RadioButton4, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton4Click();
    });
    connect(GroupBox2, &ClickableGroupBox::clicked, this, &MainWindow::GroupBox2Click);
    connect(GroupBox3, &ClickableGroupBox::clicked, this, &MainWindow::GroupBox3Click);
    // Only the user's changes of the port update the status line, not an index set from code.
    connect(ComboBox4, &QComboBox::activated, this, &MainWindow::ComboBox4Change);
    connect(ComboBox4->lineEdit(), &QLineEdit::textEdited, this, &MainWindow::ComboBox4Change);
    // A check box reacts to every change of its state, from the user or from code.
    connect(chkBoot, &QCheckBox::toggled, this, &MainWindow::chkBootClick);
    connect(chkDelHeader, &QCheckBox::toggled, this, &MainWindow::chkDelHeaderClick);
    connect(chkFskDTMF, &QCheckBox::toggled, this, &MainWindow::chkFskDTMFClick);
}

QString MainWindow::SettingsFile() const
{
    return QDir(AppPath).filePath(QStringLiteral("sysset.ini"));
}

void MainWindow::RadioButton3Click()
{
    ComboBox4->setEnabled(false);
    ComboBox5->setEnabled(false);
    ComboBox6->setEnabled(false);
    btnTestModem->setEnabled(false);
    if (!RadioButton3->isChecked())
        return;
    RadioButton4->setChecked(false);
    ComboBox1->setEnabled(true);
    btnLineCfg->setEnabled(true);
    ListBox1->setEnabled(true);
    Label4->setText(QStringLiteral("TAPI来电设备: ") + ComboBox1->currentText() + kStatusTail);
}

void MainWindow::RadioButton4Click()
{
    ComboBox1->setEnabled(false);
    btnLineCfg->setEnabled(false);
    ListBox1->setEnabled(false);
    if (!RadioButton4->isChecked())
        return;
    RadioButton3->setChecked(false);
    ComboBox4->setEnabled(true);
    ComboBox5->setEnabled(true);
    ComboBox6->setEnabled(true);
    btnTestModem->setEnabled(true);
    Label4->setText(QStringLiteral("Modem: ") + ComboBox4->currentText() + kStatusTail);
}

void MainWindow::GroupBox2Click()
{
    RadioButton3->setChecked(true);
}

void MainWindow::GroupBox3Click()
{
    RadioButton4->setChecked(true);
}

void MainWindow::ComboBox4Change()
{
    if (RadioButton4->isChecked())
        Label4->setText(QStringLiteral("Modem: ") + ComboBox4->currentText() + kStatusTail);
}

void MainWindow::chkBootClick()
{
    if (chkBoot->isChecked()) {
        // A program folder named on the command line must be named again at the next start.
        QStringList arguments;
        if (QDir(AppPath) != QDir(QCoreApplication::applicationDirPath()))
            arguments = {QStringLiteral("--data-dir"), QDir(AppPath).absolutePath()};
        SetAutoRun(kAutoRunName, QCoreApplication::applicationFilePath(), true, arguments);
    } else {
        SetAutoRun(kAutoRunName, QString(), false);
    }
    DeviceSettings(SettingsFile()).writeAutoStart(chkBoot->isChecked());
}

void MainWindow::chkDelHeaderClick()
{
    DeviceSettings(SettingsFile()).writeDelHeader(chkDelHeader->isChecked());
}

void MainWindow::chkFskDTMFClick()
{
    DeviceSettings(SettingsFile()).writeIsDtmf(chkFskDTMF->isChecked());
}

void MainWindow::ApplyDeviceSettings()
{
    const DeviceSettings settings(SettingsFile());
    const DeviceSetSection device = settings.readDeviceSet();
    const SystemSection system = settings.readSystem();

    chkBoot->setChecked(system.autoStart);
    chkDelHeader->setChecked(system.delHeader);
    chkFskDTMF->setChecked(system.isDtmf);
    if (chkBoot->isChecked())
        Timer2->start();
    else
        Timer2->stop();

    if (device.isTapi()) {
        ComboBox1->setCurrentIndex(device.devNum);
        RadioButton3->setChecked(true);
        ComboBox1Change();
    } else {
        // The status line keeps the port of the port scan until the user changes the port.
        RadioButton4->setChecked(true);
        ComboBox4->setCurrentIndex(device.devNum);
        ComboBox5->setCurrentIndex(device.modemSet1);
        ComboBox6->setCurrentIndex(device.modemSet2);
    }
}

void MainWindow::WriteDeviceChoice()
{
    const DeviceSettings settings(SettingsFile());
    if (RadioButton3->isChecked())
        settings.writeTapiChoice(ComboBox1->currentIndex());
    else if (RadioButton4->isChecked())
        settings.writeModemChoice(ComboBox4->currentIndex(), ComboBox5->currentIndex(), ComboBox6->currentIndex());
}
