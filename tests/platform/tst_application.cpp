#include "platform/Application.h"
#include "platform/Error.h"
#include "platform/SingleInstance.h"

#include <QTemporaryDir>
#include <QtTest>

class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void fullStopRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fullwidth exclamation") << QStringLiteral("电话号码归属查询数据无法打开！")
                                               << QStringLiteral("电话号码归属查询数据无法打开！.");
        QTest::newRow("letter") << QStringLiteral("Access denied") << QStringLiteral("Access denied.");
        QTest::newRow("digit") << QStringLiteral("code 5") << QStringLiteral("code 5.");
        QTest::newRow("full stop") << QStringLiteral("Done.") << QStringLiteral("Done.");
        QTest::newRow("exclamation") << QStringLiteral("Stop!") << QStringLiteral("Stop!");
        QTest::newRow("hyphen sorts before") << QStringLiteral("a -") << QStringLiteral("a -");
        QTest::newRow("slash sorts after") << QStringLiteral("a/") << QStringLiteral("a/.");
        QTest::newRow("empty") << QString() << QString();
    }
    void fullStopRule()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(ExceptionReportText(text), shown);
    }

    void errorCarriesItsText()
    {
        try {
            throw Error(QStringLiteral("打开来显示功能失败."));
        } catch (const std::exception& e) {
            QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("打开来显示功能失败."));
        }
    }

    void lockName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << QStringLiteral("/usr/bin/vornx") << QStringLiteral("vornx");
        QTest::newRow("upper case") << QStringLiteral("/opt/VORNX.bin") << QStringLiteral("Vornx");
        QTest::newRow("first dot") << QStringLiteral("/x/Vornx.v3.exe") << QStringLiteral("Vornx");
        QTest::newRow("copy") << QStringLiteral("/x/vornx-copy") << QStringLiteral("vornx-copy");
    }
    void lockName()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(SingleInstance::lockName(path), name);
    }

    void secondInstanceIsRefusedUntilTheFirstEnds()
    {
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        auto first = std::make_unique<SingleInstance>(QStringLiteral("/usr/bin/vornx"));
        QVERIFY(first->tryLock());
        QCOMPARE(first->lockFilePath(), runtime.filePath(QStringLiteral("vornx.lock")));

        SingleInstance second(QStringLiteral("/elsewhere/vornx"));
        QVERIFY(!second.tryLock());
        SingleInstance renamed(QStringLiteral("/usr/bin/vornx2"));
        QVERIFY(renamed.tryLock());

        first.reset();
        QVERIFY(second.tryLock());
    }
};

QTEST_GUILESS_MAIN(TestApplication)
#include "tst_application.moc"
