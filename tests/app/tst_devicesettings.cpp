#include "app/AutoRun.h"
#include "app/DeviceSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestDeviceSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void missingFileChoosesTapiAndNoOptions()
    {
        const DeviceSettings settings(m_dir.filePath(QStringLiteral("none.ini")));
        const DeviceSetSection d = settings.readDeviceSet();
        QVERIFY(d.isTapi());
        QCOMPARE(d.devNum, 0); // the default "-1" reads as its first character
        QCOMPARE(d.modemSet1, 0);
        QCOMPARE(d.modemSet2, 0);
        const SystemSection s = settings.readSystem();
        QVERIFY(!s.autoStart && !s.delHeader && !s.isDtmf);
    }

    void deviceSetReadsTheFirstCharacterOnly_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("tapi");
        QTest::addColumn<int>("devNum");
        QTest::addColumn<int>("modemSet1");
        QTest::newRow("index 12 reads as 1") << QByteArray("DEVTYPE=3\r\nDEVNUM=12\r\n") << true << 1 << 0;
        QTest::newRow("type 7 is the modem") << QByteArray("DEVTYPE=7\r\nDEVNUM=2\r\nMODEMSET1=3\r\n") << false << 2 << 3;
        QTest::newRow("type 4 is the modem") << QByteArray("DEVTYPE=4\r\nDEVNUM=7\r\n") << false << 7 << 0;
        QTest::newRow("type 35 is TAPI") << QByteArray("DEVTYPE=35\r\n") << true << 0 << 0;
        QTest::newRow("empty type is the modem") << QByteArray("DEVTYPE=\r\n") << false << 0 << 0;
        QTest::newRow("non-digits read as 0") << QByteArray("DEVTYPE= 3\r\nDEVNUM=x5\r\nMODEMSET1=-1\r\n") << true << 0 << 0;
    }

    void deviceSetReadsTheFirstCharacterOnly()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, tapi);
        QFETCH(int, devNum);
        QFETCH(int, modemSet1);
        const QString path = m_dir.filePath(QStringLiteral("rule.ini"));
        writeFile(path, "[DEVICESET]\r\n" + body);
        const DeviceSetSection d = DeviceSettings(path).readDeviceSet();
        QCOMPARE(d.isTapi(), tapi);
        QCOMPARE(d.devNum, devNum);
        QCOMPARE(d.modemSet1, modemSet1);
    }

    void systemKeysAreIntegers()
    {
        const QString path = m_dir.filePath(QStringLiteral("system.ini"));
        writeFile(path, "[system]\nautostart=2\nDELHEADER=abc\nISDTMF=-1\n");
        const SystemSection s = DeviceSettings(path).readSystem();
        QVERIFY(s.autoStart);
        QVERIFY(!s.delHeader);
        QVERIFY(s.isDtmf);
    }

    void choicesAndOptionsRoundTrip()
    {
        const QString path = m_dir.filePath(QStringLiteral("sysset.ini"));
        const DeviceSettings settings(path);
        QVERIFY(settings.writeModemChoice(2, 3, 1));
        QVERIFY(settings.writeAutoStart(true));
        QVERIFY(settings.writeDelHeader(true));
        QVERIFY(settings.writeIsDtmf(false));
        QCOMPARE(readFile(path), QByteArray("[DEVICESET]\r\nDEVTYPE=4\r\nDEVNUM=2\r\nMODEMSET1=3\r\nMODEMSET2=1\r\n"
                                            "[SYSTEM]\r\nAUTOSTART=1\r\nDELHEADER=1\r\nISDTMF=0\r\n"));
        DeviceSetSection d = settings.readDeviceSet();
        QVERIFY(!d.isTapi());
        QCOMPARE(d.devNum, 2);
        QCOMPARE(d.modemSet1, 3);
        QCOMPARE(d.modemSet2, 1);

        // The TAPI choice leaves the modem commands of the last modem choice in place.
        QVERIFY(settings.writeTapiChoice(-1));
        d = settings.readDeviceSet();
        QVERIFY(d.isTapi());
        QCOMPARE(d.devNum, 0);
        QCOMPARE(d.modemSet1, 3);
        QVERIFY(settings.writeAutoStart(false));
        QVERIFY(!settings.readSystem().autoStart);
        QVERIFY(settings.readSystem().delHeader);
    }

    // A settings file that cannot be written (here a folder in its place, which even root
    // cannot write as a file): every write says so, and nothing claims to be stored.
    void failedWritesAreReported()
    {
        const QString path = m_dir.filePath(QStringLiteral("blocked/sysset.ini"));
        QVERIFY(QDir().mkpath(path));
        const DeviceSettings settings(path);
        QVERIFY(!settings.writeModemChoice(2, 3, 1));
        QVERIFY(!settings.writeTapiChoice(1));
        QVERIFY(!settings.writeAutoStart(true));
        QVERIFY(!settings.writeDelHeader(true));
        QVERIFY(!settings.writeIsDtmf(true));
        QVERIFY(!settings.readSystem().autoStart);
        QVERIFY(QFileInfo(path).isDir());
    }

    void autoRunEntryIsWrittenAndRemoved()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        const QString entry = config.filePath(QStringLiteral("autostart/Vornexa.desktop"));
        QCOMPARE(AutoRunEntryPath(QStringLiteral("Vornexa")), entry);

        QVERIFY(SetAutoRun(QStringLiteral("Vornexa"), QStringLiteral("/opt/my apps/vornx"), true,
                           {QStringLiteral("--data-dir"), QStringLiteral("/home/u/来电 $1\\x")}));
        const QString text = QString::fromUtf8(readFile(entry));
        QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QVERIFY(text.contains(QStringLiteral("\nType=Application\n")));
        QVERIFY(text.contains(QStringLiteral("\nName=Vornexa\n")));
        // Quoted words, with the launcher's escapes and then the string escapes of the file.
        QVERIFY2(text.contains(QStringLiteral("\nExec=\"/opt/my apps/vornx\" --data-dir \"/home/u/来电 \\\\$1\\\\\\\\x\"\n")),
                 qPrintable(text));

        QVERIFY(SetAutoRun(QStringLiteral("Vornexa"), QStringLiteral("/usr/bin/vornx"), true));
        QVERIFY(QString::fromUtf8(readFile(entry)).contains(QStringLiteral("\nExec=/usr/bin/vornx\n")));

        QVERIFY(SetAutoRun(QStringLiteral("Vornexa"), QString(), false));
        QVERIFY(!QFile::exists(entry));
        QVERIFY(SetAutoRun(QStringLiteral("Vornexa"), QString(), false)); // nothing to remove

        // A configuration folder that cannot be made: the caller learns it.
        writeFile(config.filePath(QStringLiteral("file")), "x");
        qputenv("XDG_CONFIG_HOME", config.filePath(QStringLiteral("file")).toLocal8Bit());
        QVERIFY(!SetAutoRun(QStringLiteral("Vornexa"), QStringLiteral("/usr/bin/vornx"), true));
        qunsetenv("XDG_CONFIG_HOME");
    }

    // A program folder whose name holds a line break cannot add lines to the entry.
    void autoRunRefusesControlCharacters()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        const QString entry = config.filePath(QStringLiteral("autostart/Vornexa.desktop"));
        QVERIFY(SetAutoRun(QStringLiteral("Vornexa"), QStringLiteral("/usr/bin/vornx"), true));
        const QByteArray before = readFile(entry);
        QVERIFY(!SetAutoRun(QStringLiteral("Vornexa"), QStringLiteral("/usr/bin/vornx"), true,
                            {QStringLiteral("--data-dir"), QStringLiteral("/tmp/x\nExec=/bin/evil")}));
        QVERIFY(!SetAutoRun(QStringLiteral("Vornexa"), QStringLiteral("/opt/a\rb/vornx"), true));
        // The entry written before stays as it was.
        QCOMPARE(readFile(entry), before);
        QCOMPARE(QString::fromUtf8(before).count(QStringLiteral("Exec=")), 1);
        qunsetenv("XDG_CONFIG_HOME");
    }

    void relativeConfigHomeIsIgnored()
    {
        qputenv("XDG_CONFIG_HOME", "relative/config");
        QCOMPARE(AutoRunEntryPath(QStringLiteral("Vornexa")), QDir::homePath() + QStringLiteral("/.config/autostart/Vornexa.desktop"));
        qunsetenv("XDG_CONFIG_HOME");
    }
};

QTEST_APPLESS_MAIN(TestDeviceSettings)
#include "tst_devicesettings.moc"
