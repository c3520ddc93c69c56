#include "app/MainWindow.h"

#include "app/AutoRun.h"
#include "app/ClickableWidgets.h"
#include "app/DeviceSettings.h"
#include "platform/serial/SerialPortMap.h"
#include "platform/ui/MessageBoxes.h"

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

// A command list as stored: the item at its index when the stored text is that item (or
// no text was stored), another item of that text, or the text as typed.
void restoreCommand(QComboBox* box, int index, const QString& text)
{
    box->setCurrentIndex(index);
    if (text.isEmpty() || box->currentText() == text)
        return;
    const int item = box->findText(text);
    if (item >= 0)
        box->setCurrentIndex(item);
    else
        box->setEditText(text);
}
} // namespace

void MainWindow::connectDeviceWidgets()
{
    // The two buttons sit in different groups, so each reaction clears the other one; a
    // second click on the checked button keeps it checked and reacts again.
    for (QRadioButton* button : {m_lineRadio, m_modemRadio}) {
        button->setAutoExclusive(false);
        connect(button, &QRadioButton::clicked, this, [button](bool checked) {
            if (!checked)
                button->setChecked(true);
        });
    }
    // Checking a button from code reacts like a click; clearing it does not.
    connect(m_lineRadio, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            lineChosen();
    });
    connect(m_modemRadio, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            modemChosen();
    });
    // A click on a group's frame chooses its device.
    connect(m_lineGroup, &ClickableGroupBox::clicked, m_lineRadio, [this] { m_lineRadio->setChecked(true); });
    connect(m_modemGroup, &ClickableGroupBox::clicked, m_modemRadio, [this] { m_modemRadio->setChecked(true); });
    // Only the user's changes of the port update the status line, not an index set from code.
    connect(m_portCombo, &QComboBox::activated, this, &MainWindow::showChosenPort);
    connect(m_portCombo->lineEdit(), &QLineEdit::textEdited, this, &MainWindow::showChosenPort);
    // A check box reacts to every change of its state, from the user or from code.
    connect(m_autoStartCheck, &QCheckBox::toggled, this, &MainWindow::storeAutoStart);
    connect(m_dropFirstDigitCheck, &QCheckBox::toggled, this, &MainWindow::storeDropFirstDigit);
    connect(m_dtmfCheck, &QCheckBox::toggled, this, &MainWindow::storeDtmf);
}

QString MainWindow::settingsFile() const
{
    return QDir(m_programFolder).filePath(QStringLiteral("sysset.ini"));
}

void MainWindow::lineChosen()
{
    m_portCombo->setEnabled(false);
    m_callerIdCommandCombo->setEnabled(false);
    m_initCommandCombo->setEnabled(false);
    m_testModemButton->setEnabled(false);
    if (!m_lineRadio->isChecked())
        return;
    m_modemRadio->setChecked(false);
    m_lineCombo->setEnabled(true);
    m_lineConfigButton->setEnabled(true);
    m_lineReport->setEnabled(true);
    m_statusLabel->setText(tr("TAPI来电设备: ") + m_lineCombo->currentText() + kStatusTail);
}

void MainWindow::modemChosen()
{
    m_lineCombo->setEnabled(false);
    m_lineConfigButton->setEnabled(false);
    m_lineReport->setEnabled(false);
    if (!m_modemRadio->isChecked())
        return;
    m_lineRadio->setChecked(false);
    m_portCombo->setEnabled(true);
    m_callerIdCommandCombo->setEnabled(true);
    m_initCommandCombo->setEnabled(true);
    m_testModemButton->setEnabled(true);
    // A modem plugged in since the last look shows up when the user turns to the modem.
    describePorts();
    m_statusLabel->setText(QStringLiteral("Modem: ") + m_portCombo->currentText() + kStatusTail);
}

void MainWindow::describePorts()
{
    const SerialPortMap ports(settingsFile());
    const QColor absent = m_portCombo->palette().color(QPalette::Disabled, QPalette::Text);
    for (int item = 0; item < m_portCombo->count() && item < SerialPortMap::PortCount; ++item) {
        const SerialPortMap::Device device = ports.device(item + 1);
        QString tip;
        if (device.present)
            tip = tr("COM%1：%2").arg(item + 1).arg(device.path);
        else if (device.path.isEmpty())
            tip = tr("COM%1：本机没有对应的串口设备").arg(item + 1);
        else
            tip = tr("COM%1：%2（设备不存在）").arg(item + 1).arg(device.path);
        m_portCombo->setItemData(item, tip, Qt::ToolTipRole);
        m_portCombo->setItemData(item, device.present ? QVariant() : QVariant(absent), Qt::ForegroundRole);
    }
}

