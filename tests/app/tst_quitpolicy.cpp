// When the program ends, run under its own application object and event loop: closing a
// message box while the main window waits hidden behind the tray must leave the program
// (and its monitoring) running; the close command ends it.
#include "app/GuardedApplication.h"
#include "app/MainWindow.h"
#include "platform/ProgramFolder.h"
#include "platform/profile/PrivateProfile.h"
#include "support/VirtualModemProcess.h"

#include <QAction>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {
template <typename T> T* child(const QObject& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}

// Exit code of the event loop when the test's own guard had to end it.
constexpr int kGuardExit = 99;
} // namespace

class TestQuitPolicy : public QObject
{
    Q_OBJECT

private slots:
    void boxClosedWhileHiddenKeepsTheProgramRunning()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        ProgramFolder::setPath(folder.path());
        VirtualModemProcess modem;
        QVERIFY(!modem.path().isEmpty());
        const QString ini = ProgramFolder::file(QStringLiteral("sysset.ini"));
        for (int com = 1; com <= 8; ++com)
            QVERIFY(PrivateProfile(ini).writeString(QStringLiteral("PORTS"), QStringLiteral("COM%1").arg(com),
                                                    com == 3 ? modem.path() : folder.filePath(QStringLiteral("absent"))));

        MainWindow window;
        // Wired as the program wires it.
        connect(&window, &MainWindow::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        window.show();
        child<QRadioButton>(window, "modemRadio")->setChecked(true);
        child<QComboBox>(window, "portCombo")->setCurrentIndex(2);
        child<QPushButton>(window, "monitorButton")->click();
        QCOMPARE(window.monitoringState(), MainWindow::MonitoringState::On);
        // Where a desktop has a tray the window leaves the screen; here it is sent away by hand.
        window.hide();
        QVERIFY(!window.isVisible());

        QString boxText;
        bool runningAfterBox = false;
        bool closedByCommand = false;
        // Answers the real box with OK, as a user does, then checks a while later that the
        // program still runs, and ends it with its close command.
        QTimer answer;
        answer.setInterval(20);
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !boxText.isEmpty())
                return;
            boxText = box->text();
            box->button(QMessageBox::Ok)->click();
            answer.stop();
            QTimer::singleShot(500, &window, [&] {
                runningAfterBox = true;
                closedByCommand = true;
                child<QAction>(window, "closeAction")->trigger();
            });
        });
        answer.start();
        QTimer::singleShot(0, this, [&] { modem.quit(); });
        QTimer::singleShot(20000, this, [] { QCoreApplication::exit(kGuardExit); });

        const int code = QCoreApplication::exec();
        QVERIFY2(boxText.startsWith(QStringLiteral("Modem已断开")), qPrintable(boxText));
        QVERIFY2(runningAfterBox, "the program ended when the box was closed");
        QVERIFY(closedByCommand);
        QCOMPARE(code, 0);
        QVERIFY(!window.isVisible());
    }
};

int main(int argc, char* argv[])
{
    GuardedApplication app(argc, argv);
    TestQuitPolicy test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_quitpolicy.moc"
