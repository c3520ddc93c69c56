#include "app/MainWindow.h"

#include "app/AnimatedTrayIcon.h"
#include "app/IncomingNumber.h"
#include "capture/LineMessage.h"
#include "lookup/CallerWindow.h"
#include "platform/sound/Sound.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QTimer>
#include <QWindow>

namespace {
// The modem reports every ring by itself; any other poster starts a ring that goes on
// until the call is shown or over.
constexpr qintptr SingleRing = 4;
} // namespace

void MainWindow::OnLineRing(const LineMessage& message)
{
    if (message.lParam() == SingleRing) {
        // The icon only flickers; the sound plays on by itself.
        m_trayIcon->setAnimate(true);
        Sound::play(m_programFolder + QStringLiteral("ring.wav"));
        m_trayIcon->setAnimate(false);
        m_trayIcon->setIconIndex(0);
        return;
    }
    // A second ring of the same call keeps the running timer in step.
    if (!m_ringTimer->isActive())
        m_ringTimer->start();
    m_trayIcon->setAnimate(true);
}

void MainWindow::playRing()
{
    Sound::play(m_programFolder + QStringLiteral("ring.wav"));
}

void MainWindow::OnRingDone()
{
    m_ringTimer->stop();
    m_trayIcon->setAnimate(false);
    m_trayIcon->setIconIndex(0);
}

void MainWindow::OnCallerNumber(const LineMessage& message)
{
    const std::optional<QByteArray> number = IncomingNumber::take(message.text(), m_dropFirstDigitCheck->isChecked());
    if (!number)
        return;
    if (!ShowInfoDlg)
        ShowInfoDlg = new CallerWindow(this);
    ShowInfoDlg->PhoneNo = QString::fromLatin1(*number);
    // Closing first makes the window look the new number up when it is still on screen.
    ShowInfoDlg->close();
    // Pinned above every window while it appears, then a normal window again, so that it
    // comes up in front of whatever the user works in without staying there. The pin is
    // set while the window is hidden and taken off the shown window in place, since
    // changing a shown widget's flags hides it and shows it again.
    ShowInfoDlg->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    ShowInfoDlg->show();
    ShowInfoDlg->raise();
    ShowInfoDlg->activateWindow();
    const Qt::WindowFlags normal = ShowInfoDlg->windowFlags() & ~Qt::WindowStaysOnTopHint;
    ShowInfoDlg->overrideWindowFlags(normal);
    if (QWindow* window = ShowInfoDlg->windowHandle())
        window->setFlags(normal);
    QCoreApplication::postEvent(this, new LineMessage(WM_RING_DONE, {}, 0));
}
