#include "lookup/HistoryWindow.h"

#include "lookup/CallerWindow.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"
#include "support/CallerWindowFixture.h"

#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QStringEncoder>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestHistoryWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_boxes;
    QMessageBox::StandardButton m_answer = QMessageBox::Ok;

    QString logPath() const { return m_dir->filePath(QStringLiteral("Phone.Log")); }

    void writeLog(const QByteArray& bytes)
    {
        QFile f(logPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    QList<QByteArray> logLines() const
    {
        QFile f(logPath());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> lines = f.readAll().split('\n');
        lines.removeAll(QByteArray());
        return lines;
    }

    static QString cell(const QTableView* list, int row, int column)
    {
        return list->model()->index(row, column).data().toString();
    }
    // Time, number, remark and count of a listed call.
    static QStringList rowTexts(const QTableView* list, int row)
    {
        return {cell(list, row, 0), cell(list, row, 1), cell(list, row, 3), cell(list, row, 4)};
    }
    static QList<QAbstractSeries*> shownSeries(const QChartView* chart)
    {
        QList<QAbstractSeries*> shown;
        for (QAbstractSeries* series : chart->chart()->series())
            if (series->isVisible())
                shown << series;
        return shown;
    }
    static int rows(const HistoryWindow* form) { return list(form)->model()->rowCount(); }

    std::unique_ptr<HistoryWindow> m_history;
    std::unique_ptr<CallerWindowFixture> m_caller;

    // The history window as its owner brings it up: made once, a window on screen only
    // comes to the front; a call asked for is shown in the caller window.
    HistoryWindow* bringUp()
    {
        if (!m_history) {
            m_history = std::make_unique<HistoryWindow>();
            connect(m_history.get(), &HistoryWindow::callerRequested, this, [this](const QString& number) {
                if (!m_caller)
                    m_caller = std::make_unique<CallerWindowFixture>();
                m_caller->show(number);
            });
        }
        m_history->show();
        m_history->raise();
        return m_history.get();
    }

    // A history window shown anew.
    HistoryWindow* shown()
    {
        if (m_history)
            m_history->close();
        return bringUp();
    }

    static QTableView* list(const HistoryWindow* form)
    {
        return form->findChild<QTableView*>(QStringLiteral("callList"));
    }
    template <typename T> static T* child(const HistoryWindow* form, const char* name)
    {
        T* found = form->findChild<T*>(QLatin1String(name));
        Q_ASSERT(found);
        return found;
    }
    static QPushButton* button(const HistoryWindow* form, const char* name)
    {
        return form->findChild<QPushButton*>(QLatin1String(name));
    }

private slots:
    void initTestCase()
    {
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box.caption + QLatin1Char('|') + box.text;
            return box.buttons.testFlag(m_answer) ? m_answer : box.defaultButton;
        });
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        ProgramFolder::setPath(m_dir->path());
        // No data source: the caller window shows and logs the number alone.
        QFile ini(m_dir->filePath(QStringLiteral("Vornx.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[QUERYTYPE]\r\nTYPE=0\r\n");
        ini.close();
        m_boxes.clear();
        m_answer = QMessageBox::Ok;
    }

    void cleanup()
    {
        m_history.reset();
        m_caller.reset();
    }

    // A log of years of calls is read without holding the window; every one of 100,000 calls
    // is listed and counted.
    void bigLogIsReadInTheBackgroundAndListsEveryCall()
    {
        QByteArray bytes;
        const int calls = 100000;
        for (int i = 0; i < calls; ++i) {
            bytes += "2026-12-07 09:05:00-#-0591" + QByteArray::number(1000000 + i % 7000) + "-#-remark\r\r\n";
            // A damaged line far longer than any remark: cut, and no call is lost after it.
            if (i == calls - 5000)
                bytes += "2026-12-07 09:06:00-#-1-#-" + QByteArray(200 * 1024, 'y') + "\r\n";
        }
        writeLog(bytes);
        HistoryWindow* form = shown();
        // Back from showing before the log is in.
        QCOMPARE(rows(form), 0);
        QVERIFY2(form->windowTitle().contains(QStringLiteral("正在读取")), qPrintable(form->windowTitle()));
        QTRY_COMPARE_WITH_TIMEOUT(rows(form), calls + 1, 30000);
        QCOMPARE(form->windowTitle(), QStringLiteral("历史记录"));
        QCOMPARE(cell(list(form), calls, 1), QStringLiteral("0591%1").arg(1000000 + (calls - 1) % 7000));
        QCOMPARE(cell(list(form), 0, 1), QStringLiteral("05911000000"));
        const int damaged = calls - 5000 + 1;
        QCOMPARE(cell(list(form), damaged, 1), QStringLiteral("1"));
        QCOMPARE(cell(list(form), damaged, 3).size(), 64 * 1024 - 26);
        // 05911000000 is call 0, 7000, ... 98000 of the log.
        QCOMPARE(cell(list(form), 0, 4), QStringLiteral("15"));
        QCOMPARE(cell(list(form), damaged, 4), QStringLiteral("1"));
        QCOMPARE(child<QLabel>(form, "countLabel")->text(), QStringLiteral("共 100001 次来电"));
        QVERIFY(m_boxes.isEmpty());

        // Shown again after the log was cleared by hand: the old list does not come back.
        writeLog("2026-12-08 10:00:00-#-8861049-#-x\r\n");
        form = shown();
        QCOMPARE(rows(form), 1);
        QCOMPARE(form->windowTitle(), QStringLiteral("历史记录"));
    }

    // Beyond what the window holds, the earliest calls are left out and the title says so.
    void aLogBeyondTheHeldCallsListsTheLatest()
    {
        QByteArray bytes;
        const qsizetype calls = HistoryWindow::kMaxListed + 5;
        bytes.reserve(calls * 36);
        for (qsizetype i = 0; i < calls; ++i)
            bytes += "2026-12-07 09:05:00-#-" + QByteArray::number(1000000 + i) + "-#-\r\n";
        writeLog(bytes);
        HistoryWindow* form = shown();
        QTRY_COMPARE_WITH_TIMEOUT(rows(form), int(HistoryWindow::kMaxListed), 60000);
        QCOMPARE(cell(list(form), 0, 1), QString::number(1000000 + 5));
        QCOMPARE(form->windowTitle(), QStringLiteral("历史记录（最近 200000 次来电，更早的 5 次未列出）"));
    }

    void listsEveryCallInFileOrder()
    {
        QStringEncoder gbk("GB18030");
        writeLog("2026-12-07 09:05:00-#-059187654321-#-" + gbk.encode(QStringLiteral("闽江茶业")) +
                 "\r\r\n" // the old line end
                 "2026-12-07 10:00:00-#-8861049-#-" +
                 QByteArray(3000, 'x') +
                 "\r\n"
                 "2026-12-07 11:00:00-#-13905911234-#-a-#-b\r\n"
                 "written by hand\r\n");
        HistoryWindow* form = shown();
        QCOMPARE(form->windowTitle(), QStringLiteral("历史记录"));
        QStringList titles;
        for (int column = 0; column < 5; ++column)
            titles << list(form)->model()->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList{QStringLiteral("来电时间"), QStringLiteral("来电号码"), QStringLiteral("地区"),
                                      QStringLiteral("备注"), QStringLiteral("次数")}));
        QCOMPARE(rows(form), 4);
        QCOMPARE(rowTexts(list(form), 0),
                 (QStringList{QStringLiteral("2026-12-07 09:05:00"), QStringLiteral("059187654321"),
                              QStringLiteral("闽江茶业"), QStringLiteral("1")}));
        // A long remark hides no later call.
        QCOMPARE(cell(list(form), 1, 3), QString(3000, QLatin1Char('x')));
        QCOMPARE(rowTexts(list(form), 2),
                 (QStringList{QStringLiteral("2026-12-07 11:00:00"), QStringLiteral("13905911234"),
                              QStringLiteral("a-#-b"), QStringLiteral("1")}));
        QCOMPARE(rowTexts(list(form), 3),
                 (QStringList{QString(), QString(), QStringLiteral("ten by hand"), QStringLiteral("1")}));
        QVERIFY(m_boxes.isEmpty());
    }

    void aMissingLogIsReported()
    {
        HistoryWindow* form = shown();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("错误信息|日志文件无法打开或创建！")});
        QCOMPARE(rows(form), 0);
        QVERIFY(form->isVisible());
    }

    void theListIsASnapshotTakenWhenShown()
    {
        writeLog("2026-12-07 09:05:00-#-1-#-a\r\n");
        HistoryWindow* form = bringUp();
        QCOMPARE(rows(form), 1);
        writeLog("2026-12-07 09:05:00-#-1-#-a\r\n2026-12-07 09:06:00-#-2-#-b\r\n");
        // Already on screen: only brought to the front.
        bringUp();
        QCOMPARE(rows(form), 1);
        button(form, "okButton")->click();
        QVERIFY(!form->isVisible());
        // Hidden, the window holds no calls; they are read again when it is shown.
        QCOMPARE(rows(form), 0);
        bringUp();
        QCOMPARE(rows(form), 2);
    }

    void asksForTheSelectedCall()
    {
        writeLog("2026-12-07 09:05:00-#- 8861049\t-#-old\r\r\n"
                 "2026-12-07 09:06:00-#-059187654321-#-\r\r\n");
        HistoryWindow* form = shown();

        QSignalSpy requests(form, &HistoryWindow::callerRequested);
        button(form, "detailsButton")->click();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("系统提示|没有记录被选择！")});
        QVERIFY(requests.isEmpty());
        QVERIFY(!m_caller);

        list(form)->selectRow(0);
        button(form, "detailsButton")->click();
        // The number without the blanks around it in the hand-edited log.
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.at(0).at(0).toString(), QStringLiteral("8861049"));
        QVERIFY(m_caller && m_caller->window.isVisible());
        QCOMPARE(m_caller->window.record().number(), QStringLiteral("8861049"));
        QCOMPARE(m_caller->window.rowText(1), QString()); // no data source: only the header is labelled
        QCOMPARE(logLines().size(), 3);
        QVERIFY(logLines().at(2).contains("-#-8861049-#-"));

        // The call on screen once more: shown again, nothing new in the log.
        button(form, "detailsButton")->click();
        QCOMPARE(logLines().size(), 3);

        // Double-clicking another call reopens that one.
        const QRect cell = list(form)->visualRect(list(form)->model()->index(1, 1));
        // The first click of the double click selects the row.
        QTest::mouseClick(list(form)->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list(form)->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(m_caller->window.record().number(), QStringLiteral("059187654321"));
        QCOMPARE(logLines().size(), 4);
        QVERIFY(logLines().at(3).contains("-#-059187654321-#-"));
    }

    void clearingAsksFirst()
    {
        writeLog("2026-12-07 09:05:00-#-1-#-a\r\n");
        HistoryWindow* form = shown();
        QCOMPARE(rows(form), 1);

        m_answer = QMessageBox::No;
        button(form, "clearButton")->click();
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.at(0).startsWith(QStringLiteral("系统提示|")));
        QVERIFY(QFile::exists(logPath()));
        QCOMPARE(rows(form), 1);

        m_answer = QMessageBox::Yes;
        button(form, "clearButton")->click();
        QVERIFY(!QFile::exists(logPath()));
        QCOMPARE(rows(form), 0);

        // Until the next call the log is missing.
        m_boxes.clear();
        form = shown();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("错误信息|日志文件无法打开或创建！")});
    }

    void aLogThatCannotBeDeletedIsReported()
    {
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("Phone.Log/inside")));
        HistoryWindow* form = shown();
        m_boxes.clear();
        m_answer = QMessageBox::Yes;
        button(form, "clearButton")->click();
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(m_boxes.at(1), QStringLiteral("错误信息|历史记录无法清除！"));
    }

    void searchNarrowsTheListTheChartAndTheBusiestCallers()
    {
        QStringEncoder gbk("GB18030");
        writeLog("2026-12-05 08:00:00-#-13905911234-#-" + gbk.encode(QStringLiteral("闽江茶业")) +
                 "\r\r\n"
                 "2026-12-05 08:30:00-#-13905911234-#-" +
                 gbk.encode(QStringLiteral("闽江茶业")) +
                 "\r\r\n"
                 "2026-12-05 10:00:00-#-8861049-#-\r\r\n"
                 "2026-12-05 11:00:00-#-13905911234-#-" +
                 gbk.encode(QStringLiteral("闽江茶业")) +
                 "\r\r\n"
                 "\r\n"
                 "2026-12-07 09:05:00-#-8861049-#-\r\n"
                 "2026-12-07 14:10:00-#-059187654321-#-ABC\r\n"
                 "2026-12-07 14:20:00-#-8861049-#-\n");
        m_history = std::make_unique<HistoryWindow>();
        // The chart is made when the window is first shown, not with the window.
        QVERIFY(!m_history->findChild<QChartView*>());
        m_history->setRegionLookup([](const QString& number) {
            return number == QLatin1String("59187654321") ? QStringLiteral("福建福州") : QStringLiteral("福建厦门");
        });
        HistoryWindow* form = bringUp();
        // Drawn by the chart plugin, which the test program finds as the program does.
        auto* chart = form->findChild<QChartView*>();
        QVERIFY(chart);
        QVERIFY(!form->findChild<QLabel*>(QStringLiteral("chartMissingLabel")));
        QCOMPARE(rows(form), 7);
        QCOMPARE(cell(list(form), 0, 2), QStringLiteral("福建厦门"));
        QCOMPARE(cell(list(form), 2, 2), QString()); // a local number has no region
        QCOMPARE(cell(list(form), 5, 2), QStringLiteral("福建福州"));
        QCOMPARE(cell(list(form), 2, 4), QStringLiteral("3"));

        // Per day over the listed days, the day without calls included.
        QCOMPARE(shownSeries(chart).size(), 1);
        auto* days = qobject_cast<QLineSeries*>(shownSeries(chart).first());
        QVERIFY(days);
        QCOMPARE(days->count(), 3);
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(qint64(days->at(0).x())).date(), QDate(2026, 12, 5));
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(qint64(days->at(2).x())).date(), QDate(2026, 12, 7));
        QCOMPARE(days->at(0).y(), 4.0);
        QCOMPARE(days->at(1).y(), 0.0);
        QCOMPARE(days->at(2).y(), 3.0);
        QCOMPARE(chart->chart()->title(), QStringLiteral("每日来电"));
        QListWidget* busiest = child<QListWidget>(form, "busiestList");
        QCOMPARE(busiest->count(), 3);
        QCOMPARE(busiest->item(0)->text(), QStringLiteral("13905911234（3 次）"));

        // Typed: one day, so the chart counts its hours.
        QTest::keyClicks(child<QLineEdit>(form, "searchEdit"), QStringLiteral("12-07"));
        QCOMPARE(rows(form), 3);
        QCOMPARE(child<QLabel>(form, "countLabel")->text(), QStringLiteral("共 3 次来电"));
        QCOMPARE(shownSeries(chart).size(), 1);
        auto* hours = qobject_cast<QBarSeries*>(shownSeries(chart).first());
        QVERIFY(hours);
        const QBarSet* perHour = hours->barSets().first();
        QCOMPARE(perHour->count(), 24);
        QCOMPARE(perHour->at(9), 1.0);
        QCOMPARE(perHour->at(14), 2.0);
        QCOMPARE(perHour->sum(), 3.0);
        QCOMPARE(chart->chart()->title(), QStringLiteral("2026-12-07 每小时来电"));
        QCOMPARE(busiest->item(0)->text(), QStringLiteral("8861049（2 次）"));
        // The count is of the whole log, whatever is listed.
        QCOMPARE(cell(list(form), 0, 4), QStringLiteral("3"));

        child<QLineEdit>(form, "searchEdit")->setText(QStringLiteral("茶业"));
        QCOMPARE(rows(form), 3);
        child<QLineEdit>(form, "searchEdit")->clear();
        QCOMPARE(rows(form), 7);

        // A date range, from the log's own first and last days.
        QDateEdit* from = child<QDateEdit>(form, "fromEdit");
        QDateEdit* to = child<QDateEdit>(form, "toEdit");
        QCOMPARE(from->date(), QDate(2026, 12, 5));
        QCOMPARE(to->date(), QDate(2026, 12, 7));
        QVERIFY(!from->isEnabled());
        child<QCheckBox>(form, "rangeCheck")->setChecked(true);
        QCOMPARE(rows(form), 7);
        to->setDate(QDate(2026, 12, 6));
        QCOMPARE(rows(form), 4);
        from->setDate(QDate(2026, 12, 6));
        QCOMPARE(rows(form), 0);
        QVERIFY(shownSeries(chart).isEmpty());
        QCOMPARE(chart->chart()->title(), QStringLiteral("没有来电"));
        QCOMPARE(busiest->count(), 0);
        child<QCheckBox>(form, "rangeCheck")->setChecked(false);
        QCOMPARE(rows(form), 7);

        // Sorted by a column, the selected call stays selected.
        list(form)->selectRow(6);
        list(form)->sortByColumn(4, Qt::DescendingOrder);
        QCOMPARE(cell(list(form), 0, 1), QStringLiteral("13905911234"));
        QCOMPARE(cell(list(form), 6, 1), QStringLiteral("059187654321"));
        const QModelIndexList selected = list(form)->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(cell(list(form), selected.first().row(), 0), QStringLiteral("2026-12-07 14:20:00"));
        QVERIFY(m_boxes.isEmpty());
    }

    void blockEntriesActOnTheSelectedCall()
    {
        writeLog("2026-12-07 09:05:00-#- 8861049\t-#-\r\r\n"
                 "2026-12-07 09:06:00-#-059187654321-#-\r\r\n");
        HistoryWindow* form = shown();
        QAction* block = child<QAction>(form, "blockAction");
        QAction* unblock = child<QAction>(form, "unblockAction");
        QSignalSpy blocked(form, &HistoryWindow::blockRequested);
        QSignalSpy unblocked(form, &HistoryWindow::unblockRequested);
        QSignalSpy editor(form, &HistoryWindow::blockListRequested);
        // Nothing selected, nothing to act on.
        QVERIFY(!block->isEnabled());
        QVERIFY(!unblock->isEnabled());

        // Without a test of the block list both entries are offered.
        list(form)->selectRow(0);
        QVERIFY(block->isEnabled());
        QVERIFY(unblock->isEnabled());
        block->trigger();
        QCOMPARE(blocked.size(), 1);
        QCOMPARE(blocked.at(0).at(0).toString(), QStringLiteral("8861049"));

        // With it, only the entry that applies; a change of the list shows at once.
        QStringList blockList{QStringLiteral("8861049")};
        form->setBlockedTest([&blockList](const QString& number) { return blockList.contains(number); });
        connect(form, &HistoryWindow::unblockRequested, this,
                [&blockList](const QString& number) { blockList.removeAll(number); });
        QVERIFY(!block->isEnabled());
        QVERIFY(unblock->isEnabled());
        unblock->trigger();
        QCOMPARE(unblocked.size(), 1);
        QCOMPARE(unblocked.at(0).at(0).toString(), QStringLiteral("8861049"));
        QVERIFY(block->isEnabled());
        QVERIFY(!unblock->isEnabled());
        list(form)->selectRow(1);
        QVERIFY(block->isEnabled());
        QVERIFY(!unblock->isEnabled());

        button(form, "blockListButton")->click();
        child<QAction>(form, "blockListAction")->trigger();
        QCOMPARE(editor.size(), 2);
        QCOMPARE(blocked.size(), 1);
        form->setBlockedTest({});
    }

    void exportWritesTheListedCallsAndReportsAFailure()
    {
        writeLog("2026-12-07 09:05:00-#-8861049-#-a,b\r\r\n"
                 "2026-12-07 09:06:00-#-059187654321-#-\r\r\n"
                 "2026-12-07 09:07:00-#-8861049-#-\r\r\n");
        HistoryWindow* form = shown();
        QVERIFY(button(form, "exportButton"));
        child<QLineEdit>(form, "searchEdit")->setText(QStringLiteral("8861049"));
        const QString path = m_dir->filePath(QStringLiteral("calls.csv"));
        QVERIFY(form->exportCalls(path, CallExport::Format::Csv));
        QFile csv(path);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll(), QByteArray("\xEF\xBB\xBF") +
                                    QStringLiteral("来电时间,来电号码,地区,备注,次数\r\n").toUtf8() +
                                    "2026-12-07 09:05:00,8861049,,\"a,b\",2\r\n"
                                    "2026-12-07 09:07:00,8861049,,,2\r\n");
        QVERIFY(m_boxes.isEmpty());

        const QString logCopy = m_dir->filePath(QStringLiteral("copy.Log"));
        QVERIFY(form->exportCalls(logCopy, CallExport::Format::CallLog));
        QFile copy(logCopy);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), QByteArray("2026-12-07 09:05:00-#-8861049-#-a,b\r\r\n"
                                            "2026-12-07 09:07:00-#-8861049-#-\r\r\n"));

        const QString unwritable = logPath() + QStringLiteral("/calls.csv");
        QVERIFY(!form->exportCalls(unwritable, CallExport::Format::Csv));
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.at(0).startsWith(QStringLiteral("错误信息|导出的文件“%1”无法写入").arg(unwritable)),
                 qPrintable(m_boxes.at(0)));
        QVERIFY(!QFile::exists(unwritable));
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
