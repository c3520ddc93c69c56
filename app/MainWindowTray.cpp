#include "app/MainWindow.h"

#include "app/AboutDialog.h"
#include "app/AnimatedTrayIcon.h"
#include "app/ClickableWidgets.h"
#include "app/Maker.h"
#include "lookup/HistoryWindow.h"
#include "platform/addressbook/ContactsWindow.h"
#include "platform/addressbook/AddressBookLocation.h"
#include "platform/addressbook/ContactDialogs.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/MessageBoxes.h"
#include "setup/DataSourceWizard.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QTimer>
#include <QUrl>

namespace {
QIcon image(const char* name)
{
    return QIcon(QStringLiteral(":/app/images/%1.png").arg(QLatin1String(name)));
}
} // namespace

void MainWindow::CreateTray()
{
    Q_INIT_RESOURCE(shell); // the images live in a static library
    setWindowIcon(image("vornx"));
    ImageList1 = {image("menu_help"),  image("menu_addressbook"), image("menu_device"),
                  image("menu_datasource"), image("menu_close"), image("menu_history")};
    ImageList2 = {image("tray_rest"), image("tray_ring")};

    PopupMenu1 = new QMenu(this);
    const auto item = [this](const char* name, const QString& caption, int imageIndex, void (MainWindow::*handler)()) {
        QAction* a = PopupMenu1->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (imageIndex >= 0)
            a->setIcon(ImageList1.at(imageIndex));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    const auto separator = [this](const char* name) {
        QAction* a = PopupMenu1->addSeparator();
        a->setObjectName(QLatin1String(name));
        return a;
    };
    A2 = item("A2", QStringLiteral("关于(&A)"), -1, &MainWindow::A2Click);
    H1 = item("H1", QStringLiteral("帮助(&H)"), 0, &MainWindow::H1Click);
    U1 = item("U1", QStringLiteral("在线升级(&U)"), -1, &MainWindow::U1Click);
    N4 = separator("N4");
    L1 = item("L1", QStringLiteral("历史记录(&L)"), 5, &MainWindow::L1Click);
    A1 = item("A1", QStringLiteral("通讯薄(&A)"), 1, &MainWindow::A1Click);
    N5 = item("N5", QStringLiteral("号码归属查询(&P)"), -1, &MainWindow::N5Click);
    N3 = separator("N3");
    S1 = item("S1", QStringLiteral("选择设备(&S)"), 2, &MainWindow::S1Click);
    N2 = item("N2", QStringLiteral("设置数据源(&D)"), 3, &MainWindow::N2Click);
    N1 = separator("N1");
    X1 = item("X1", QStringLiteral("关闭(&X)"), 4, &MainWindow::X1Click);

    TrayIcon1 = new AnimatedTrayIcon(ImageList2, QStringLiteral("维诺星系列－来电显示"), this);
    TrayIcon1->setMenu(PopupMenu1);

    // The same menu on the window itself, so that every command stays reachable on a
    // desktop that shows no tray icons.
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(mapToGlobal(pos)); });

    connect(Image2, &ClickableLabel::clicked, this, &MainWindow::Image2Click);
}

void MainWindow::SendToTray()
{
    TrayIcon1->setVisible(true);
    // Without a tray the window is the only way back to the program: it stays where it is.
    if (AnimatedTrayIcon::available())
        hide();
}

void MainWindow::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    // While the tray icon stands for the program, minimising leaves no taskbar button.
    if (e->type() == QEvent::WindowStateChange && isMinimized() && TrayIcon1 && TrayIcon1->isVisible() &&
        AnimatedTrayIcon::available())
        QTimer::singleShot(0, this, &QWidget::hide);
}

void MainWindow::A2Click()
{
    if (!AboutxDlg)
        AboutxDlg = new AboutDialog(this);
    AboutxDlg->exec();
}

void MainWindow::H1Click()
{
    HelpViewer::showTopic(QStringLiteral("abstract_index.htm"));
}

void MainWindow::U1Click()
{
    // The updater replaces the program's files, so the program makes way for it. Without an
    // updater the program keeps running: ending it would silently stop the monitoring.
    const QString updater = QCoreApplication::applicationDirPath() + QStringLiteral("/Update.exe");
    if (!QFileInfo(updater).isExecutable() || !QProcess::startDetached(updater, {})) {
        MessageBoxes::show({QMessageBox::NoIcon, QStringLiteral("错误提示"),
                            QStringLiteral("无法启动在线升级程序“Update.exe”，请重新安装！"), QMessageBox::Ok,
                            QMessageBox::Ok},
                           this);
        return;
    }
    close();
}

void MainWindow::L1Click()
{
    showHistory();
}

void MainWindow::A1Click()
{
    const QString store = AddressBookLocation::storePath(AppPath);
    // A contacts file that cannot be read, or whose folder is gone, leaves nothing to open.
    const QFileInfo file(store);
    if (file.exists() ? file.isDir() || !file.isReadable() : !file.absoluteDir().exists()) {
        MessageBoxes::show({QMessageBox::NoIcon, QStringLiteral("系统提示"), QStringLiteral("通讯薄安装错误，请重新安装！"),
                            QMessageBox::Ok, QMessageBox::Ok},
                           this);
        return;
    }
    if (!AddrBookForm) {
        auto* dialogs = new ContactDialogs(this);
        AddrBookForm = new ContactsWindow(store, *dialogs, this);
        connect(AddrBookForm, &QObject::destroyed, this, [dialogs] { delete dialogs; });
    }
    AddrBookForm->show();
    AddrBookForm->raise();
    AddrBookForm->activateWindow();
}

void MainWindow::N5Click()
{
    ShowPhoneQryForm();
}

void MainWindow::S1Click()
{
    showNormal();
    raise();
    activateWindow();
    TrayIcon1->setVisible(false);
}

void MainWindow::N2Click()
{
    if (!DatabaseDlg)
        DatabaseDlg = new DataSourceWizard(this);
    DatabaseDlg->exec();
}

void MainWindow::X1Click()
{
    close();
}

void MainWindow::Image2Click()
{
    QDesktopServices::openUrl(QUrl(Maker::kHomePage));
}
