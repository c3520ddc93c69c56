#include "lookup/HistoryWindow.h"

#include "lookup/CallerWindow.h"
#include "platform/ProgramFolder.h"
#include "platform/sound/Sound.h"
#include "platform/ui/MessageBoxes.h"

#include <QFile>
#include <QPushButton>
#include <QStringEncoder>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestHistoryForm : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_boxes;
    QStringList m_sounds;
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

    // A history window shown anew, as the tray menu and the caller window bring it up.
    static HistoryWindow* shown()
    {
        if (HistoryForm)
            HistoryForm->close();
        ShowHistoryForm(nullptr);
        return HistoryForm;
    }

private slots:
    void initTestCase()
    {
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box.caption + QLatin1Char('|') + box.text;
            return box.buttons.testFlag(m_answer) ? m_answer : box.defaultButton;
        });
        Sound::setHandler([this](const QString& path) { m_sounds << path; });
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
        m_sounds.clear();
        m_answer = QMessageBox::Ok;
    }

    void cleanup()
    {
        delete HistoryForm;
        delete ShowInfoDlg;
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
        QCOMPARE(form->ListView1->horizontalHeaderItem(2)->text(), QStringLiteral("备注"));
        QCOMPARE(form->ListView1->rowCount(), 4);
        QCOMPARE(rowTexts(form->ListView1, 0), (QStringList{QStringLiteral("2026-12-07 09:05:00"),
                                                            QStringLiteral("059187654321"), QStringLiteral("闽江茶业")}));
        // A long remark hides no later call.
        QCOMPARE(form->ListView1->item(1, 2)->text(), QString(3000, QLatin1Char('x')));
        QCOMPARE(rowTexts(form->ListView1, 2), (QStringList{QStringLiteral("2026-12-07 11:00:00"),
                                                            QStringLiteral("13905911234"), QStringLiteral("a-#-b")}));
        QCOMPARE(rowTexts(form->ListView1, 3), (QStringList{QString(), QString(), QStringLiteral("ten by hand")}));
        QVERIFY(m_boxes.isEmpty());
    }

    void aMissingLogIsReported()
    {
        HistoryWindow* form = shown();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("错误信息|日志文件无法打开或创建！")});
        QCOMPARE(form->ListView1->rowCount(), 0);
        QVERIFY(form->isVisible());
    }

    void theListIsASnapshotTakenWhenShown()
    {
        writeLog("2026-12-07 09:05:00-#-1-#-a\r\n");
        ShowHistoryForm(nullptr);
        QCOMPARE(HistoryForm->ListView1->rowCount(), 1);
        writeLog("2026-12-07 09:05:00-#-1-#-a\r\n2026-12-07 09:06:00-#-2-#-b\r\n");
        // Already on screen: only brought to the front.
        ShowHistoryForm(nullptr);
        QCOMPARE(HistoryForm->ListView1->rowCount(), 1);
        HistoryForm->Button2->click();
        QVERIFY(!HistoryForm->isVisible());
        ShowHistoryForm(nullptr);
        QCOMPARE(HistoryForm->ListView1->rowCount(), 2);
    }

    void reopensTheSelectedCallWithoutTheArrivalSound()
    {
        writeLog("2026-12-07 09:05:00-#- 8861049\t-#-old\r\r\n"
                 "2026-12-07 09:06:00-#-059187654321-#-\r\r\n");
        HistoryWindow* form = shown();

        form->Button1->click();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("系统提示|没有记录被选择！")});
        QVERIFY(!ShowInfoDlg);

        form->ListView1->selectRow(0);
        form->Button1->click();
        QVERIFY(ShowInfoDlg && ShowInfoDlg->isVisible());
        QCOMPARE(ShowInfoDlg->PhoneNo, QStringLiteral("8861049"));
        QCOMPARE(ShowInfoDlg->rowText(1), QString()); // no data source: only the header is labelled
        QVERIFY(m_sounds.isEmpty());
        QVERIFY(ShowInfoDlg->SoundOn);
        QCOMPARE(logLines().size(), 3);
        QVERIFY(logLines().at(2).contains("-#-8861049-#-"));

        // The call on screen once more: shown again, nothing new in the log.
        form->Button1->click();
        QCOMPARE(logLines().size(), 3);

        // Double-clicking another call reopens that one.
        const QRect cell = form->ListView1->visualRect(form->ListView1->model()->index(1, 1));
        // The first click of the double click selects the row.
        QTest::mouseClick(form->ListView1->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(form->ListView1->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(ShowInfoDlg->PhoneNo, QStringLiteral("059187654321"));
        QCOMPARE(logLines().size(), 4);
        QVERIFY(logLines().at(3).contains("-#-059187654321-#-"));
        QVERIFY(m_sounds.isEmpty());
    }

    void clearingAsksFirst()
    {
        writeLog("2026-12-07 09:05:00-#-1-#-a\r\n");
        HistoryWindow* form = shown();
        QCOMPARE(form->ListView1->rowCount(), 1);

        m_answer = QMessageBox::No;
        form->Button3->click();
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(m_boxes.at(0).startsWith(QStringLiteral("系统提示|")));
        QVERIFY(QFile::exists(logPath()));
        QCOMPARE(form->ListView1->rowCount(), 1);

        m_answer = QMessageBox::Yes;
        form->Button3->click();
        QVERIFY(!QFile::exists(logPath()));
        QCOMPARE(form->ListView1->rowCount(), 0);

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
        form->Button3->click();
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(m_boxes.at(1), QStringLiteral("错误信息|历史记录无法清除！"));
    }
};

QTEST_MAIN(TestHistoryForm)
#include "tst_historywindow.moc"
