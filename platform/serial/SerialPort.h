#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

// A serial port with the properties and the event of the desktop's serial communications
// control, over QSerialPort: the program numbers its ports COM1..COM8 (mapped to devices
// by SerialPortMap), opens and closes one by a property, writes and reads text, asks how
// much is waiting either way, and gets one event whose code says what happened.
//
// Opening a port that does not exist or is in use, and writing to or reading from a
// closed port, raise an Error carrying the port's own error text.
//
// The line stays at 9600 bit/s, 8 data bits, no parity, 1 stop bit, no flow control.
// Events are delivered from the event loop, never from inside a call of this class, so a
// command that writes, waits and reads in one go sees its reply through input() and no
// receive event fires for what it has already read.
class SerialPort final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SerialPort)

public:
    // Values of commEvent().
    enum : int {
        comEvReceive = 2, // characters are waiting
        comEvCD = 5,      // the carrier-detect line changed
        comEvRing = 6,    // the ring indicator came on
    };

    // `settingsFile` holds the [PORTS] keys of the port map; read at each opening.
    explicit SerialPort(QString settingsFile, QObject* parent = nullptr);
    ~SerialPort() override;

    int commPort() const { return m_commPort; }
    void setCommPort(int port);

    bool isOpen() const { return m_port.isOpen(); }
    void setPortOpen(bool open);

    void output(const QByteArray& text);
    // Everything waiting in the receive buffer; the buffer is then empty.
    QByteArray input();
    int inBufferCount();
    // Characters written but not yet sent to the device.
    int outBufferCount();
    bool carrierDetected();
    int commEvent() const { return m_commEvent; }

    // The device path the port was opened on.
    const QString& devicePath() const { return m_devicePath; }

signals:
    // Something happened on the open port; commEvent() says what.
    void commEventOccurred();
    // The open port's device went away (a USB modem unplugged). The port is closed and
    // this is said once; reopening starts afresh.
    void deviceLost(const QString& errorText);

private:
    void receiveArrived();
    void deliverReceive();
    void watchModemLines();
    void portError(QSerialPort::SerialPortError error);
    void pullPending();
    [[noreturn]] void raise(const QString& text) const;
    void requireOpen() const;

    QString m_settingsFile;
    QSerialPort m_port;
    QString m_devicePath;
    QTimer m_lineWatch;
    int m_commPort = 1;
    int m_commEvent = 0;
    bool m_receivePending = false;
    int m_lastLines = -1;
};
