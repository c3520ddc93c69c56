#include "lookup/HistoryWindow.h"

#include "lookup/CallerWindow.h"
#include "support/CallerWindowFixture.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"

#include <QFile>
#include <QPushButton>
#include <QStringEncoder>
#include <QTableWidget>
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

    static QStringList rowTexts(const QTableWidget* list, int row)
    {
        QStringList texts;
        for (int column = 0; column < list->columnCount(); ++column)
            texts << list->item(row, column)->text();
        return texts;
    }

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

    static QTableWidget* list(const HistoryWindow* form)
    {
        return form->findChild<QTableWidget*>(QStringLiteral("callList"));
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

    // A log of years of calls is read without holding the window, and only its latest calls
    // are listed, so the list stays small whatever the size of the file.
    void bigLogIsReadInTheBackgroundAndListsTheLatestCalls()
    {
        QByteArray bytes;
        const int calls = 60000;
        for (int i = 0; i < calls; ++i) {
            bytes += "2026-12-07 09:05:00-#-0591" + QByteArray::number(1000000 + i) + "-#-remark\r\r\n";
            // A damaged line far longer than any remark: cut, and no call is lost after it.
            if (i == calls - 5000)
                bytes += "2026-12-07 09:06:00-#-1-#-" + QByteArray(200 * 1024, 'y') + "\r\n";
        }
        writeLog(bytes);
        HistoryWindow* form = shown();
        // Back from showing before the log is in.
        QCOMPARE(list(form)->rowCount(), 0);
        QVERIFY2(form->windowTitle().contains(QStringLiteral("正在读取")), qPrintable(form->windowTitle()));
        QTRY_COMPARE_WITH_TIMEOUT(list(form)->rowCount(), 10000, 30000);
        QCOMPARE(list(form)->item(9999, 1)->text(), QStringLiteral("0591%1").arg(1000000 + calls - 1));
        // 60,001 calls in all, the damaged one among the listed.
        QCOMPARE(list(form)->item(0, 1)->text(), QStringLiteral("0591%1").arg(1000000 + calls + 1 - 10000));
        const int damaged = 10000 - 5000;
        QCOMPARE(list(form)->item(damaged, 1)->text(), QStringLiteral("1"));
        QCOMPARE(list(form)->item(damaged, 2)->text().size(), 64 * 1024 - 26);
        QCOMPARE(form->windowTitle(), QStringLiteral("历史记录（最近 10000 次来电，更早的 50001 次未列出）"));
        QVERIFY(m_boxes.isEmpty());

        // Shown again after the log was cleared by hand: the old list does not come back.
        writeLog("2026-12-08 10:00:00-#-8861049-#-x\r\n");
        form = shown();
        QCOMPARE(list(form)->rowCount(), 1);
        QCOMPARE(form->windowTitle(), QStringLiteral("历史记录"));
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
        QCOMPARE(list(form)->horizontalHeaderItem(2)->text(), QStringLiteral("备注"));
        QCOMPARE(list(form)->rowCount(), 4);
        QCOMPARE(rowTexts(list(form), 0), (QStringList{QStringLiteral("2026-12-07 09:05:00"),
                                                            QStringLiteral("059187654321"), QStringLiteral("闽江茶业")}));
        // A long remark hides no later call.
        QCOMPARE(list(form)->item(1, 2)->text(), QString(3000, QLatin1Char('x')));
        QCOMPARE(rowTexts(list(form), 2), (QStringList{QStringLiteral("2026-12-07 11:00:00"),
                                                            QStringLiteral("13905911234"), QStringLiteral("a-#-b")}));
        QCOMPARE(rowTexts(list(form), 3), (QStringList{QString(), QString(), QStringLiteral("ten by hand")}));
        QVERIFY(m_boxes.isEmpty());
    }

    void aMissingLogIsReported()
    {
        HistoryWindow* form = shown();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("错误信息|日志文件无法打开或创建！")});
        QCOMPARE(list(form)->rowCount(), 0);
        QVERIFY(form->isVisible());
    }

    void theListIsASnapshotTakenWhenShown()
    {
        writeLog("2026-12-07 09:05:00-#-1-#-a\r\n");
        HistoryWindow* form = bringUp();
        QCOMPARE(list(form)->rowCount(), 1);
        writeLog("2026-12-07 09:05:00-#-1-#-a\r\n2026-12-07 09:06:00-#-2-#-b\r\n");
        // Already on screen: only brought to the front.
        bringUp();
        QCOMPARE(list(form)->rowCount(), 1);
        button(form, "okButton")->click();
        QVERIFY(!form->isVisible());
        bringUp();
        QCOMPARE(list(form)->rowCount(), 2);
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
        QCOMPARE(list(form)->rowCount(), 1);

        m_answer = QMessageBox::No;
        button(form, "clearButton")->click();
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.at(0).startsWith(QStringLiteral("系统提示|")));
        QVERIFY(QFile::exists(logPath()));
        QCOMPARE(list(form)->rowCount(), 1);

        m_answer = QMessageBox::Yes;
        button(form, "clearButton")->click();
        QVERIFY(!QFile::exists(logPath()));
        QCOMPARE(list(form)->rowCount(), 0);

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
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
