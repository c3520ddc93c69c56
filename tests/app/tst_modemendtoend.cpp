#include "lookup/CallLog.h"
#include "platform/ProgramFolder.h"
#include "support/VirtualModemProcess.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The built program started as a user would, with monitoring stored as the start choice:
// about a second after start it starts the virtual modem on COM3 by itself, and a call
// from the modem ends up in the call log, and so does one call of every report shape.
class TestModemEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void automaticStartAndACall()
    {
        VirtualModemProcess modem;
        QVERIFY(!modem.path().isEmpty());
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("prog"));
        // The shipped files first, as a new program folder gets them; then our settings.
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(ProgramFolder::copyShippedFiles(QStringLiteral(VORNX_BIN_DIR), folder));
        QFile::remove(folder + QStringLiteral("/sysset.ini"));
        QFile ini(folder + QStringLiteral("/sysset.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[PORTS]\r\nCOM3=%1\r\n[DEVICESET]\r\nDEVTYPE=4\r\nDEVNUM=2\r\n[SYSTEM]\r\nAUTOSTART=1\r\n")
                      .arg(modem.path())
                      .toLocal8Bit());
        ini.close();

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("VORNX_DATA_DIR"), folder);
        env.insert(QStringLiteral("VORNX_MESSAGE_LOG"), dir.filePath(QStringLiteral("messages.log")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(VORNX_BIN_DIR "/vornx"));
        QVERIFY(program.waitForStarted());

        // The scan finds the modem, then the automatic start switches caller ID on.
        QVERIFY(modem.waitReceived(QStringLiteral("AT#CID=1"), 20000));
        QCOMPARE(modem.received(), QStringList({"AT", "ATZ", "ats0=0", "AT#CID=1"}));

        // The call comes a while later, not inside the start-up's own exchange.
        QTest::qWait(500);
        modem.command(QStringLiteral("call 0591123456"));
        QFile log(folder + QStringLiteral("/Phone.Log"));
        QTRY_VERIFY_WITH_TIMEOUT(log.exists() && log.size() > 0, 15000);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("591123456"));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("messages.log"))));

        // One call of every report shape in a row, each followed by a withheld caller in
        // the same shape; the log holds the callers' numbers in order and nothing else.
        QVERIFY(log.remove());
        const QStringList shapes{"nmbr", "ddn",  "nbr",  "oneline", "isdn", "isdnring", "isdnslash",
                                 "isdnspace", "zyxel", "box", "sdmf", "mdmf", "voice"};
        QStringList expected;
        modem.command(QStringLiteral("chunk 4"));
        modem.command(QStringLiteral("pause 1"));
        for (qsizetype i = 0; i < shapes.size(); ++i) {
            const QString number = QStringLiteral("1390591%1").arg(1000 + i);
            expected << number;
            modem.command(QStringLiteral("shape %1 %2").arg(shapes.at(i), number));
            modem.command(QStringLiteral("wait 400"));
            modem.command(QStringLiteral("shape %1 %2").arg(shapes.at(i), i % 2 ? "O" : "P"));
            modem.command(QStringLiteral("wait 400"));
        }
        // A caller from abroad in international form is logged in national form.
        modem.command(QStringLiteral("shape isdn +8613905919999"));
        expected << QStringLiteral("13905919999");
        CallLog calls(log.fileName());
        const auto loggedNumbers = [&calls] {
            QList<CallLog::Entry> entries;
            calls.read(&entries);
            QStringList numbers;
            for (const CallLog::Entry& entry : entries)
                numbers << entry.number;
            return numbers;
        };
        QTRY_COMPARE_WITH_TIMEOUT(loggedNumbers().size(), expected.size(), 30000);
        QCOMPARE(loggedNumbers(), expected);
        // Nothing more arrives late from the withheld calls.
        QTest::qWait(500);
        QCOMPARE(loggedNumbers(), expected);

        program.terminate();
        QVERIFY(program.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(TestModemEndToEnd)
#include "tst_modemendtoend.moc"