void MainWindow::showChosenPort()
{
    if (m_modemRadio->isChecked())
        m_statusLabel->setText(QStringLiteral("Modem: ") + m_portCombo->currentText() + kStatusTail);
}

void MainWindow::storeAutoStart()
{
    // A program folder named on the command line must be named again at the next start.
    QStringList arguments;
    if (m_autoStartCheck->isChecked() && QDir(m_programFolder) != QDir(QCoreApplication::applicationDirPath()))
        arguments = {QStringLiteral("--data-dir"), QDir(m_programFolder).absolutePath()};
    // The check box alone would promise a start with the desktop that will not come.
    if (!SetAutoRun(kAutoRunName, QCoreApplication::applicationFilePath(), m_autoStartCheck->isChecked(), arguments))
        ShowWarningBox(tr("无法写入自动启动项“%1”，下次不会按此设置自动启动。")
                           .arg(QDir::toNativeSeparators(AutoRunEntryPath(kAutoRunName))));
    reportSettingsWrite(DeviceSettings(settingsFile()).writeAutoStart(m_autoStartCheck->isChecked()));
}

void MainWindow::storeDropFirstDigit()
{
    reportSettingsWrite(DeviceSettings(settingsFile()).writeDelHeader(m_dropFirstDigitCheck->isChecked()));
}

void MainWindow::storeDtmf()
{
    reportSettingsWrite(DeviceSettings(settingsFile()).writeIsDtmf(m_dtmfCheck->isChecked()));
}

void MainWindow::reportSettingsWrite(bool written)
{
    // The boxes keep showing the user's choice for this run; what must not happen is that
    // the next start silently comes back with other settings. One box for a read-only folder,
    // not one per click.
    if (written) {
        m_settingsFailureShown = false;
        return;
    }
    if (m_settingsFailureShown)
        return;
    m_settingsFailureShown = true;
    ShowWarningBox(tr("设置无法保存到“%1”，下次启动时仍使用原来的设置。").arg(QDir::toNativeSeparators(settingsFile())));
}

void MainWindow::applyDeviceSettings()
{
    const DeviceSettings settings(settingsFile());
    QString unreadable;
    if (!settings.readable(&unreadable))
        ShowWarningBox(tr("%1，按默认设置运行。").arg(unreadable));
    const DeviceSetSection device = settings.readDeviceSet();
    const SystemSection system = settings.readSystem();

    m_autoStartCheck->setChecked(system.autoStart);
    m_dropFirstDigitCheck->setChecked(system.delHeader);
    m_dtmfCheck->setChecked(system.isDtmf);
    if (m_autoStartCheck->isChecked())
        m_autoStartTimer->start();
    else
        m_autoStartTimer->stop();

    if (device.isTapi()) {
        m_lineCombo->setCurrentIndex(device.devNum);
        m_lineRadio->setChecked(true);
        showLineReport();
    } else {
        // The status line keeps the port of the port scan until the user changes the port.
        m_modemRadio->setChecked(true);
        m_portCombo->setCurrentIndex(device.devNum);
        restoreCommand(m_callerIdCommandCombo, device.modemSet1, device.callerIdCommand);
        restoreCommand(m_initCommandCombo, device.modemSet2, device.initCommand);
    }
}

void MainWindow::storeDeviceChoice()
{
    const DeviceSettings settings(settingsFile());
    if (m_lineRadio->isChecked())
        reportSettingsWrite(settings.writeTapiChoice(m_lineCombo->currentIndex()));
    else if (m_modemRadio->isChecked()) {
        const bool indexesWritten = settings.writeModemChoice(
            m_portCombo->currentIndex(), m_callerIdCommandCombo->currentIndex(), m_initCommandCombo->currentIndex());
        const bool textsWritten =
            settings.writeModemCommands(m_callerIdCommandCombo->currentText(), m_initCommandCombo->currentText());
        reportSettingsWrite(indexesWritten && textsWritten);
    }
}
