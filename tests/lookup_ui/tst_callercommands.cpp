#include "lookup/CallerWindow.h"

#include "support/CallerWindowFixture.h"
#include "lookup/HistoryWindow.h"
#include "lookup/CallSheetPrinter.h"
#include "platform/ProgramFolder.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/MessageBoxes.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace {
// 80 characters fill the 160 bytes of a value; the ten after them are cut off.
const QString LongName = QString(80, QChar(0x95FD)) + QString(10, QChar(0x8336)); // 闽…茶…

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("<%1 failed>").arg(program);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pageCount(const QString& pdf)
{
    const QRegularExpressionMatch pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {pdf}));
    return pages.hasMatch() ? pages.captured(1).toInt() : -1;
}

QString pdfText(const QString& pdf, int page = 0)
{
    QStringList arguments{QStringLiteral("-layout")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    return run(QStringLiteral("pdftotext"), arguments << pdf << QStringLiteral("-"));
}

// Runs `check` on the modal dialog that `command` opens, then closes that dialog.
void onModal(const std::function<void()>& command, const std::function<void(QDialog*)>& check)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        seen = true;
        check(dialog);
        dialog->reject();
    });
    command();
    QVERIFY(seen);
}
} // namespace

class TestCallerCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_boxes;
    QList<QUrl> m_opened;

    QString file(const QString& name) const { return m_dir->filePath(name); }

    void writeSettings(const QString& ini)
    {
        QStringEncoder gbk("GB18030");
        writeFile(file(QStringLiteral("Vornx.ini")), gbk.encode(ini));
    }

    // Customers with three columns, two of them labelled: the third is never seen.
    void useDatabase()
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fixture"));
            db.setDatabaseName(file(QStringLiteral("cust.db")));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("create table Unit (Name text, Linkman text, Secret text, Phone text)")));
            QVERIFY(q.prepare(QStringLiteral("insert into Unit values (?, ?, ?, ?)")));
            for (const QStringList& row :
                 {QStringList{LongName, QStringLiteral("林\r\n建华"), QStringLiteral("不应打印"),
                              QStringLiteral("059187654321")},
                  QStringList{QStringLiteral("万达贸易"), QStringLiteral("陈敏"), QStringLiteral("不应打印"),
                              QStringLiteral("8861049")}}) {
                for (int i = 0; i < row.size(); ++i)
                    q.bindValue(i, row.at(i));
                QVERIFY(q.exec());
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fixture"));
        writeSettings(QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=Provider=SQLite;Data "
                                     "Source=cust.db\r\nstrSQL=select Name, Linkman, Secret from Unit b where "
                                     "b.Phone like '%#NO#'\r\nstrSQL1=select * from Unit b where \r\n"
                                     "[TABLESET]\r\nFIELDNUM=2\r\nFIELD0=客户名称\r\nFIELD1=联系人\r\n"));
    }

    void useAddressBook()
    {
        writeSettings(QStringLiteral("[QUERYTYPE]\r\nTYPE=1\r\n"));
        writeFile(file(QStringLiteral("contacts.vcf")),
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:林建华\r\nORG:闽江茶业\r\nTEL;TYPE=CELL:13905911234\r\nEND:VCARD\r\n");
    }

    static std::unique_ptr<CallerWindowFixture> shownFor(const QString& number)
    {
        auto dlg = std::make_unique<CallerWindowFixture>();
        dlg->show(number);
        return dlg;
    }

    QString printToPdf(CallerWindowFixture* dlg, const QString& name)
    {
        const QString pdf = file(name);
        CallSheetPrinter::printer().setOutputFormat(QPrinter::PdfFormat);
        CallSheetPrinter::printer().setOutputFileName(pdf);
        dlg->child<QToolButton>("printButton")->click();
        return pdf;
    }

public slots:
    void openFile(const QUrl& url) { m_opened << url; }

private slots:
    void initTestCase()
    {
        MessageBoxes::setHandler([this](const MessageBoxes::Box& box) {
            m_boxes << box.caption + QLatin1Char('|') + box.text;
            return QMessageBox::Ok;
        });
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openFile");
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        ProgramFolder::setPath(m_dir->path());
        m_boxes.clear();
        m_opened.clear();
    }

    void cleanup()
    {
        QTRY_VERIFY(!QApplication::activeModalWidget());
    }

    void theSheetOnPaperHoldsWhatTheGridShows()
    {
        useDatabase();
        auto dlg = shownFor(QStringLiteral("59187654321"));
        QCOMPARE(dlg->window.rowText(3), LongName);
        const QString pdf = printToPdf(dlg.get(), QStringLiteral("sheet.pdf"));
        QVERIFY(m_boxes.isEmpty());

        const QString info = run(QStringLiteral("pdfinfo"), {pdf});
        QCOMPARE(pageCount(pdf), 1);
        QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("来电记录单打印")), qPrintable(info));

        const QString text = pdfText(pdf);
        const QStringList order = {QStringLiteral("来电记录单"), QStringLiteral("项目"),     QStringLiteral("客户资料"),
                                   QStringLiteral("来电号码"),   QStringLiteral("59187654321"),
                                   QStringLiteral("来电时间"),   QStringLiteral("客户名称"), QStringLiteral("联系人"),
                                   QStringLiteral("维诺星系列－来电显示"), QStringLiteral("打印时间：")};
        qsizetype at = 0;
        for (const QString& expected : order) {
            const qsizetype next = text.indexOf(expected, at);
            QVERIFY2(next >= 0, qPrintable(expected + QStringLiteral(" missing or out of order in:\n") + text));
            at = next;
        }
        // The name cut at 160 bytes: eighty characters on two lines, none of the ten after them.
        QCOMPARE(text.count(QChar(0x95FD)), 80);
        QVERIFY(!text.contains(QChar(0x8336)));
        // A line break of a value is printed as blanks on the value's line.
        QVERIFY2(QRegularExpression(QStringLiteral("林 +建华")).match(text).hasMatch(), qPrintable(text));
        // The result's column without a labelled row stays off the sheet.
        QVERIFY(!text.contains(QStringLiteral("不应打印")));
        QVERIFY(QRegularExpression(QStringLiteral("打印时间：\\s*\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d"))
                    .match(text)
                    .hasMatch());

        // The page image, kept for a look by eye when VORNX_SHEET_IMAGE names a file prefix.
        const QString image = qEnvironmentVariable("VORNX_SHEET_IMAGE");
        if (!image.isEmpty())
            run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("96"),
                                             pdf, image});
    }

    void printingAgainPrintsTheNewContent()
    {
        useDatabase();
        auto dlg = shownFor(QStringLiteral("59187654321"));
        printToPdf(dlg.get(), QStringLiteral("first.pdf"));
        dlg->show(QStringLiteral("8861049"));
        const QString second = pdfText(printToPdf(dlg.get(), QStringLiteral("second.pdf")));
        QVERIFY2(second.contains(QStringLiteral("万达贸易")), qPrintable(second));
        QVERIFY(!second.contains(QChar(0x95FD)));
        QVERIFY(pdfText(file(QStringLiteral("first.pdf"))).contains(QChar(0x95FD)));
        // The direct print item of the button's menu prints the same way.
        dlg->show(QStringLiteral("59187654321"));
        CallSheetPrinter::printer().setOutputFileName(file(QStringLiteral("third.pdf")));
        dlg->child<QAction>("printAction")->trigger();
        QVERIFY(pdfText(file(QStringLiteral("third.pdf"))).contains(QChar(0x95FD)));
    }

    void aLongSheetGoesOnWithTheColumnHeader()
    {
        QList<CallSheet::Row> rows;
        for (int row = 0; row < 60; ++row)
            rows.append({QStringLiteral("行%1").arg(row + 1), QStringLiteral("值%1").arg(row + 1)});
        CallSheetPrinter form(rows);
        QCOMPARE(form.records().size(), 60);
        const QString pdf = file(QStringLiteral("long.pdf"));
        CallSheetPrinter::printer().setOutputFormat(QPrinter::PdfFormat);
        CallSheetPrinter::printer().setOutputFileName(pdf);
        QVERIFY(form.print());
        QCOMPARE(pageCount(pdf), 2);
        const QString first = pdfText(pdf, 1);
        const QString second = pdfText(pdf, 2);
        QVERIFY(first.contains(QStringLiteral("来电记录单")));
        QVERIFY(first.contains(QStringLiteral("值1 ")) || first.contains(QStringLiteral("值1\n")));
        QVERIFY(!second.contains(QStringLiteral("来电记录单")));
        QVERIFY(second.contains(QStringLiteral("项目")));
        QVERIFY(second.contains(QStringLiteral("值60")));
        QVERIFY(second.contains(QStringLiteral("打印时间：")));
        QVERIFY(!first.contains(QStringLiteral("打印时间：")));
    }

    void aPrinterThatIsNotThereIsReported()
    {
        useDatabase();
        auto dlg = shownFor(QStringLiteral("8861049"));
        CallSheetPrinter::printer().setOutputFormat(QPrinter::PdfFormat);
        CallSheetPrinter::printer().setOutputFileName(file(QStringLiteral("no-such-folder/sheet.pdf")));
        dlg->child<QToolButton>("printButton")->click();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("错误提示|打印机不存在或未就绪，未能打印！")});
    }

    void previewAndPrinterSetup()
    {
        useDatabase();
        auto dlg = shownFor(QStringLiteral("8861049"));
        auto* menu = dlg->child<QMenu>("printMenu");
        QCOMPARE(dlg->child<QToolButton>("printButton")->menu(), menu);
        QCOMPARE(menu->actions(), (QList<QAction*>{dlg->child<QAction>("printAction"), dlg->child<QAction>("previewAction"),
                                                   dlg->child<QAction>("printSetupAction")}));
        QCOMPARE(menu->actions().at(0)->text(), QStringLiteral("直接打印(&P)"));
        QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("打印预览(&U)"));
        QCOMPARE(menu->actions().at(2)->text(), QStringLiteral("打印设置(&S)"));

        onModal([&] { dlg->child<QAction>("previewAction")->trigger(); },
                [](QDialog* dialog) {
                    QVERIFY(qobject_cast<QPrintPreviewDialog*>(dialog));
                    auto* pages = dialog->findChild<QPrintPreviewWidget*>();
                    QVERIFY(pages);
                    QCOMPARE(pages->pageCount(), 1);
                });

        const int copies = CallSheetPrinter::printer().copyCount();
        onModal([&] { dlg->child<QAction>("printSetupAction")->trigger(); },
                [](QDialog* dialog) {
                    QVERIFY(qobject_cast<QPrintDialog*>(dialog));
                    auto* buttons = dialog->findChild<QDialogButtonBox*>();
                    QVERIFY(buttons);
                    QCOMPARE(buttons->button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));
                });
        // Cancelled: the settings are as they were.
        QCOMPARE(CallSheetPrinter::printer().copyCount(), copies);
        QCOMPARE(CallSheetPrinter::printer().pageLayout().pageSize().id(), QPageSize::A4);
        QCOMPARE(CallSheetPrinter::printer().pageLayout().orientation(), QPageLayout::Portrait);
    }

    void toolbarStatesFollowTheSource_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("addressBookButtons");
        QTest::addColumn<bool>("moreInfo");
        QTest::newRow("address book") << 1 << true << false;
        QTest::newRow("database") << 2 << false << true;
        QTest::newRow("inventory account set") << 3 << false << true;
        QTest::newRow("no source") << 0 << false << true;
    }

    void toolbarStatesFollowTheSource()
    {
        QFETCH(int, type);
        QFETCH(bool, addressBookButtons);
        QFETCH(bool, moreInfo);
        if (type == 1) {
            useAddressBook();
        } else {
            useDatabase();
            if (type != 2) {
                writeSettings(type == 3 ? QStringLiteral("[QUERYTYPE]\r\nTYPE=3\r\n[DBSET]\r\nConnectString=Provider="
                                                         "SQLite;Data Source=cust.db\r\nstrSQL=select Name from Unit "
                                                         "b where b.Phone like '%#NO#'\r\n")
                                        : QStringLiteral("[QUERYTYPE]\r\nTYPE=0\r\n"));
            }
        }
        auto dlg = shownFor(QStringLiteral("13905911234"));
        const CallerRecord::Source source = type == 1   ? CallerRecord::Source::AddressBook
                                            : type == 0 ? CallerRecord::Source::None
                                                        : CallerRecord::Source::Database;
        QCOMPARE(dlg->lookup.source(), source);
        QCOMPARE(dlg->child<QToolButton>("detailsButton")->isEnabled(), addressBookButtons);
        QCOMPARE(dlg->child<QToolButton>("newContactButton")->isEnabled(), addressBookButtons);
        QCOMPARE(dlg->child<QToolButton>("moreButton")->isEnabled(), moreInfo);
        for (const char* always : {"dialButton", "pickUpButton", "hangUpButton", "historyButton", "printButton",
                                   "helpButton"})
            QVERIFY2(dlg->child<QToolButton>(always)->isEnabled(), always);
    }

    void lineCommandsGoToTheMainWindow()
    {
        useDatabase();
        auto dlg = std::make_unique<CallerWindowFixture>([](const QString&) { return QStringLiteral("福建省福州市"); });
        dlg->show(QStringLiteral("059187654321"));
        QCOMPARE(dlg->window.rowText(1), QStringLiteral("059187654321(福建省福州市)"));
        dlg->child<QToolButton>("dialButton")->click();
        dlg->child<QToolButton>("pickUpButton")->click();
        dlg->child<QToolButton>("hangUpButton")->click();
        // The number as received, without the region and without a prefix.
        QCOMPARE(dlg->line.calls, (QStringList{QStringLiteral("dial 059187654321"), QStringLiteral("pick up"),
                                     QStringLiteral("hang up")}));
    }

    void historyButtonBringsUpTheHistory()
    {
        useDatabase();
        auto dlg = shownFor(QStringLiteral("8861049"));
        // The owner brings up its history window on the request; it lists the call just logged.
        HistoryWindow history;
        QObject::connect(&dlg->window, &CallerWindow::historyRequested, &history, &HistoryWindow::show);
        QSignalSpy requests(&dlg->window, &CallerWindow::historyRequested);
        dlg->child<QToolButton>("historyButton")->click();
        QVERIFY(history.isVisible());
        auto* calls = history.findChild<QTableView*>(QStringLiteral("callList"));
        QCOMPARE(calls->model()->rowCount(), 1);
        QCOMPARE(calls->model()->index(0, 1).data().toString(), QStringLiteral("8861049"));
        dlg->child<QToolButton>("historyButton")->click();
        QCOMPARE(requests.size(), 2);
    }

    void detailsOfTheShownContact()
    {
        useAddressBook();
        auto dlg = shownFor(QStringLiteral("8861049"));
        dlg->child<QToolButton>("detailsButton")->click();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("系统提示|无详细信息!")});

        dlg->show(QStringLiteral("13905911234"));
        onModal([&] { dlg->child<QToolButton>("detailsButton")->click(); },
                [](QDialog* dialog) { QVERIFY(dialog->windowTitle().contains(QStringLiteral("林建华"))); });
        QCOMPARE(m_boxes.size(), 1);
    }

    void newContactOffersTheNumberOnlyInPlaceOfText()
    {
        useAddressBook();
        auto dlg = shownFor(QStringLiteral("8861049"));
        QClipboard* clipboard = QGuiApplication::clipboard();

        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        clipboard->setImage(picture);
        onModal([&] { dlg->child<QToolButton>("newContactButton")->click(); }, [](QDialog*) {});
        QVERIFY(clipboard->mimeData()->hasImage());
        QVERIFY(!clipboard->mimeData()->hasText());

        clipboard->setText(QStringLiteral("something else"));
        onModal([&] { dlg->child<QToolButton>("newContactButton")->click(); }, [](QDialog*) {});
        QCOMPARE(clipboard->text(), QStringLiteral("8861049"));
    }

    void helpOpensTheCallerPage()
    {
        useDatabase();
        auto dlg = shownFor(QStringLiteral("8861049"));
        dlg->child<QToolButton>("helpButton")->click();
        QCOMPARE(m_boxes, QStringList{QStringLiteral("错误提示|对不起，打开帮助文件出错！")});

        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("help")));
        writeFile(file(QStringLiteral("help/ShowCallInfo_index.htm")), "<html><title>来电</title><body>x</body></html>");
        dlg->child<QToolButton>("helpButton")->click();
        QVERIFY(HelpViewer::browser());
        QCOMPARE(HelpViewer::browser()->source().fileName(), QStringLiteral("ShowCallInfo_index.htm"));
        QCOMPARE(m_boxes.size(), 1);
    }

    void onlyDocumentsOpenAndOnlyOnPurpose()
    {
        useDatabase();
        auto dlg = shownFor(QStringLiteral("8861049"));
        const QString document = printToPdf(dlg.get(), QStringLiteral("contract.pdf"));
        writeFile(file(QStringLiteral("run.sh")), "#!/bin/sh\necho hi\n");
        auto* grid = dlg->child<QTableWidget>("recordGrid");
        grid->item(2, 1)->setText(document);
        grid->item(3, 1)->setText(file(QStringLiteral("run.sh")));

        // Moving onto the cell is no request to open it.
        grid->setFocus();
        grid->setCurrentCell(2, 1);
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Up);
        QVERIFY(m_opened.isEmpty());

        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(document)});

        // A script is never started, however it is asked for.
        grid->setCurrentCell(3, 1);
        QTest::keyClick(grid, Qt::Key_Return);
        emit grid->cellActivated(3, 1);
        // A label is opened only when it names a document itself.
        emit grid->cellActivated(2, 0);
        QCOMPARE(m_opened.size(), 1);
    }
};

QTEST_MAIN(TestCallerCommands)
#include "tst_callercommands.moc"
