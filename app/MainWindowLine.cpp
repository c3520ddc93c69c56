#include "app/MainWindow.h"

#include "app/ClickableWidgets.h"
#include "capture/LineMessage.h"
#include "capture/TapiDevices.h"
#include "capture/TelephonyLine.h"
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

void MainWindow::startLineDevices()
{
    m_line = std::make_unique<TelephonyLine>();
    // The line's events become the call messages, posted as every capture path posts them.
    connect(m_line.get(), &TelephonyLine::ringing, this, [this] { postMessage(WM_LINE_RING, {}, 0); });
    connect(m_line.get(), &TelephonyLine::ringDone, this, [this] { postMessage(WM_RING_DONE, {}, 0); });
    connect(m_line.get(), &TelephonyLine::callerNumber, this,
            [this](const QByteArray& number) { postMessage(WM_CALLER_NUMBER, number, 0); });
    // Both are said from inside the line's callback: their boxes wait for the event loop.
    connect(m_line.get(), &TelephonyLine::makeCallFailed, this, &MainWindow::showCallBackFailed, Qt::QueuedConnection);
    connect(m_line.get(), &TelephonyLine::lineClosed, this, &MainWindow::showLineClosed, Qt::QueuedConnection);
    m_line->setLowApiVersion(0x00010003);
    m_line->setHighApiVersion(0x00030000);
    if (!m_line->initLines()) {
        ShowTapiError(this, tr("错误"), TelephonyLine::errorText(m_line->takeLastError()));
        // Line devices of older providers may still speak version 1.4.
        m_line->setLowApiVersion(0x00010003);
        m_line->setHighApiVersion(0x00010004);
        if (!m_line->initLines()) {
            ShowTapiError(this, tr("错误"), tr("致命的错误, TAPI版本协商失败"));
            return;
        }
    }
    // Each item remembers its device: devices that failed negotiation have no item, so the
    // item index and the device identifier differ after the first of them.
    for (const TapiDevices::Item& item : TapiDevices::usableLines(*m_line))
        m_lineCombo->addItem(item.name, QVariant::fromValue(item.device));
    m_lineCombo->setCurrentIndex(0);
    showLineReport();
}

void MainWindow::showLineReport()
{
    m_lineReport->clear();
    if (!m_line)
        return;
    const int item = m_lineCombo->currentIndex();
    if (item >= 0) {
        // A failed refresh is not reported: the report then shows the last values read.
        m_line->selectLine(m_lineCombo->itemData(item).value<DWORD>());
        m_lineReport->addItems(TapiDevices::lines(*m_line));
    } else {
        m_lineReport->addItem(TapiDevices::noLineSelected());
    }
    HICON icon = nullptr;
    if (lineGetIconA(m_line->currentDevice(), "", &icon) == 0 && icon)
        m_lineIcon->setPixmap(
            QPixmap::fromImage(icon->scaled(m_lineIcon->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    if (m_lineRadio->isChecked())
        m_statusLabel->setText(tr("TAPI来电设备: ") + m_lineCombo->currentText() + QString(17, QLatin1Char(' ')));
}

bool MainWindow::openLineForMonitoring(QString* device)
{
    *device = tr("TAPI来电设备: ") + m_lineCombo->currentText();
    if (!m_line) {
        ShowTapiError(this, tr("错误提示"), tr("没有可用的TAPI线路，来电监控没有启动。"));
        return false;
    }
    // Opened afresh on every start, so that a line its provider closed comes back.
    m_line->closeLine();
    m_line->takeLastError();
    if (m_line->openLine(LINECALLPRIVILEGE_OWNER, LINEMEDIAMODE_DATAMODEM))
        return true;
    ShowTapiError(this, tr("错误提示"),
                  tr("无法打开TAPI线路，来电监控没有启动：") + TelephonyLine::errorText(m_line->takeLastError()));
    return false;
}

void MainWindow::showLineClosed()
{
    if (m_monitoredDevice == MonitoredDevice::Line)
        showMonitoringState(MonitoringState::Lost, m_monitoredName);
    ShowTapiError(this, tr("错误提示"), tr("TAPI线路已被关闭，来电监控已停止。请按“监控”重新开始。"));
}

void MainWindow::showCallBackFailed(qint32 code)
{
    ShowTapiError(this, tr("错误提示"), tr("回拨失败：") + TelephonyLine::errorText(code));
}

void MainWindow::configureLine()
{
    if (!m_line)
        return;
    if (!m_line->showConfigDialog(nullptr, QString()))
        ShowTapiError(this, tr("错误提示"), TelephonyLine::errorText(m_line->takeLastError()));
}

void MainWindow::releaseLine()
{
    if (!m_line)
        return;
    m_line->closeLine();
    m_line.reset();
}
