#include "platform/telephony/SimulatedLineControl.h"

#include "platform/telephony/SimulatedLineProvider.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace {

// A command line longer than this (its line end included) is not a command; it is refused
// and the connection dropped.
constexpr qsizetype kMaxCommandLength = 4096;

bool toNumber(const QByteArray& text, DWORD* value)
{
    bool ok = false;
    const qint64 number = text.toLongLong(&ok, 0);
    if (!ok || number < -0x80000000LL || number > 0xffffffffLL)
        return false;
    *value = DWORD(number);
    return true;
}

} // namespace

SimulatedLineControl::SimulatedLineControl(SimulatedLineProvider* provider, QObject* parent)
    : QObject(parent), m_provider(provider), m_server(new QLocalServer(this))
{
    // Only the user who runs the program may ring its line.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SimulatedLineControl::serve);
}

bool SimulatedLineControl::listen(const QString& path, QString* error)
{
    QLocalServer::removeServer(path);
    if (m_server->listen(path))
        return true;
    if (error)
        *error = QStringLiteral("%1: %2").arg(path, m_server->errorString());
    return false;
}

void SimulatedLineControl::serve()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine(kMaxCommandLength + 1);
                // A line cut at the limit would leave its tail to run as a command of its
                // own: the whole line is refused, and the connection with it.
                if (!line.endsWith('\n')) {
                    socket->write(QByteArrayLiteral("ERROR command line longer than ") +
                                  QByteArray::number(kMaxCommandLength) + " bytes\n");
                    socket->disconnectFromServer();
                    return;
                }
                socket->write(execute(line.trimmed()) + '\n');
            }
            if (socket->bytesAvailable() > kMaxCommandLength) {
                socket->write(QByteArrayLiteral("ERROR command line longer than ") +
                              QByteArray::number(kMaxCommandLength) + " bytes\n");
                socket->disconnectFromServer();
            }
        });
    }
}

QByteArray SimulatedLineControl::execute(const QByteArray& command)
{
    const QList<QByteArray> words = command.simplified().split(' ');
    const QByteArray verb = words.value(0).toLower();
    if (verb == "status")
        return "OK " + m_provider->status().join(QLatin1String("; ")).toUtf8();

    DWORD device = 0;
    if (words.size() < 2 || !toNumber(words[1], &device))
        return verb.isEmpty() ? QByteArray("ERROR empty command")
                              : "ERROR \"" + verb + "\" needs a line device number";
    const QByteArray number = words.value(2);
    const QByteArray name = words.size() > 3 ? words.mid(3).join(' ') : QByteArray();

    QString error;
    if (verb == "offer") {
        error = m_provider->offer(device, number, name);
    } else if (verb == "callerid") {
        if (number.isEmpty())
            return "ERROR callerid needs a number";
        error = m_provider->sendCallerId(device, number, name);
    } else if (verb == "ring") {
        error = m_provider->ring(device);
    } else if (verb == "connect") {
        error = m_provider->setCallState(device, LINECALLSTATE_CONNECTED);
    } else if (verb == "disconnect") {
        error = m_provider->setCallState(device, LINECALLSTATE_DISCONNECTED);
    } else if (verb == "idle") {
        error = m_provider->setCallState(device, LINECALLSTATE_IDLE);
    } else if (verb == "close") {
        error = m_provider->closeLine(device);
    } else if (verb == "result") {
        DWORD code = 0;
        if (!toNumber(number, &code))
            return "ERROR result needs a code (0 or an error code such as 0x80000048)";
        error = m_provider->setMakeCallResult(device, LONG(code));
    } else {
        return "ERROR unknown command \"" + verb + "\"";
    }
    return error.isEmpty() ? QByteArray("OK") : "ERROR " + error.toUtf8();
}
