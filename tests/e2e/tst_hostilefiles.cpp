// Files of the program folder that are not what their names say, end to end: the program
// still comes up, names each file it could not use once, and keeps running.
#include "tests/e2e/ProgramRun.h"

#include <sys/stat.h>

class TestHostileFiles : public QObject
{
    Q_OBJECT

private slots:
    // A FIFO in the region table's place would be waited on for good; settings saved as
    // UTF-16 would silently be the defaults. Both are named, and start-up goes on.
    void fifoAndUtf16FilesAreNamedAndTheProgramStarts()
    {
        ProgramRun run;
        QCOMPARE(::mkfifo(QFile::encodeName(run.file(QStringLiteral("area.dat"))).constData(), 0600), 0);
        const QString settings = QStringLiteral("[DEVICESET]\r\nDEVTYPE=3\r\nDEVNUM=0\r\n");
        run.write(QStringLiteral("sysset.ini"),
                  "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(settings.utf16()), settings.size() * 2));
        QVERIFY(run.start());
        QTRY_VERIFY_WITH_TIMEOUT(run.messages().join(QLatin1Char('\n')).contains(QStringLiteral("sysset.ini")), 20000);
        const QString messages = run.messages().join(QLatin1Char('\n'));
        QVERIFY2(messages.contains(QStringLiteral("电话号码归属查询数据无法打开！")) &&
                     messages.contains(run.file(QStringLiteral("area.dat"))) &&
                     messages.contains(QStringLiteral("不是普通文件")),
                 qPrintable(messages));
        QVERIFY2(messages.contains(QStringLiteral("不是文本文件")) && messages.contains(QStringLiteral("按默认设置运行")),
                 qPrintable(messages));
        QTest::qWait(500);
        QVERIFY(run.running());
        // Each is named once.
        QCOMPARE(run.messages().join(QLatin1Char('\n')).count(run.file(QStringLiteral("sysset.ini"))), 1);
    }
};

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
