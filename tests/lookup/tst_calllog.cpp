#include "lookup/CallLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}
} // namespace

class TestCallLog : public QObject
{
    Q_OBJECT

private slots:
    void appendsGbkLinesWithTheOldLineEnd()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Phone.Log"));
        QDateTime now(QDate(2004, 5, 6), QTime(13, 45, 10));
        CallLog log(path, [&now] { return now; });

        QVERIFY(log.append(QStringLiteral("591123456"), QStringLiteral("福州万达贸易")));
        now = now.addSecs(3600 * 11);
        QVERIFY(log.append(QStringLiteral("8861049"), QString()));

        // 福州万达贸易 in GBK
        const QByteArray expected = "2004-05-06 13:45:10-#-591123456-#-"
                                    "\xB8\xA3\xD6\xDD\xCD\xF2\xB4\xEF\xC3\xB3\xD2\xD7\r\r\n"
                                    "2004-05-07 00:45:10-#-8861049-#-\r\r\n";
        QCOMPARE(readAll(path), expected);
    }

    void aLogThatCannotBeOpenedIsReported()
    {
        QTemporaryDir dir;
        CallLog log(dir.filePath(QStringLiteral("no-such-folder/Phone.Log")));
        QString error;
        QVERIFY(!log.append(QStringLiteral("123"), QStringLiteral("x"), &error));
        QCOMPARE(error, QStringLiteral("日志文件无法打开或创建！"));

        // A folder standing where the log belongs.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Phone.Log")));
        QVERIFY(!CallLog(dir.filePath(QStringLiteral("Phone.Log"))).append(QStringLiteral("2"), QString(), &error));
    }

    void linesReadBackField_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("fields");

        QTest::newRow("written line") << CallLog::formatLine({QStringLiteral("2004-05-06 13:45:10"),
                                                              QStringLiteral("0591"), QStringLiteral("张三")})
                                      << QStringList{QStringLiteral("2004-05-06 13:45:10"), QStringLiteral("0591"),
                                                     QStringLiteral("张三")};
        QTest::newRow("remark holding the separator")
            << QByteArray("2004-05-06 13:45:10-#-123-#-a-#-b\n")
            << QStringList{QStringLiteral("2004-05-06 13:45:10"), QStringLiteral("123"), QStringLiteral("a-#-b")};
        QTest::newRow("empty remark, CR LF")
            << QByteArray("t-#-1-#-\r\n") << QStringList{QStringLiteral("t"), QStringLiteral("1"), QString()};
        QTest::newRow("remark with a line break stays on its line")
            << CallLog::formatLine({QStringLiteral("t"), QStringLiteral("1"), QStringLiteral("a\r\nb\nc")})
            << QStringList{QStringLiteral("t"), QStringLiteral("1"), QStringLiteral("a b c")};
    }

    void linesReadBackField()
    {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, fields);
        QCOMPARE(line.count('\n'), 1);
        const std::optional<CallLog::Entry> entry = CallLog::parseLine(line);
        QVERIFY(entry.has_value());
        QCOMPARE((QStringList{entry->time, entry->number, entry->remark}), fields);
    }

    void aLineWithoutTwoSeparatorsIsNoEntry()
    {
        QVERIFY(!CallLog::parseLine("2004-05-06 13:45:10-#-123\r\r\n"));
        QVERIFY(!CallLog::parseLine(""));
    }
};

QTEST_APPLESS_MAIN(TestCallLog)
#include "tst_calllog.moc"
