#include "platform/serial/SerialPort.h"

#include "platform/Error.h"
#include "platform/serial/SerialPortMap.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace {
// Modem status lines can change at any time; a ring burst lasts about two seconds.
constexpr int LineWatchMs = 50;
} // namespace

SerialPort::SerialPort(QString settingsFile, QObject* parent) : QObject(parent), m_settingsFile(std::move(settingsFile))
{
    connect(&m_port, &QSerialPort::readyRead, this, &SerialPort::receiveArrived);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialPort::portError);
    m_lineWatch.setInterval(LineWatchMs);
    connect(&m_lineWatch, &QTimer::timeout, this, &SerialPort::watchModemLines);
}

SerialPort::~SerialPort() = default;

void SerialPort::setCommPort(int port)
{
    if (port < 1 || port > SerialPortMap::PortCount)
        raise(tr("无效的端口号 %1").arg(port));
    m_commPort = port;
}

void SerialPort::setPortOpen(bool open)
{
    if (!open) {
        m_lineWatch.stop();
        if (m_port.isOpen())
            m_port.close();
        return;
    }
    if (m_port.isOpen())
        raise(tr("COM%1: 端口已经打开").arg(m_commPort));
    const QString path = SerialPortMap(m_settingsFile).devicePath(m_commPort);
    if (path.isEmpty())
        raise(tr("COM%1: 没有对应的串口设备").arg(m_commPort));
    m_devicePath = path;
    m_port.setPortName(path);
    if (!m_port.open(QIODevice::ReadWrite))
        raise(QStringLiteral("COM%1 (%2): %3").arg(m_commPort).arg(path, m_port.errorString()));
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_commEvent = 0;
    m_lastLines = -1;
    m_lineWatch.start();
    watchModemLines();
}

void SerialPort::output(const QByteArray& text)
{
    requireOpen();
    if (m_port.write(text) != text.size())
        raise(QStringLiteral("COM%1: %2").arg(m_commPort).arg(m_port.errorString()));
    // Hand the text to the device now: the caller may block the event loop while it waits.
    m_port.flush();
}

QByteArray SerialPort::input()
{
    requireOpen();
    pullPending();
    return m_port.readAll();
}

int SerialPort::inBufferCount()
{
    if (!m_port.isOpen())
        return 0;
    int waiting = 0;
    if (::ioctl(m_port.handle(), FIONREAD, &waiting) != 0)
        waiting = 0;
    return int(m_port.bytesAvailable()) + waiting;
}

int SerialPort::outBufferCount()
{
    if (!m_port.isOpen())
        return 0;
    m_port.flush();
    int queued = 0;
    if (::ioctl(m_port.handle(), TIOCOUTQ, &queued) != 0)
        queued = 0;
    return int(m_port.bytesToWrite()) + queued;
}

bool SerialPort::carrierDetected()
{
    if (!m_port.isOpen())
        return false;
    int lines = 0;
    return ::ioctl(m_port.handle(), TIOCMGET, &lines) == 0 && (lines & TIOCM_CD);
}

void SerialPort::receiveArrived()
{
    if (m_receivePending)
        return;
    m_receivePending = true;
    QMetaObject::invokeMethod(this, &SerialPort::deliverReceive, Qt::QueuedConnection);
}

void SerialPort::deliverReceive()
{
    m_receivePending = false;
    if (inBufferCount() == 0)
        return;
    m_commEvent = comEvReceive;
    emit commEventOccurred();
}

void SerialPort::watchModemLines()
{
    if (!m_port.isOpen())
        return;
    int lines = 0;
    if (::ioctl(m_port.handle(), TIOCMGET, &lines) != 0) {
        // A device without modem status lines (a pseudo-terminal): nothing to watch.
        m_lineWatch.stop();
        return;
    }
    const int before = m_lastLines;
    m_lastLines = lines;
    if (before < 0)
        return;
    if ((lines & TIOCM_CD) != (before & TIOCM_CD)) {
        m_commEvent = comEvCD;
        emit commEventOccurred();
    }
    if ((lines & TIOCM_RI) && !(before & TIOCM_RI) && m_port.isOpen()) {
        m_commEvent = comEvRing;
        emit commEventOccurred();
    }
}

void SerialPort::portError(QSerialPort::SerialPortError error)
{
    if ((error != QSerialPort::ResourceError && error != QSerialPort::ReadError) || !m_port.isOpen())
        return;
    // A device that went away hangs its terminal up; a full output queue (the modem holds
    // CTS) is reported the same way by the port but is not a loss.
    pollfd state{m_port.handle(), POLLIN | POLLOUT, 0};
    if (::poll(&state, 1, 0) < 0 || !(state.revents & (POLLHUP | POLLERR | POLLNVAL))) {
        m_port.clearError();
        return;
    }
    const QString text = QStringLiteral("COM%1 (%2): %3").arg(m_commPort).arg(m_port.portName(), m_port.errorString());
    setPortOpen(false);
    emit deviceLost(text);
}

void SerialPort::pullPending()
{
    // What the device sent while the event loop was blocked is still with the system.
    while (m_port.isOpen() && m_port.waitForReadyRead(0)) {
    }
}

void SerialPort::raise(const QString& text) const
{
    throw Error(text);
}

void SerialPort::requireOpen() const
{
    if (!m_port.isOpen())
        raise(tr("COM%1: 端口没有打开").arg(m_commPort));
}
