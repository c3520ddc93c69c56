#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

// A caller shown in the desktop's own notification (the freedesktop notification service on
// the session bus), beside the caller window. One notification at a time: a new caller
// replaces the one before. Without a bus or a notification service nothing is shown and
// nothing fails; the call is asynchronous, so a slow service never holds the window up.
class DesktopNotifier final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DesktopNotifier)

public:
    explicit DesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);
    explicit DesktopNotifier(QObject* parent = nullptr);

    // Shows the notification with one action button labelled `actionText`.
    void notify(const QString& summary, const QString& body, const QString& actionText);

    // The id the service gave the notification now shown; 0 before it answered.
    uint currentId() const { return m_id; }

signals:
    // The user chose the action, or clicked the notification itself.
    void actionInvoked();
    // The service answered a notification, or refused it (`ok` false).
    void delivered(bool ok);

private slots:
    void takeAction(uint id, const QString& key);
    void forget(uint id, uint reason);

private:
    void takeReply(QDBusPendingCallWatcher* watcher);

    QDBusConnection m_bus;
    uint m_id = 0;
};
