#include "app/MainWindow.h"

#include "app/ClickableWidgets.h"
#include "capture/TelephonyLine.h"
#include "capture/TapiDevices.h"
#include "platform/ui/MessageBoxes.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>

namespace {

// Failures of the start-up go out under the caption the system gives a box without one.
void ShowTapiError(QWidget* parent, const QString& caption, const QString& text)
{
    MessageBoxes::show({QMessageBox::NoIcon, caption, text, QMessageBox::Ok, QMessageBox::Ok}, parent);
}

} // namespace

void MainWindow::StartTapi()
{
    new TelephonyLine(this); // sets myTAPILine, released by ReleaseTapi
    myTAPILine->SetLowAPIVersion(0x00010003);
    myTAPILine->SetHighAPIVersion(0x00030000);
    if (!myTAPILine->InitLines()) {
        ShowTapiError(this, QStringLiteral("错误"), TelephonyLine::GetErrorText(myTAPILine->TakeLastError()));
        // Line devices of older providers may still speak version 1.4.
        myTAPILine->SetLowAPIVersion(0x00010003);
        myTAPILine->SetHighAPIVersion(0x00010004);
        if (!myTAPILine->InitLines()) {
            ShowTapiError(this, QStringLiteral("错误"), QStringLiteral("致命的错误, TAPI版本协商失败"));
            return;
        }
    }
    // Each item remembers its device: devices that failed negotiation have no item, so the
    // item index and the device identifier differ after the first of them.
    for (const TapiDevices::Item& item : TapiDevices::usableLines(*myTAPILine))
        ComboBox1->addItem(item.name, QVariant::fromValue(item.device));
    ComboBox1->setCurrentIndex(0);
    ComboBox1Change();
}

void MainWindow::ComboBox1Change()
{
    ListBox1->clear();
    if (!myTAPILine)
        return;
    const int item = ComboBox1->currentIndex();
    if (item >= 0) {
        // A failed refresh is not reported: the report then shows the last values read.
        myTAPILine->SelectLine(ComboBox1->itemData(item).value<DWORD>());
        ListBox1->addItems(TapiDevices::lines(*myTAPILine));
    } else {
        ListBox1->addItem(TapiDevices::noLineSelected());
    }
    HICON icon = nullptr;
    if (lineGetIconA(myTAPILine->GetCurLine(), "", &icon) == 0 && icon)
        Image1->setPixmap(QPixmap::fromImage(icon->scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    if (RadioButton3->isChecked())
        Label4->setText(QStringLiteral("TAPI来电设备: ") + ComboBox1->currentText() + QString(17, QLatin1Char(' ')));
}

void MainWindow::btnLineCfgClick()
{
    if (!myTAPILine)
        return;
    if (!myTAPILine->ConfigDialog(nullptr, QString()))
        ShowTapiError(this, QStringLiteral("错误提示"), TelephonyLine::GetErrorText(myTAPILine->TakeLastError()));
}

void MainWindow::ReleaseTapi()
{
    if (!myTAPILine)
        return;
    myTAPILine->CloseLine();
    delete myTAPILine;
}
