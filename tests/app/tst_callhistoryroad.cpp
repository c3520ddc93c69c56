#include "app/MainWindow.h"
#include "capture/ModemLine.h"
#include "lookup/HistoryWindow.h"
#include "lookup/RegionQuery.h"
#include "lookup/CallSheetPrinter.h"
#include "lookup/CallerWindow.h"
#include "platform/ProgramFolder.h"
#include "platform/profile/PrivateProfile.h"
#include "platform/serial/SerialPort.h"
#include "platform/sound/Sound.h"
#include "platform/ui/MessageBoxes.h"
#include "support/VirtualModemProcess.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStringEncoder>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

// Yesterday's call from the history: shown again, printed, called back through the modem,
// and the history cleared after the user said yes.
class TestCallHistoryRoad : public QObject
{
    Q_OBJECT

private slots:
    void yesterdaysCallIsReopenedPrintedCalledBackAndCleared()
    {
        QTemporaryDir folder;
        QVERIFY(ProgramFolder::copyShippedFiles(QStringLiteral(VORNX_BIN_DIR), folder.path()));
        ProgramFolder::setPath(folder.path());
        const QString log = folder.filePath(QStringLiteral("Phone.Log"));
        const QString yesterday =
            QDateTime::currentDateTime().addDays(-1).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        {
            QFile f(log);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QStringEncoder("GB18030").encode(yesterday + QStringLiteral("-#-059187654321-#-福州闽江茶业有限公司")) +
                    "\r\r\n");
        }
        QStringList boxes;
        MessageBoxes::setHandler([&boxes](const MessageBoxes::Box& box) {
            boxes << box.caption + QLatin1Char('|') + box.text;
            return box.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
        });
        QStringList sounds;
        Sound::setHandler([&sounds](const QString& path) { sounds << path; });

        VirtualModemProcess modem;
        QVERIFY(!modem.path().isEmpty());
        QVERIFY(PrivateProfile(ProgramFolder::file(QStringLiteral("sysset.ini")))
                    .writeString(QStringLiteral("PORTS"), QStringLiteral("COM3"), modem.path()));
        auto form = std::make_unique<MainWindow>();
        form->loadRegionTable();
        form->findChild<QRadioButton*>(QStringLiteral("modemRadio"))->setChecked(true);
        form->findChild<QComboBox*>(QStringLiteral("portCombo"))->setCurrentIndex(2);
        form->startMonitoring();
        QVERIFY(form->findChild<ModemLine*>(QStringLiteral("modem"))->isMonitoring());
        QCOMPARE(form->monitoredDevice(), MainWindow::MonitoredDevice::Modem);

        // Today's call from the modem: shown without its long-distance zero, called back with it.
        QTest::qWait(300);
        modem.command(QStringLiteral("call 0591123456"));
        QTRY_VERIFY_WITH_TIMEOUT(form->findChild<CallerWindow*>() && form->findChild<CallerWindow*>()->isVisible(),
                                 10000);
        QCOMPARE(form->findChild<CallerWindow*>()->record().number(), QStringLiteral("591123456"));
        form->findChild<CallerWindow*>()->findChild<QToolButton*>(QStringLiteral("dialButton"))->click();
        QVERIFY(modem.waitReceived(QStringLiteral("ATDT0591123456")));
        form->findChild<CallerWindow*>()->close();
        sounds.clear();

        // The tray menu's history lists the call; 详细信息 shows it again.
        form->findChild<QAction*>(QStringLiteral("historyAction"))->trigger();
        QPointer<HistoryWindow> history = form->findChild<HistoryWindow*>();
        QVERIFY(history && history->isVisible());
        auto* calls = history->findChild<QTableView*>(QStringLiteral("callList"));
        QCOMPARE(calls->model()->rowCount(), 2);
        // The region beside the number comes from the main window's table.
        const QString number = calls->model()->index(0, 1).data().toString();
        const QString region = RegionQuery::district(*form->regionTable(), RegionQuery::withoutLeadingZeros(number));
        QVERIFY2(!region.isEmpty(), qPrintable(number));
        QCOMPARE(calls->model()->index(0, 2).data().toString(), region);
        calls->selectRow(0);
        history->findChild<QPushButton*>(QStringLiteral("detailsButton"))->click();
        auto* caller = form->findChild<CallerWindow*>();
        QVERIFY(caller && caller->isVisible());
        QCOMPARE(caller->rowText(3), QStringLiteral("福州闽江茶业有限公司"));
        // Shown with the time it came, and no new call in the log.
        QCOMPARE(caller->rowText(2), yesterday);
        {
            QFile f(log);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll().count('\n'), 2);
        }
        QVERIFY(sounds.isEmpty());
        QVERIFY(boxes.isEmpty());

        // Its record on paper.
        const QString pdf = folder.filePath(QStringLiteral("record.pdf"));
        CallSheetPrinter::printer().setOutputFormat(QPrinter::PdfFormat);
        CallSheetPrinter::printer().setOutputFileName(pdf);
        caller->findChild<QToolButton*>(QStringLiteral("printButton"))->click();
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        const QString sheet = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(sheet.contains(QStringLiteral("福州闽江茶业有限公司")), qPrintable(sheet));
        QVERIFY(sheet.contains(QStringLiteral("059187654321")));

        // Calling back, picking up and hanging up reach the modem.
        caller->findChild<QToolButton*>(QStringLiteral("dialButton"))->click();
        QVERIFY(modem.waitReceived(QStringLiteral("ATDT059187654321")));
        caller->findChild<QToolButton*>(QStringLiteral("pickUpButton"))->click();
        QVERIFY(modem.waitReceived(QStringLiteral("ATH1")));
        caller->findChild<QToolButton*>(QStringLiteral("hangUpButton"))->click();
        QVERIFY(modem.waitReceived(QStringLiteral("ATH0")));

        // Cleared after the question was answered with yes.
        history->findChild<QPushButton*>(QStringLiteral("clearButton"))->click();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes.at(0).startsWith(QStringLiteral("系统提示|")));
        QVERIFY(!QFile::exists(log));
        QCOMPARE(calls->model()->rowCount(), 0);

        form.reset();
        QVERIFY(!history);
    }
};

QTEST_MAIN(TestCallHistoryRoad)
#include "tst_callhistoryroad.moc"
