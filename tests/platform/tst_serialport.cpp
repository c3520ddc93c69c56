#include "capture/ModemExchange.h"
#include "platform/Error.h"
#include "platform/profile/PrivateProfile.h"
#include "platform/serial/SerialPort.h"
#include "platform/serial/SerialPortMap.h"
#include "support/VirtualModemProcess.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString raised(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.message();
    }
    return {};
}
} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_ini = m_dir.filePath(QStringLiteral("sysset.ini"));
        QFile::remove(m_ini);
    }

    void portMap()
    {
        const QStringList machine{"/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyACM1", "/dev/ttyACM0",
                                  "/dev/rfcomm0", "/dev/ttyS10", "/dev/ttyS2"};
        QCOMPARE(SerialPortMap::defaultOrder(machine),
                 QStringList({"/dev/ttyACM0", "/dev/ttyACM1", "/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2",
                              "/dev/ttyS10", "/dev/rfcomm0"}));
        PrivateProfile(m_ini).writeString(QStringLiteral("ports"), QStringLiteral("com2"), QStringLiteral("/tmp/x"));
        const SerialPortMap map(m_ini, {"/dev/ttyS0", "/dev/ttyUSB0"});
        QCOMPARE(map.devicePath(1), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(map.devicePath(2), QStringLiteral("/tmp/x"));
        QCOMPARE(map.devicePath(3), QString());
        QCOMPARE(map.devicePath(0), QString());
        QCOMPARE(map.devicePath(9), QString());
    }

    void failuresCarryThePortsText()
    {
        map(5, m_dir.filePath(QStringLiteral("no-such-device")));
        SerialPort port(m_ini);
        port.setCommPort(5);
        const QString text = raised([&] { port.setPortOpen(true); });
        QVERIFY2(text.contains(QLatin1String("COM5")) && text.contains(QLatin1String("no-such-device")),
                 qPrintable(text));
        QVERIFY(!port.isOpen());
        QVERIFY(!raised([&] { port.output("ATDT123\r"); }).isEmpty());
        QVERIFY(!raised([&] { port.input(); }).isEmpty());
        QVERIFY(!raised([&] { port.setCommPort(9); }).isEmpty());
        QCOMPARE(port.commPort(), 5);
    }

    void commandAndReplyOverAPseudoTerminal()
    {
        VirtualModemProcess modem({QStringLiteral("reply AT#CID=1 ERROR")});
        QVERIFY(!modem.path().isEmpty());
        map(3, modem.path());
        SerialPort port(m_ini);
        port.setCommPort(3);
        port.setPortOpen(true);
        QVERIFY(port.isOpen());
        QCOMPARE(port.devicePath(), modem.path());

        QVERIFY(ModemExchange::SendAndWait(port, "ATZ", 150));
        QVERIFY(modem.waitReceived(QStringLiteral("ATZ")));
        QTRY_VERIFY(ModemExchange::Answered(port));
        QCOMPARE(port.inBufferCount(), 6);
        QCOMPARE(port.input(), QByteArray("\r\nOK\r\n"));
        QCOMPARE(port.inBufferCount(), 0);
        QCOMPARE(port.input(), QByteArray());

        QVERIFY(ModemExchange::SendAndWait(port, "AT#CID=1", 50));
        QVERIFY(modem.waitReceived(QStringLiteral("AT#CID=1")));
        QTRY_VERIFY(ModemExchange::Answered(port));
        QVERIFY(!ModemExchange::Positive(port.input()));
        QCOMPARE(port.outBufferCount(), 0);

        port.setPortOpen(false);
        QVERIFY(!port.isOpen());
        // Closing and opening again works: the scan and the test command do that.
        port.setPortOpen(true);
        port.output("AT\r");
        QVERIFY(modem.waitReceived(QStringLiteral("AT")));
    }

    // Received characters raise the event from the event loop; what a command already read
    // raises none.
    void receiveEventsFromTheEventLoop()
    {
        VirtualModemProcess modem({QStringLiteral("chunk 4"), QStringLiteral("pause 20")});
        map(1, modem.path());
        SerialPort port(m_ini);
        port.setPortOpen(true);
        QSignalSpy events(&port, &SerialPort::commEventOccurred);
        QByteArray got;
        connect(&port, &SerialPort::commEventOccurred, this, [&] {
            QCOMPARE(port.commEvent(), int(SerialPort::comEvReceive));
            got += port.input();
        });
        modem.command(QStringLiteral("send DATE = 0321\\r\\nNMBR = 0591123456\\r\\n"));
        QTRY_COMPARE(got, QByteArray("DATE = 0321\r\nNMBR = 0591123456\r\n"));
        QVERIFY(events.count() > 1); // chunked with pauses: more than one event

        events.clear();
        QVERIFY(ModemExchange::SendAndWait(port, "ATZ", 150));
        QVERIFY(ModemExchange::Answered(port));
        QVERIFY(ModemExchange::Positive(port.input()));
        QTest::qWait(100);
        QCOMPARE(events.count(), 0);
    }

    void busyPortIsRefused()
    {
        VirtualModemProcess modem;
        map(2, modem.path());
        SerialPort first(m_ini);
        first.setCommPort(2);
        first.setPortOpen(true);
        SerialPort second(m_ini);
        second.setCommPort(2);
        QVERIFY(raised([&] { second.setPortOpen(true); }).contains(QLatin1String("COM2")));
        QVERIFY(!second.isOpen());
        QVERIFY(!raised([&] { first.setPortOpen(true); }).isEmpty()); // already open
        first.setPortOpen(false);
        second.setPortOpen(true);
        QVERIFY(second.isOpen());
    }

    void unpluggedDeviceIsReportedOnce()
    {
        VirtualModemProcess modem;
        map(4, modem.path());
        SerialPort port(m_ini);
        port.setCommPort(4);
        port.setPortOpen(true);
        QSignalSpy lost(&port, &SerialPort::deviceLost);
        modem.quit();
        QTRY_COMPARE(lost.count(), 1);
        QVERIFY(!port.isOpen());
        QVERIFY(lost.at(0).at(0).toString().contains(QLatin1String("COM4")));
        QTest::qWait(200);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(port.outBufferCount(), 0);
    }

    void outputThatNeverDrainsEndsTheWait()
    {
        VirtualModemProcess modem;
        map(6, modem.path());
        SerialPort port(m_ini);
        port.setCommPort(6);
        port.setPortOpen(true);
        modem.command(QStringLiteral("stall on"));
        QTest::qWait(300);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!ModemExchange::SendAndWait(port, "ATZ", 150));
        QVERIFY(clock.elapsed() < 150 + ModemExchange::DrainLimitMs + 500);
        QVERIFY(port.outBufferCount() > 0);

        modem.command(QStringLiteral("stall off"));
        QVERIFY(modem.waitReceived(QStringLiteral("ATZ")));
        QTRY_COMPARE(port.outBufferCount(), 0);
    }

private:
    void map(int com, const QString& path)
    {
        QVERIFY(PrivateProfile(m_ini).writeString(QStringLiteral("PORTS"), QStringLiteral("COM%1").arg(com), path));
    }

    QTemporaryDir m_dir;
    QString m_ini;
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
