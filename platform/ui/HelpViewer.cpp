#include "platform/ui/HelpViewer.h"

#include "platform/ProgramFolder.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/WindowPlacement.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

namespace {
QPointer<QWidget> g_window;
QPointer<QTextBrowser> g_browser;

void createWindow()
{
    g_window = new QWidget(nullptr, Qt::Window);
    g_window->setAttribute(Qt::WA_QuitOnClose, false);
    g_window->resize(640, 520);
    WindowPlacement::centreWhenShown(g_window);
    auto* layout = new QVBoxLayout(g_window);
    layout->setContentsMargins(0, 0, 0, 0);
    g_browser = new QTextBrowser(g_window);
    g_browser->setOpenLinks(true);
    g_browser->setOpenExternalLinks(true); // http and mailto through the desktop
    layout->addWidget(g_browser);
    QObject::connect(g_browser, &QTextBrowser::sourceChanged, g_window, [] {
        const QString title = g_browser->documentTitle();
        g_window->setWindowTitle(title.isEmpty() ? QCoreApplication::translate("HelpViewer", "帮助") : title);
    });
}
} // namespace

bool HelpViewer::showTopic(const QString& topic)
{
    const QString path = ProgramFolder::file(QStringLiteral("help/") + topic);
    QFile page(path);
    if (!page.open(QIODevice::ReadOnly)) {
        MessageBoxes::show({QMessageBox::NoIcon, QCoreApplication::translate("HelpViewer", "错误提示"),
                            QCoreApplication::translate("HelpViewer", "对不起，打开帮助文件出错！"), QMessageBox::Ok,
                            QMessageBox::Ok});
        return false;
    }
    page.close();
    if (!g_window)
        createWindow();
    g_browser->setSource(QUrl::fromLocalFile(path));
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
    return true;
}

QTextBrowser* HelpViewer::browser()
{
    return g_browser;
}
