// The simulated line provider: its configuration file, and driving it from another process
// through its socket with the real `simline` tool.
#include "platform/PrivateFolder.h"
#include "platform/telephony/SimulatedLineControl.h"
#include "platform/telephony/SimulatedLineProvider.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestSimulatedLine : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QByteArray& json)
    {
        const QString path = m_dir.filePath(QStringLiteral("simline.json"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(json) != json.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // Runs the tool as a user would, in a separate process, while this process serves.
    QPair<int, QString> simline(const QStringList& args)
    {
        QProcess tool;
        const QStringList options = args.first() == QLatin1String("--socket") ? QStringList{}
                                                                              : QStringList{"--data-dir", m_dir.path()};
        tool.start(QStringLiteral(VORNX_BIN_DIR "/simline"), options + args);
        if (!tool.waitForStarted())
            return {-1, tool.errorString()};
        while (tool.state() != QProcess::NotRunning)
            QTest::qWait(10);
        return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError())
                                     .trimmed()};
    }

private slots:
    void readsDevicesWithHexadecimalNumbers()
    {
        SimulatedLineProvider provider(write(R"({"devices": [
            {"lineName": "模拟线路", "providerInfo": "P", "switchInfo": "S", "permanentLineId": 7,
             "mediaModes": "0x14", "bearerModes": 9, "lowVersion": "0x00020000", "highVersion": "0x00020002",
             "negotiateError": "0x8000000C", "icon": "line.png"},
            {"lineName": "second"}
        ]})"));
        QString error;
        QVERIFY2(provider.load(&error), qPrintable(error));
        QCOMPARE(provider.deviceCount(), 2u);
        const SimulatedLineDevice& d = provider.device(0);
        QCOMPARE(QString::fromUtf8(d.caps.lineName), QStringLiteral("模拟线路"));
        QCOMPARE(d.caps.permanentLineId, 7u);
        QCOMPARE(d.caps.mediaModes, 0x14u);
        QCOMPARE(d.caps.bearerModes, 9u);
        QCOMPARE(d.caps.lowVersion, 0x00020000u);
        QCOMPARE(d.caps.highVersion, 0x00020002u);
        QCOMPARE(d.negotiateError, LINEERR_INCOMPATIBLEAPIVERSION);
        QCOMPARE(d.iconFile, QStringLiteral("line.png"));
        // Unnamed properties keep the defaults of a voice modem line.
        QCOMPARE(provider.device(1).caps.mediaModes, LINEMEDIAMODE_INTERACTIVEVOICE | LINEMEDIAMODE_DATAMODEM);
    }

    void theDemoLineCallsByItselfAfterItOpens()
    {
        SimulatedLineProvider provider(write(R"({"devices": [
            {"lineName": "demo", "demoCall": {"number": "13905911234", "name": "林建华", "afterSeconds": 0.2}},
            {"lineName": "quiet"}
        ]})"));
        QVERIFY(provider.load());
        QSignalSpy callerIds(&provider, &LineProvider::callInfoChanged);
        QSignalSpy states(&provider, &LineProvider::callStateChanged);

        // A line that is closed again before the call is due gets no call.
        provider.open(0);
        provider.close(0);
        provider.open(1);
        QTest::qWait(600);
        QCOMPARE(callerIds.count(), 0);

        provider.open(0);
        QTRY_COMPARE(callerIds.count(), 1);
        LineCallData call;
        QVERIFY(provider.callData(0, callerIds.at(0).at(1).value<DWORD>(), &call));
        QCOMPARE(call.callerId, QByteArray("13905911234"));
        QCOMPARE(call.callerName, QByteArray("林建华"));
        QCOMPARE(provider.status().at(0), QStringLiteral("0 open offering"));
        // The caller hangs up by himself.
        QTRY_COMPARE_WITH_TIMEOUT(provider.status().at(0), QStringLiteral("0 open idle"), 8000);
        QCOMPARE(states.last().at(2).value<DWORD>(), DWORD(LINECALLSTATE_IDLE));

        // The demo call survives a save of the configuration.
        QVERIFY(provider.save());
        SimulatedLineProvider reread(provider.configFile());
        QVERIFY(reread.load());
        QCOMPARE(reread.device(0).demoNumber, QByteArray("13905911234"));
        QCOMPARE(reread.device(0).demoAfterMs, 200);
        QVERIFY(reread.device(1).demoNumber.isEmpty());
    }

    void brokenFilesAreReportedAndGiveNoDevices_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("problem");
        QTest::newRow("not json") << QByteArray("{\"devices\": [") << "offset";
        QTest::newRow("no list") << QByteArray("{\"lines\": []}") << "no \"devices\" list";
        QTest::newRow("not an object") << QByteArray("{\"devices\": [1]}") << "device 0 is not an object";
        QTest::newRow("bad number") << QByteArray(R"({"devices": [{}, {"maxRate": "fast"}]})")
                                    << "device 1: \"maxRate\" is not a 32-bit number";
        QTest::newRow("too big") << QByteArray(R"({"devices": [{"maxRate": 4294967296}]})") << "\"maxRate\"";
    }

    void brokenFilesAreReportedAndGiveNoDevices()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, problem);
        SimulatedLineProvider provider(write(json));
        QString error;
        QVERIFY(!provider.load(&error));
        QVERIFY2(error.contains(problem), qPrintable(error));
        QVERIFY(error.contains(QStringLiteral("simline.json")));
        QCOMPARE(provider.deviceCount(), 0u);
    }

    void missingFileGivesNoDevices()
    {
        SimulatedLineProvider provider(m_dir.filePath(QStringLiteral("absent.json")));
        QVERIFY(provider.load());
        QCOMPARE(provider.deviceCount(), 0u);
    }

    void savedDevicesReadBackTheSame()
    {
        const QString path = write(R"({"devices": [{"lineName": "A"}]})");
        SimulatedLineProvider provider(path);
        QVERIFY(provider.load());
        SimulatedLineDevice d = provider.device(0);
        d.caps.lineName = "线路一";
        d.caps.generateToneModes = 0x1f;
        d.makeCallResult = LINEERR_OPERATIONFAILED;
        d.iconFile = QStringLiteral("x.png");
        provider.setDevice(0, d);
        QString error;
        QVERIFY2(provider.save(&error), qPrintable(error));

        SimulatedLineProvider again(path);
        QVERIFY(again.load());
        QCOMPARE(again.deviceCount(), 1u);
        QCOMPARE(again.device(0).caps.lineName, QByteArray("线路一"));
        QCOMPARE(again.device(0).caps.generateToneModes, 0x1fu);
        QCOMPARE(again.device(0).makeCallResult, LINEERR_OPERATIONFAILED);
        QCOMPARE(again.device(0).iconFile, QStringLiteral("x.png"));
    }

    void commands_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("empty") << QByteArray("") << QByteArray("ERROR empty command");
        QTest::newRow("unknown") << QByteArray("dance 0") << QByteArray("ERROR unknown command \"dance\"");
        QTest::newRow("no device") << QByteArray("offer") << QByteArray("ERROR \"offer\" needs a line device number");
        QTest::newRow("device out of range") << QByteArray("offer 2 123")
                                             << QByteArray("ERROR no line device 2 (there are 1)");
        QTest::newRow("no call to ring") << QByteArray("ring 0") << QByteArray("ERROR line device 0 has no call");
        QTest::newRow("idle without call") << QByteArray("idle 0") << QByteArray("ERROR line device 0 has no call");
        QTest::newRow("close a closed line") << QByteArray("close 0")
                                             << QByteArray("ERROR line device 0 is not open");
        QTest::newRow("bad result") << QByteArray("result 0 x") << QByteArray("ERROR result needs a code (0 or an "
                                                                             "error code such as 0x80000048)");
        QTest::newRow("result") << QByteArray("RESULT 0 0x80000048") << QByteArray("OK");
        QTest::newRow("status") << QByteArray("status") << QByteArray("OK 0 closed idle");
    }

    void commands()
    {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);
        SimulatedLineProvider provider(QString{});
        provider.addDevice({});
        SimulatedLineControl control(&provider);
        QCOMPARE(control.execute(command), reply);
    }

    void callerIdWithNameThroughCommands()
    {
        SimulatedLineProvider provider(QString{});
        provider.addDevice({});
        SimulatedLineControl control(&provider);
        QSignalSpy info(&provider, &LineProvider::callInfoChanged);
        QCOMPARE(control.execute("offer 0 13812345678 张 三"), QByteArray("OK"));
        QCOMPARE(info.size(), 1);
        LineCallData data;
        QVERIFY(provider.callData(0, info[0][1].value<DWORD>(), &data));
        QCOMPARE(data.callerId, QByteArray("13812345678"));
        QCOMPARE(data.callerName, QByteArray("张 三"));
        QCOMPARE(control.execute("offer 0"), QByteArray("ERROR line device 0 is busy with a call"));
        QCOMPARE(control.execute("status"), QByteArray("OK 0 closed offering"));
    }

    // A description or an icon that is a FIFO or far too big stops nothing: the file is
    // refused naming it, the icon is simply not shown.
    void specialAndHugeFilesAreRefused()
    {
        const QString fifo = m_dir.filePath(QStringLiteral("fifo.json"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        SimulatedLineProvider fromFifo(fifo);
        QString error;
        QVERIFY(!fromFifo.load(&error));
        QVERIFY2(error.contains(fifo) && error.contains(QStringLiteral("不是普通文件")), qPrintable(error));

        const QString huge = m_dir.filePath(QStringLiteral("huge.json"));
        {
            QFile f(huge);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(R"({"devices": [{"lineName": "A"}]})");
            f.write(QByteArray(SimulatedLineProvider::kMaxFileSize, ' '));
        }
        SimulatedLineProvider fromHuge(huge);
        QVERIFY(!fromHuge.load(&error));
        QVERIFY2(error.contains(huge) && error.contains(QStringLiteral("太大")), qPrintable(error));
        QCOMPARE(fromHuge.deviceCount(), 0u);

        // The icon: a real picture shows, a FIFO under the icon's name does not block.
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(m_dir.filePath(QStringLiteral("line.png"))));
        QVERIFY(::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.png"))).constData(), 0600) == 0);
        SimulatedLineProvider provider(write(R"({"devices": [{"icon": "line.png"}, {"icon": "pipe.png"}]})"));
        QVERIFY(provider.load());
        QCOMPARE(provider.icon(0).size(), QSize(4, 4));
        QVERIFY(provider.icon(1).isNull());
    }

    // The tail of a cut command line never runs as a command of its own.
    void overlongCommandLineIsRefusedWhole()
    {
        SimulatedLineProvider provider(QString{});
        provider.addDevice({});
        SimulatedLineControl control(&provider);
        QString error;
        const QString path = m_dir.filePath(QStringLiteral("long.sock"));
        QVERIFY2(control.listen(path, &error), qPrintable(error));
        QSignalSpy states(&provider, &LineProvider::callStateChanged);
        QLocalSocket socket;
        socket.connectToServer(path);
        QVERIFY(socket.waitForConnected(5000));
        // Padding up to the limit, then what would be a command if the line were split there.
        socket.write("status " + QByteArray(4095 - 7, 'x') + "offer 0 13905911234\n");
        QTRY_VERIFY(socket.canReadLine() || socket.state() != QLocalSocket::ConnectedState);
        QTRY_VERIFY(socket.canReadLine());
        QVERIFY2(socket.readLine().startsWith("ERROR command line longer than"), "reply");
        QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        QTest::qWait(100);
        QCOMPARE(states.size(), 0);
        QCOMPARE(control.execute("status"), QByteArray("OK 0 closed idle"));

        // A line just within the limit is still a command.
        QLocalSocket again;
        again.connectToServer(path);
        QVERIFY(again.waitForConnected(5000));
        again.write("status" + QByteArray(4096 - 7, ' ') + "\n");
        QTRY_VERIFY(again.canReadLine());
        QCOMPARE(again.readLine(), QByteArray("OK 0 closed idle\n"));
    }

    // Only a telephone number goes on as the caller's number, in one run; a user name with
    // digits in it is no number.
    void onlyATelephoneNumberIsACallerId_data()
    {
        QTest::addColumn<QByteArray>("offered");
        QTest::addColumn<QByteArray>("callerId");
        QTest::newRow("plain") << QByteArray("059187654321") << QByteArray("059187654321");
        QTest::newRow("international") << QByteArray("+8613905911234") << QByteArray("+8613905911234");
        QTest::newRow("separators") << QByteArray("(0591)8765-43.21") << QByteArray("059187654321");
        QTest::newRow("user name") << QByteArray("alice2") << QByteArray();
        QTest::newRow("extension") << QByteArray("ext5") << QByteArray();
        QTest::newRow("escaped") << QByteArray("%25") << QByteArray();
        QTest::newRow("plus inside") << QByteArray("86+139") << QByteArray();
        QTest::newRow("no digit") << QByteArray("+-") << QByteArray();
    }
    void onlyATelephoneNumberIsACallerId()
    {
        QFETCH(QByteArray, offered);
        QFETCH(QByteArray, callerId);
        SimulatedLineProvider provider(QString{});
        provider.addDevice({});
        QSignalSpy info(&provider, &LineProvider::callInfoChanged);
        QCOMPARE(provider.offer(0, offered, "Alice"), QString());
        QCOMPARE(info.size(), 1);
        LineCallData data;
        QVERIFY(provider.callData(0, info[0][1].value<DWORD>(), &data));
        QCOMPARE(data.callerId, callerId);
        QCOMPARE(data.callerName, QByteArray("Alice"));
    }

    // In a program folder others can write into, the control socket could be swapped for
    // theirs: it lives in the user's runtime folder instead, where the tool finds it.
    void socketOfASharedProgramFolderLivesInTheRuntimeFolder()
    {
        QTemporaryDir runtime;
        QTemporaryDir shared;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        QVERIFY(QFile::setPermissions(shared.path(), QFileDevice::Permissions(0x7777)));
        const QString path = PrivateFolder::fileFor(shared.path(), QStringLiteral("simline.sock"));
        QVERIFY2(path.startsWith(QFileInfo(runtime.path()).canonicalFilePath() + QLatin1Char('/')), qPrintable(path));
        // A private program folder keeps its socket where it always was.
        QCOMPARE(PrivateFolder::fileFor(m_dir.path(), QStringLiteral("simline.sock")),
                 QDir(m_dir.path()).filePath(QStringLiteral("simline.sock")));

        SimulatedLineProvider provider(QString{});
        provider.addDevice({});
        SimulatedLineControl control(&provider);
        QString error;
        QVERIFY2(control.listen(path, &error), qPrintable(error));
        QProcess tool;
        tool.start(QStringLiteral(VORNX_BIN_DIR "/simline"), {"--data-dir", shared.path(), "status"});
        QVERIFY(tool.waitForStarted());
        while (tool.state() != QProcess::NotRunning)
            QTest::qWait(10);
        QCOMPARE(QString::fromUtf8(tool.readAllStandardOutput()).trimmed(), QStringLiteral("OK 0 closed idle"));
        QVERIFY(QDir(shared.path()).entryList(QDir::System | QDir::Files).isEmpty());
        qunsetenv("XDG_RUNTIME_DIR");
    }

    void toolDrivesTheRunningProgram()
    {
        SimulatedLineProvider provider(QString{});
        provider.addDevice({});
        provider.addDevice({});
        SimulatedLineControl control(&provider);
        QString error;
        QVERIFY2(control.listen(m_dir.filePath(QStringLiteral("simline.sock")), &error), qPrintable(error));
        QSignalSpy states(&provider, &LineProvider::callStateChanged);
        QSignalSpy info(&provider, &LineProvider::callInfoChanged);

        QCOMPARE(simline({"offer", "1", "0591123456"}), (QPair<int, QString>{0, "OK"}));
        QCOMPARE(states.size(), 1);
        QCOMPARE(states[0][0].value<DWORD>(), 1u);
        QCOMPARE(states[0][2].value<DWORD>(), LINECALLSTATE_OFFERING);
        QCOMPARE(info.size(), 1);
        QCOMPARE(simline({"disconnect", "1"}), (QPair<int, QString>{0, "OK"}));
        QCOMPARE(states.last()[2].value<DWORD>(), LINECALLSTATE_DISCONNECTED);
        QCOMPARE(simline({"status"}), (QPair<int, QString>{0, "OK 0 closed idle; 1 closed disconnected"}));
        QCOMPARE(simline({"idle", "0"}), (QPair<int, QString>{1, "ERROR line device 0 has no call"}));

        // Without a program listening the tool says so and fails.
        const auto [code, text] = simline({"--socket", m_dir.filePath(QStringLiteral("nobody.sock")), "status"});
        QCOMPARE(code, 1);
        QVERIFY2(text.contains(QStringLiteral("cannot reach the program")), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestSimulatedLine)
#include "tst_simulatedline.moc"
