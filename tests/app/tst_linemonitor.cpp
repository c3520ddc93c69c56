// The line monitor: bytes made readable, and the window on the main window's modem over a
// pseudo-terminal with the virtual modem, its simulated call going the whole road of a call.
#include "app/LineMonitorLog.h"
#include "app/LineMonitorWindow.h"
#include "app/MainWindow.h"
#include "capture/CallerIdReport.h"
#include "lookup/CallLog.h"
#include "platform/ProgramFolder.h"
#include "platform/profile/PrivateProfile.h"
#include "platform/sound/Sound.h"
#include "platform/ui/MessageBoxes.h"
#include "support/VirtualModemProcess.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
template <typename T> T* child(const QObject& parent, const char* name)
{
    T* found = parent.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

const QDateTime kClock(QDate(2026, 3, 21), QTime(14, 5, 9, 123));
} // namespace

class TestLineMonitor : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_folder;
    QStringList m_boxes;

    QString ini() const { return ProgramFolder::file(QStringLiteral("sysset.ini")); }

private slots:
    void initTestCase()
    {
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box.text;
            return QMessageBox::Ok;
        });
        Sound::setHandler([](const QString&) {});
    }

    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        ProgramFolder::setPath(m_folder->path());
        m_boxes.clear();
        for (int com = 1; com <= 8; ++com)
            QVERIFY(PrivateProfile(ini()).writeString(QStringLiteral("PORTS"), QStringLiteral("COM%1").arg(com),
                                                      m_folder->filePath(QStringLiteral("absent%1").arg(com))));
        // No data source: every call is announced and logged without a lookup.
        QFile vornx(m_folder->filePath(QStringLiteral("Vornx.ini")));
        QVERIFY(vornx.open(QIODevice::WriteOnly));
        vornx.write("[QUERYTYPE]\r\nTYPE=0\r\n");
    }

    void bytesAreReadable_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("line ends") << QByteArray("RING\r\n") << QStringLiteral("RING<CR><LF>");
        QTest::newRow("voice mode") << QByteArray("\x10X\x10.") << QStringLiteral("<DLE>X<DLE>.");
        QTest::newRow("NUL and DEL") << QByteArray("A\0\x7f", 3) << QStringLiteral("A<NUL><7F>");
        QTest::newRow("high bytes in hex") << QByteArray("\x9f\xff") << QStringLiteral("<9F><FF>");
        QTest::newRow("a '<' of its own") << QByteArray("<CR>") << QStringLiteral("<3C>CR>");
        QTest::newRow("blanks and tags") << QByteArray("NMBR = 0591") << QStringLiteral("NMBR = 0591");
    }

    void bytesAreReadable()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(LineMonitorLog::render(bytes), text);
    }

    void linesCarryTimeAndDirection()
    {
        LineMonitorWindow window(nullptr, [] { return kClock; });
        window.addSent("AT#CID=1\r");
        window.addReceived("\r\nOK\r\n");
        window.addReport(CallerIdReport{"13905911234", CallerIdReport::Absence::None, false});
        window.addReport(CallerIdReport{{}, CallerIdReport::Absence::Withheld, false});
        QCOMPARE(window.text(), QStringLiteral("14:05:09.123 发 AT#CID=1<CR>\n"
                                               "14:05:09.123 收 <CR><LF>OK<CR><LF>\n"
                                               "14:05:09.123 识别 号码: 13905911234\n"
                                               "14:05:09.123 识别 无号码: 私人号码"));
        child<QPushButton>(window, "copyButton")->click();
        QCOMPARE(QApplication::clipboard()->text(), window.text());

        const QString path = m_folder->filePath(QStringLiteral("monitor.txt"));
        QString error;
        QVERIFY(window.saveTo(path, &error));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(saved.readAll()), window.text() + QLatin1Char('\n'));
        QVERIFY(!window.saveTo(m_folder->filePath(QStringLiteral("no/such/folder/monitor.txt")), &error));
        QVERIFY(!error.isEmpty());

        child<QPushButton>(window, "clearButton")->click();
        QVERIFY(window.text().isEmpty());
    }

    // Opened from the main window, it shows what the modem is sent and says, and what was
    // recognised; its simulated call reaches the call log like a modem's.
    void followsTheMainWindowsModem()
    {
        VirtualModemProcess modem;
        QVERIFY(PrivateProfile(ini()).writeString(QStringLiteral("PORTS"), QStringLiteral("COM3"), modem.path()));
        MainWindow window;
        child<QPushButton>(window, "lineMonitorButton")->click();
        auto* monitor = window.findChild<LineMonitorWindow*>();
        QVERIFY(monitor);
        QVERIFY(monitor->isVisible());

        child<QRadioButton>(window, "modemRadio")->setChecked(true);
        child<QComboBox>(window, "portCombo")->setCurrentIndex(2);
        child<QPushButton>(window, "monitorButton")->click();
        QVERIFY(m_boxes.isEmpty());
        QVERIFY(monitor->text().contains(QStringLiteral(" 发 AT#CID=1<CR>")));
        QVERIFY(monitor->text().contains(QStringLiteral(" 收 <CR><LF>OK<CR><LF>")));

        modem.command(QStringLiteral("shape zyxel P"));
        modem.command(QStringLiteral("shape sdmf 13905911234"));
        QTRY_VERIFY(monitor->text().contains(QStringLiteral(" 识别 号码: 13905911234")));
        QVERIFY(monitor->text().contains(QStringLiteral(" 识别 无号码: 私人号码")));
        QVERIFY(monitor->text().contains(QStringLiteral("FM:PRIVATE TO:87654321<CR><LF>")));

        // Opened again: the same window, its lines kept.
        const QString before = monitor->text();
        child<QPushButton>(window, "lineMonitorButton")->click();
        QCOMPARE(window.findChildren<LineMonitorWindow*>().size(), 1);
        QVERIFY(monitor->text().startsWith(before));

        CallLog calls(ProgramFolder::file(QStringLiteral("Phone.Log")));
        const auto logged = [&calls] {
            QList<CallLog::Entry> entries;
            calls.read(&entries);
            QStringList numbers;
            for (const CallLog::Entry& entry : entries)
                numbers << entry.number;
            return numbers;
        };
        QTRY_COMPARE(logged(), QStringList{"13905911234"});

        child<QLineEdit>(*monitor, "simulatedNumberEdit")->setText(QStringLiteral(" 0591123456 "));
        child<QPushButton>(*monitor, "simulateButton")->click();
        QTRY_COMPARE(logged(), QStringList({"13905911234", "591123456"}));
        QVERIFY(monitor->text().contains(QStringLiteral(" 模拟来电 0591123456")));
        // Nothing typed: nothing happens.
        child<QLineEdit>(*monitor, "simulatedNumberEdit")->clear();
        child<QPushButton>(*monitor, "simulateButton")->click();
        QTest::qWait(200);
        QCOMPARE(logged().size(), 2);
    }
};

QTEST_MAIN(TestLineMonitor)
#include "tst_linemonitor.moc"
