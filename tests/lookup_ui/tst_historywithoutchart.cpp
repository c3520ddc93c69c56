#include "lookup/HistoryWindow.h"

#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

// The history window of a program whose chart plugin cannot be loaded (left out of an
// installation, or Qt Charts missing): this test program is built where the plugin is not
// beside it and not on its plugin path.
class TestHistoryWithoutChart : public QObject
{
    Q_OBJECT

private slots:
    void theCallsAreListedAndTheChartsPlaceSaysWhy()
    {
        QStringList boxes;
        MessageBoxes::setHandler([&boxes](const MessageBoxes::Box& box) {
            boxes << box.text;
            return box.defaultButton;
        });
        QTemporaryDir dir;
        ProgramFolder::setPath(dir.path());
        QFile log(dir.filePath(QStringLiteral("Phone.Log")));
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write("2026-12-05 08:00:00-#-13905911234-#-\r\r\n"
                  "2026-12-06 10:00:00-#-8861049-#-\r\r\n"
                  "2026-12-07 11:00:00-#-13905911234-#-\r\r\n");
        log.close();

        HistoryWindow form;
        form.show();
        auto* list = form.findChild<QTableView*>(QStringLiteral("callList"));
        QCOMPARE(list->model()->rowCount(), 3);
        auto* busiest = form.findChild<QListWidget*>(QStringLiteral("busiestList"));
        QCOMPARE(busiest->item(0)->text(), QStringLiteral("13905911234（2 次）"));
        const auto* reason = form.findChild<QLabel*>(QStringLiteral("chartMissingLabel"));
        QVERIFY(reason);
        QTRY_VERIFY(reason->isVisible());
        QVERIFY2(reason->text().startsWith(QStringLiteral("图表无法显示：无法加载插件 vornx_chart")),
                 qPrintable(reason->text()));
        QVERIFY(!reason->text().contains(QLatin1Char('\n')));

        // The search narrows the list and the counts with no chart to redraw.
        QTest::keyClicks(form.findChild<QLineEdit*>(QStringLiteral("searchEdit")), QStringLiteral("8861"));
        QCOMPARE(list->model()->rowCount(), 1);
        QCOMPARE(busiest->item(0)->text(), QStringLiteral("8861049（1 次）"));

        // Shown again: the reason is not added a second time.
        form.hide();
        form.show();
        QCOMPARE(form.findChildren<QLabel*>(QStringLiteral("chartMissingLabel")).size(), 1);
        QCOMPARE(list->model()->rowCount(), 1);
        QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestHistoryWithoutChart)
#include "tst_historywithoutchart.moc"
