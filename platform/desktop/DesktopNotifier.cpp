#include "platform/desktop/DesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {
const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
// The key of the action button; "default" is what servers send for a click on the body.
const QString ShowKey = QStringLiteral("show");
const QString DefaultKey = QStringLiteral("default");
// How long the service may take to answer before the call counts as failed.
constexpr int ReplyTimeoutMs = 5000;
} // namespace

DesktopNotifier::DesktopNotifier(QObject* parent) : DesktopNotifier(QDBusConnection::sessionBus(), parent) {}

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus, QObject* parent) : QObject(parent), m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(QString(), Path, Interface, QStringLiteral("ActionInvoked"), this, SLOT(takeAction(uint, QString)));
    m_bus.connect(QString(), Path, Interface, QStringLiteral("NotificationClosed"), this, SLOT(forget(uint, uint)));
}

void DesktopNotifier::notify(const QString& summary, const QString& body, const QString& actionText)
{
    if (!m_bus.isConnected()) {
        emit delivered(false);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("io.github.vornx"));
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    // Without a name that owns the service the bus would try to start one; a desktop without
    // a notification service simply has none.
    call.setAutoStartService(false);
    // Servers may read the body as markup: a customer's "<" or "&" is text.
    call << QStringLiteral("vornx") << m_id << QStringLiteral("io.github.vornx") << summary << body.toHtmlEscaped()
         << QStringList{DefaultKey, actionText, ShowKey, actionText} << hints << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, ReplyTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &DesktopNotifier::takeReply);
}

void DesktopNotifier::takeReply(QDBusPendingCallWatcher* watcher)
{
    watcher->deleteLater();
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError()) {
        emit delivered(false);
        return;
    }
    m_id = reply.value();
    emit delivered(true);
}

void DesktopNotifier::takeAction(uint id, const QString& key)
{
    // Every program's notifications come through the same signal: only ours count.
    if (id == 0 || id != m_id)
        return;
    if (key == ShowKey || key == DefaultKey)
        emit actionInvoked();
}

void DesktopNotifier::forget(uint id, uint)
{
    if (id == m_id)
        m_id = 0;
}
