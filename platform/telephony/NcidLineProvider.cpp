#include "platform/telephony/NcidLineProvider.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTcpSocket>
#include <QTimer>

namespace {
constexpr int LongestRetryMs = 30000;
// The file holds two short values; anything much larger is not ours.
constexpr qint64 LargestConfigFile = 64 * 1024;
} // namespace

NcidLineProvider::NcidLineProvider(QString configFile, QObject* parent)
    : NetworkCallLine(parent), m_configFile(std::move(configFile)), m_socket(new QTcpSocket(this)),
      m_retry(new QTimer(this))
{
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, &NcidLineProvider::connectToServer);
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_retryMs = m_firstRetryMs;
        m_parser.reset();
        setState(connectedText());
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &NcidLineProvider::readServer);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        retryLater(error == QAbstractSocket::ConnectionRefusedError ? refusedText() : unreachableText());
    });
    connect(m_socket, &QTcpSocket::disconnected, this, [this] { retryLater(unreachableText()); });
    setState(notConfiguredText());
}

QString NcidLineProvider::notConfiguredText() { return QCoreApplication::translate("NcidLineProvider", "未配置服务器"); }
QString NcidLineProvider::connectingText() { return QCoreApplication::translate("NcidLineProvider", "正在连接"); }
QString NcidLineProvider::connectedText() { return QCoreApplication::translate("NcidLineProvider", "已连接"); }
QString NcidLineProvider::refusedText() { return QCoreApplication::translate("NcidLineProvider", "连接被拒绝"); }
QString NcidLineProvider::unreachableText() { return QCoreApplication::translate("NcidLineProvider", "无法连接"); }

bool NcidLineProvider::load(QString* error)
{
    m_server = {};
    QFile file(m_configFile);
    if (!file.exists())
        return true;
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_configFile, why);
        m_server = {};
        return false;
    };
    if (file.size() > LargestConfigFile)
        return fail(tr("文件过大"));
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.read(LargestConfigFile), &parseError);
    if (!doc.isObject())
        return fail(parseError.errorString());
    const QJsonObject o = doc.object();
    m_server.host = o.value(QLatin1String("host")).toString().trimmed();
    const int port = o.value(QLatin1String("port")).toInt(3333);
    if (port < 1 || port > 65535)
        return fail(tr("端口号无效: %1").arg(port));
    m_server.port = quint16(port);
    if (m_server.host.isEmpty())
        setState(notConfiguredText());
    return true;
}

bool NcidLineProvider::save(QString* error) const
{
    QSaveFile file(m_configFile);
    const QJsonObject o{{QStringLiteral("host"), m_server.host}, {QStringLiteral("port"), int(m_server.port)}};
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(o).toJson()) < 0 || !file.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_configFile, file.errorString());
        return false;
    }
    return true;
}

void NcidLineProvider::setServer(const NcidServer& server)
{
    m_server = server;
    if (!m_running)
        return;
    stop();
    start();
}

QByteArray NcidLineProvider::lineName() const
{
    return "NCID 服务器线路";
}

QByteArray NcidLineProvider::providerName() const
{
    return "NCID 客户端";
}

QString NcidLineProvider::peer() const
{
    if (m_server.host.isEmpty())
        return tr("NCID 服务器");
    return QStringLiteral("%1:%2").arg(m_server.host).arg(m_server.port);
}

void NcidLineProvider::start()
{
    m_running = true;
    m_retryMs = m_firstRetryMs;
    connectToServer();
}

void NcidLineProvider::stop()
{
    m_running = false;
    m_retry->stop();
    // Leaving the socket must not count as the server going away.
    m_socket->blockSignals(true);
    m_socket->abort();
    m_socket->blockSignals(false);
    m_parser.reset();
    setState(m_server.host.isEmpty() ? notConfiguredText() : QString());
}

LONG NcidLineProvider::showConfigDialog(QWidget* owner)
{
    if (!m_configDialog)
        return LINEERR_OPERATIONUNAVAIL;
    m_configDialog(*this, owner);
    return 0;
}

void NcidLineProvider::connectToServer()
{
    if (!m_running)
        return;
    if (m_server.host.isEmpty()) {
        setState(notConfiguredText());
        return;
    }
    setState(connectingText());
    m_parser.reset();
    m_socket->abort();
    m_socket->connectToHost(m_server.host, m_server.port);
}

void NcidLineProvider::retryLater(const QString& state)
{
    if (!m_running)
        return;
    setState(state);
    if (m_retry->isActive())
        return;
    m_retry->start(m_retryMs);
    m_retryMs = std::min(m_retryMs * 2, LongestRetryMs);
}

void NcidLineProvider::readServer()
{
    for (const NcidLineParser::Call& call : m_parser.feed(m_socket->readAll()))
        offerCall(call.number, call.name);
}
