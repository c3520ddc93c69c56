#include "app/AnimatedTrayIcon.h"

#include <QCursor>
#include <QMenu>

AnimatedTrayIcon::AnimatedTrayIcon(QList<QIcon> icons, const QString& hint, QObject* parent)
    : QObject(parent), m_icons(std::move(icons))
{
    Q_ASSERT(!m_icons.isEmpty());
    m_tray.setToolTip(hint);
    m_tray.setIcon(m_icons.first());
    m_timer.setInterval(kAnimationInterval);
    connect(&m_timer, &QTimer::timeout, this, [this] { setIconIndex((m_index + 1) % int(m_icons.size())); });
    connect(&m_tray, &QSystemTrayIcon::activated, this, &AnimatedTrayIcon::activated);
}

void AnimatedTrayIcon::setMenu(QMenu* menu)
{
    m_menu = menu;
    m_tray.setContextMenu(menu);
}

void AnimatedTrayIcon::setVisible(bool visible)
{
    m_visible = visible;
    m_tray.setVisible(visible);
}

void AnimatedTrayIcon::setAnimate(bool on)
{
    if (on && !m_timer.isActive())
        m_timer.start();
    else if (!on)
        m_timer.stop();
}

void AnimatedTrayIcon::setIconIndex(int index)
{
    if (index < 0 || index >= m_icons.size())
        return;
    m_index = index;
    m_tray.setIcon(m_icons.at(index));
}

void AnimatedTrayIcon::setIconAt(int index, const QIcon& icon)
{
    if (index < 0 || index >= m_icons.size())
        return;
    m_icons[index] = icon;
    if (index == m_index)
        m_tray.setIcon(icon);
}

QIcon AnimatedTrayIcon::icon() const
{
    return m_icons.at(m_index);
}

bool AnimatedTrayIcon::available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void AnimatedTrayIcon::activated(QSystemTrayIcon::ActivationReason reason)
{
    // The right button opens the context menu by itself; the left and middle buttons open
    // the same menu, a double click nothing.
    if ((reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::MiddleClick) && m_menu)
        m_menu->popup(QCursor::pos());
}
