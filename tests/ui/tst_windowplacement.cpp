// Where windows open, on a desktop of two screens of different sizes (the offscreen
// platform given a screen layout): centred on the screen of the window they belong to or,
// with that hidden in the tray, on the screen under the mouse, and never past its edges;
// and message boxes wide enough for their captions.
#include "platform/ProgramFolder.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/WindowPlacement.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QFile>
#include <QFontMetrics>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {
const QRect LeftScreen(0, 0, 1000, 700);
const QRect RightScreen(1000, 0, 1280, 800);

QScreen* screenAt(const QRect& area)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->geometry() == area)
            return screen;
    return nullptr;
}

// Centred to the pixel, allowing for an odd leftover.
bool centredIn(const QRect& window, const QRect& area)
{
    const QPoint offset = window.center() - area.center();
    return area.contains(window) && qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1;
}
} // namespace

class TestWindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(screenAt(LeftScreen) && screenAt(RightScreen), "the two screens of the layout");
    }

    void centredInside_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("fits") << QRect(0, 0, 1000, 700) << QSize(400, 300) << QRect(300, 200, 400, 300);
        QTest::newRow("second screen, panel on top") << QRect(1000, 30, 1280, 770) << QSize(600, 400)
                                                     << QRect(1340, 215, 600, 400);
        QTest::newRow("too wide") << QRect(0, 0, 1000, 700) << QSize(1400, 300) << QRect(0, 200, 1000, 300);
        QTest::newRow("too tall") << QRect(0, 24, 1000, 676) << QSize(400, 900) << QRect(300, 24, 400, 676);
        QTest::newRow("odd sizes") << QRect(0, 0, 1001, 701) << QSize(400, 300) << QRect(301, 201, 400, 300);
    }

    void centredInside()
    {
        QFETCH(QRect, area);
        QFETCH(QSize, frame);
        QFETCH(QRect, expected);
        const QRect placed = WindowPlacement::centredInside(area, frame);
        QCOMPARE(placed, expected);
        QVERIFY(area.contains(placed));
    }

    // A dialog of a window on the right screen opens on the right screen, whatever the mouse.
    void aDialogOpensOnItsWindowsScreen()
    {
        QCursor::setPos(LeftScreen.center());
        QWidget main;
        main.setGeometry(1100, 100, 439, 533);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QCOMPARE(main.screen(), screenAt(RightScreen));

        QDialog dialog(&main);
        dialog.resize(480, 440);
        WindowPlacement::centreWhenShown(&dialog);
        dialog.show();
        QVERIFY2(centredIn(dialog.frameGeometry(), screenAt(RightScreen)->availableGeometry()),
                 qPrintable(QStringLiteral("%1,%2").arg(dialog.frameGeometry().x()).arg(dialog.frameGeometry().y())));
    }

    // With the program in the tray, a window opens where the user is: the screen of the mouse.
    void aWindowOfTheTrayOpensUnderTheMouse()
    {
        QWidget hiddenMain;
        QWidget window(&hiddenMain, Qt::Window);
        window.resize(640, 520);
        WindowPlacement::centreWhenShown(&window);

        QCursor::setPos(RightScreen.center() + QPoint(300, 200));
        window.show();
        QVERIFY(centredIn(window.frameGeometry(), RightScreen));

        // Opened again after the mouse moved: on the other screen.
        window.hide();
        window.move(1500, 500);
        QCursor::setPos(QPoint(50, 650));
        window.show();
        QVERIFY(centredIn(window.frameGeometry(), LeftScreen));
    }

    // A window larger than the screen it opens on is made to fit.
    void aLargeWindowFitsTheScreen()
    {
        QCursor::setPos(LeftScreen.center());
        QWidget window(nullptr, Qt::Window);
        window.resize(1200, 760);
        WindowPlacement::centreWhenShown(&window);
        window.show();
        QVERIFY(LeftScreen.contains(window.frameGeometry()));
        QCOMPARE(window.frameGeometry().size(), LeftScreen.size());
    }

    // A box with a short text is still wide enough for the window system to show its caption.
    void aBoxShowsItsWholeCaption()
    {
        const QString caption = QStringLiteral("系统提示");
        const std::unique_ptr<QMessageBox> box = MessageBoxes::build(
            {QMessageBox::Information, caption, QStringLiteral("好"), QMessageBox::Ok, QMessageBox::Ok});
        box->show();
        const int needed = MessageBoxes::captionWidth(caption);
        QVERIFY(needed > QFontMetrics(box->font()).horizontalAdvance(caption) + 60);
        QVERIFY2(box->width() >= needed, qPrintable(QStringLiteral("%1 < %2").arg(box->width()).arg(needed)));
        box->hide();

        // A long caption widens the box further.
        const QString longCaption = QStringLiteral("数据库连接配置：测试连接失败的详细原因");
        const std::unique_ptr<QMessageBox> wide = MessageBoxes::build(
            {QMessageBox::Warning, longCaption, QStringLiteral("好"), QMessageBox::Ok, QMessageBox::Ok});
        wide->show();
        QVERIFY(wide->width() >= MessageBoxes::captionWidth(longCaption));
        QVERIFY(wide->width() > box->width());
    }

    // The help window, opened from the tray, comes up on the mouse's screen.
    void theHelpWindowOpensUnderTheMouse()
    {
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("help")));
        QFile page(folder.filePath(QStringLiteral("help/abstract_index.htm")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><head><title>帮助</title></head><body>x</body></html>");
        page.close();
        ProgramFolder::setPath(folder.path());

        QCursor::setPos(RightScreen.topLeft() + QPoint(20, 20));
        QVERIFY(HelpViewer::showTopic(QStringLiteral("abstract_index.htm")));
        QWidget* help = HelpViewer::browser()->window();
        QVERIFY(centredIn(help->frameGeometry(), RightScreen));
        help->close();
    }
};

int main(int argc, char** argv)
{
    // Two screens side by side, the right one larger; frames are left out so that a window's
    // frame is its geometry.
    QTemporaryDir dir;
    const QString layout = dir.filePath(QStringLiteral("screens.json"));
    QFile file(layout);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"windowFrameMargins": false, "screens": [
        {"name": "left", "x": 0, "y": 0, "width": 1000, "height": 700, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "right", "x": 1000, "y": 0, "width": 1280, "height": 800, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}
    ]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(layout));
    QApplication app(argc, argv);
    TestWindowPlacement test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowplacement.moc"
