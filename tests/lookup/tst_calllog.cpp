#include "lookup/CallLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

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

    // The disk fills up in the middle of a record: the records before it stay as they were
    // and the next call, once there is room, starts a line of its own.
    void aRecordCutByAFullDiskIsTakenBackWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Phone.Log"));
        CallLog log(path);
        QVERIFY(log.append(QStringLiteral("591123456"), QStringLiteral("first")));
        const QByteArray before = readAll(path);

        // The file size limit stands in for the full disk: the system takes the first bytes
        // of the write and refuses the rest.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = rlim_t(before.size() + 10);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString error;
        const bool written = log.append(QStringLiteral("13912345678"), QStringLiteral("second"), &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, previousHandler);

        QVERIFY(!written);
        QCOMPARE(error, QStringLiteral("日志文件无法打开或创建！"));
        QCOMPARE(readAll(path), before);
        QVERIFY(log.append(QStringLiteral("8861049"), QStringLiteral("third")));
        QList<CallLog::Entry> entries;
        QVERIFY(log.read(&entries));
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[1].number, QStringLiteral("8861049"));
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
        const CallLog::Entry entry = CallLog::parseLine(line);
        QCOMPARE((QStringList{entry.time, entry.number, entry.remark}), fields);
    }

    void linesWithoutSeparatorsAreListedAsEver_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("fields");
        // A missing separator leaves nothing before it and drops two characters after it.
        QTest::newRow("no separator") << QByteArray("hand written note\r\n")
                                      << QStringList{QString(), QString(), QStringLiteral(" written note")};
        QTest::newRow("one separator") << QByteArray("2004-05-06 13:45:10-#-0591\r\r\n")
                                       << QStringList{QStringLiteral("2004-05-06 13:45:10"), QString(),
                                                      QStringLiteral("91")};
        QTest::newRow("GBK counted in characters") << QByteArray("\xB8\xA3\xD6\xDD\xCD\xF2\xB4\xEF\xC3\xB3\xD2\xD7\n")
                                                   << QStringList{QString(), QString(), QStringLiteral("贸易")};
    }

    void linesWithoutSeparatorsAreListedAsEver()
    {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, fields);
        const CallLog::Entry entry = CallLog::parseLine(line);
        QCOMPARE((QStringList{entry.time, entry.number, entry.remark}), fields);
    }

    void readsEveryRecordWhateverItsLineEndAndLength()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Phone.Log"));
        const QByteArray longRemark(5000, 'x');
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("2004-05-06 13:45:10-#-591123456-#-\xD5\xC5\xC8\xFD\r\r\n" // 张三, old line end
                "2004-05-06 13:46:00-#-8861049-#-a-#-b\r\n"
                "\r\n"
                "2004-05-06 13:47:00-#-1-#-" +
                longRemark +
                "\r\r\n"
                "2004-05-06 13:48:00-#-2-#-last, no line end");
        f.close();

        QList<CallLog::Entry> entries;
        QVERIFY(CallLog(path).read(&entries));
        QCOMPARE(entries.size(), 5);
        QCOMPARE(entries.at(0).number, QStringLiteral("591123456"));
        QCOMPARE(entries.at(0).remark, QStringLiteral("张三"));
        QCOMPARE(entries.at(1).remark, QStringLiteral("a-#-b"));
        // The blank line is listed as the file holds it.
        QCOMPARE((QStringList{entries.at(2).time, entries.at(2).number, entries.at(2).remark}),
                 (QStringList{QString(), QString(), QString()}));
        QCOMPARE(entries.at(3).remark, QString::fromLatin1(longRemark));
        QCOMPARE(entries.at(4).time, QStringLiteral("2004-05-06 13:48:00"));
        QCOMPARE(entries.at(4).remark, QStringLiteral("last, no line end"));
    }

    // A log cut off inside its last line (or edited by hand without a final line end): the
    // next call is a record of its own, and the cut line stays as it was.
    void aCallAfterAnUnendedLineStartsItsOwnLine_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::newRow("no line end") << QByteArray("2004-05-06 13:48:00-#-2-#-cut");
        QTest::newRow("half a line end") << QByteArray("2004-05-06 13:48:00-#-2-#-cut\r\r");
        QTest::newRow("whole line end") << QByteArray("2004-05-06 13:48:00-#-2-#-cut\r\r\n");
    }
    void aCallAfterAnUnendedLineStartsItsOwnLine()
    {
        QFETCH(QByteArray, tail);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Phone.Log"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(tail);
        f.close();
        CallLog log(path, [] { return QDateTime(QDate(2026, 12, 7), QTime(9, 5, 0)); });
        QVERIFY(log.append(QStringLiteral("8861049"), QStringLiteral("万达贸易")));
        QList<CallLog::Entry> entries;
        QVERIFY(log.read(&entries));
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.at(0).number, QStringLiteral("2"));
        QCOMPARE(entries.at(0).remark, QStringLiteral("cut"));
        QCOMPARE((QStringList{entries.at(1).time, entries.at(1).number, entries.at(1).remark}),
                 (QStringList{QStringLiteral("2026-12-07 09:05:00"), QStringLiteral("8861049"),
                              QStringLiteral("万达贸易")}));
        QVERIFY(readAll(path).endsWith("-#-8861049-#-\xCD\xF2\xB4\xEF\xC3\xB3\xD2\xD7\r\r\n"));
    }

    void writtenRecordsReadBack()
    {
        QTemporaryDir dir;
        QDateTime now(QDate(2026, 12, 7), QTime(9, 5, 0));
        CallLog log(dir.filePath(QStringLiteral("Phone.Log")), [&now] { return now; });
        QVERIFY(log.append(QStringLiteral("059187654321"), QStringLiteral("闽江茶业\r\n仓库")));
        now = now.addSecs(60);
        QVERIFY(log.append(QStringLiteral("8861049"), QString()));
        QList<CallLog::Entry> entries;
        QVERIFY(log.read(&entries));
        QCOMPARE(entries.size(), 2);
        QCOMPARE((QStringList{entries.at(0).time, entries.at(0).number, entries.at(0).remark}),
                 (QStringList{QStringLiteral("2026-12-07 09:05:00"), QStringLiteral("059187654321"),
                              QStringLiteral("闽江茶业 仓库")}));
        QCOMPARE(entries.at(1).time, QStringLiteral("2026-12-07 09:06:00"));
    }

    void removedLogIsMissingUntilTheNextCall()
    {
        QTemporaryDir dir;
        CallLog log(dir.filePath(QStringLiteral("Phone.Log")));
        QVERIFY(log.append(QStringLiteral("1"), QStringLiteral("x")));
        QVERIFY(log.remove());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Phone.Log"))));
        QVERIFY(log.remove()); // already gone

        QList<CallLog::Entry> entries{CallLog::Entry{}};
        QString error;
        QVERIFY(!log.read(&entries, &error));
        QCOMPARE(error, QStringLiteral("日志文件无法打开或创建！"));
        QVERIFY(entries.isEmpty());

        QVERIFY(log.append(QStringLiteral("2"), QStringLiteral("y")));
        QVERIFY(log.read(&entries));
        QCOMPARE(entries.size(), 1);
    }

    void aLogThatCannotBeDeletedSaysSo()
    {
        QTemporaryDir dir;
        // A non-empty folder where the log belongs cannot be deleted as a file.
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Phone.Log/inside")));
        QVERIFY(!CallLog(dir.filePath(QStringLiteral("Phone.Log"))).remove());
    }
};

QTEST_APPLESS_MAIN(TestCallLog)
#include "tst_calllog.moc"
