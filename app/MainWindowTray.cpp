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
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QProcess>
#include <QTimer>
#include <QUrl>

namespace {
QIcon image(const char* name)
{
    return QIcon(QStringLiteral(":/app/images/%1.png").arg(QLatin1String(name)));
}

// The resting picture in grey: the program runs but no call will be seen.
QIcon greyed(const QIcon& icon)
{
    QIcon grey;
    QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty())
        sizes << QSize(16, 16);
    for (const QSize& size : sizes) {
        QImage picture = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < picture.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                const int g = qGray(line[x]);
                line[x] = qRgba(g, g, g, qAlpha(line[x]) / 2);
            }
        }
        grey.addPixmap(QPixmap::fromImage(picture));
    }
    return grey;
}
} // namespace

void MainWindow::createTray()
{
    Q_INIT_RESOURCE(shell); // the images live in a static library
    setWindowIcon(image("vornx"));
    m_menuIcons = {image("menu_help"),       image("menu_addressbook"), image("menu_device"),
                   image("menu_datasource"), image("menu_close"),       image("menu_history")};
    m_trayIcons = {image("tray_rest"), image("tray_ring")};

    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("trayMenu"));
    const auto item = [this](const char* name, const QString& caption, int iconIndex, void (MainWindow::*handler)()) {
        QAction* a = m_trayMenu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (iconIndex >= 0)
            a->setIcon(m_menuIcons.at(iconIndex));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    m_aboutAction = item("aboutAction", tr("关于(&A)"), -1, &MainWindow::showAbout);
    m_helpAction = item("helpAction", tr("帮助(&H)"), 0, &MainWindow::showHelp);
    m_updateAction = item("updateAction", tr("在线升级(&U)"), -1, &MainWindow::startUpdater);
    m_trayMenu->addSeparator();
    m_historyAction = item("historyAction", tr("历史记录(&L)"), 5, &MainWindow::showHistory);
    m_addressBookAction = item("addressBookAction", tr("通讯薄(&A)"), 1, &MainWindow::showAddressBook);
    m_regionQueryAction = item("regionQueryAction", tr("号码归属查询(&P)"), -1, &MainWindow::showRegionQuery);
    m_blockListAction = item("blockListAction", tr("黑名单(&B)..."), -1, &MainWindow::showBlockList);
    m_trayMenu->addSeparator();
    m_deviceAction = item("deviceAction", tr("选择设备(&S)"), 2, &MainWindow::showDeviceChoice);
    m_dataSourceAction = item("dataSourceAction", tr("设置数据源(&D)"), 3, &MainWindow::showDataSourceWizard);
    createNotificationAction();
    m_trayMenu->addSeparator();
    m_closeAction = m_trayMenu->addAction(m_menuIcons.at(4), tr("关闭(&X)"));
    m_closeAction->setObjectName(QStringLiteral("closeAction"));
    connect(m_closeAction, &QAction::triggered, this, &QWidget::close);

    m_trayOffIcon = greyed(m_trayIcons.at(0));

    m_trayIcon = new AnimatedTrayIcon(m_trayIcons, tr("维诺星系列－来电显示"), this);
    m_trayIcon->setObjectName(QStringLiteral("trayIcon"));
    m_trayIcon->setMenu(m_trayMenu);
    showMonitoringState(MonitoringState::Off);

    // The same menu on the window itself, so that every command stays reachable on a
    // desktop that shows no tray icons.
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_trayMenu->popup(mapToGlobal(pos)); });

    connect(m_banner, &ClickableLabel::clicked, this, &MainWindow::openHomePage);
}

void MainWindow::sendToTray()
{
    m_trayIcon->setVisible(true);
    // Without a tray the window is the only way back to the program: it stays where it is.
    if (AnimatedTrayIcon::available())
        hideInTray();
}

void MainWindow::hideInTray()
{
    hide();
    // The program may sit in the tray all day: its window gives up the native window and the
    // painting buffer it no longer shows; showing it again makes them anew.
    destroy();
}

void MainWindow::showMonitoringState(MonitoringState state, const QString& device)
{
    m_monitoringState = state;
    m_monitoredName = device;
    const QString title = tr("维诺星系列－来电显示");
    QString text;
    switch (state) {
    case MonitoringState::On:
        text = tr("正在监控来电：%1").arg(device.trimmed());
        break;
    case MonitoringState::Off:
        text = tr("未在监控来电");
        break;
    case MonitoringState::Lost:
        text = tr("设备已断开，来电监控已停止：%1").arg(device.trimmed());
        break;
    }
    // The resting icon (index 0) is the one shown between rings.
    m_trayIcon->setIconAt(0, state == MonitoringState::On ? m_trayIcons.at(0) : m_trayOffIcon);
    m_trayIcon->setToolTip(title + QLatin1Char('\n') + text);
}

void MainWindow::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    // While the tray icon stands for the program, minimising leaves no taskbar button.
    if (e->type() == QEvent::WindowStateChange && isMinimized() && m_trayIcon && m_trayIcon->isVisible() &&
        AnimatedTrayIcon::available())
        QTimer::singleShot(0, this, &MainWindow::hideInTray);
}

void MainWindow::showAbout()
{
    if (!m_aboutDialog)
        m_aboutDialog = new AboutDialog(this);
    m_aboutDialog->exec();
}

void MainWindow::showHelp()
{
    HelpViewer::showTopic(QStringLiteral("abstract_index.htm"));
}

void MainWindow::startUpdater()
{
    // The updater replaces the program's files, so the program makes way for it. Without an
    // updater the program keeps running: ending it would silently stop the monitoring.
    const QString updater = QCoreApplication::applicationDirPath() + QStringLiteral("/Update.exe");
    if (!QFileInfo(updater).isExecutable() || !QProcess::startDetached(updater, {})) {
        MessageBoxes::show({QMessageBox::NoIcon, tr("错误提示"), tr("无法启动在线升级程序“Update.exe”，请重新安装！"),
                            QMessageBox::Ok, QMessageBox::Ok},
                           this);
        return;
    }
    close();
}

void MainWindow::showAddressBook()
{
    const QString store = AddressBookLocation::storePath(m_programFolder);
    // A contacts file that cannot be read, or whose folder is gone, leaves nothing to open.
    const QFileInfo file(store);
    if (file.exists() ? file.isDir() || !file.isReadable() : !file.absoluteDir().exists()) {
        MessageBoxes::show(
            {QMessageBox::NoIcon, tr("系统提示"), tr("通讯薄安装错误，请重新安装！"), QMessageBox::Ok, QMessageBox::Ok},
            this);
        return;
    }
    if (!m_contactsWindow) {
        auto* dialogs = new ContactDialogs(this);
        m_contactsWindow = new ContactsWindow(store, *dialogs, this);
        connect(m_contactsWindow, &QObject::destroyed, this, [dialogs] { delete dialogs; });
    }
    m_contactsWindow->show();
    m_contactsWindow->raise();
    m_contactsWindow->activateWindow();
}

void MainWindow::showDeviceChoice()
{
    showNormal();
    raise();
    activateWindow();
    m_trayIcon->setVisible(false);
}

void MainWindow::showDataSourceWizard()
{
    // Made on first use and kept; each showing opens on the settings in use.
    if (!m_dataSourceWizard)
        m_dataSourceWizard = new DataSourceWizard(this);
    if (m_dataSourceWizard->exec() == QDialog::Accepted)
        dataSourceChanged();
}

void MainWindow::openHomePage()
{
    QDesktopServices::openUrl(QUrl(Maker::kHomePage));
}
