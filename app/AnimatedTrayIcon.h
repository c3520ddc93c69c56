#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

class QMenu;

// The notification-area icon: a list of icons of which one is shown, stepping to the next
// every 200 ms while the animation is on (a ringing line). Any mouse button opens the menu
// at the pointer; clicks do nothing else.
class AnimatedTrayIcon final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AnimatedTrayIcon)

public:
    static constexpr int kAnimationInterval = 200;

    AnimatedTrayIcon(QList<QIcon> icons, const QString& hint, QObject* parent = nullptr);

    void setMenu(QMenu* menu);

    void setVisible(bool visible);
    bool isVisible() const { return m_visible; }

    void setAnimate(bool on);
    bool animate() const { return m_timer.isActive(); }

    void setIconIndex(int index);
    int iconIndex() const { return m_index; }
    QIcon icon() const;
    // Replaces one icon of the list; shown at once when it is the current one.
    void setIconAt(int index, const QIcon& icon);

    void setToolTip(const QString& text) { m_tray.setToolTip(text); }
    QString toolTip() const { return m_tray.toolTip(); }

    // Whether the desktop shows tray icons at all; without one the program keeps its window.
    static bool available();

private:
    void activated(QSystemTrayIcon::ActivationReason reason);

    QList<QIcon> m_icons;
    QSystemTrayIcon m_tray;
    QTimer m_timer;
    QPointer<QMenu> m_menu;
    int m_index = 0;
    bool m_visible = false;
};
