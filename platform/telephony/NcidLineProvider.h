#pragma once

#include "platform/telephony/NcidLineParser.h"
#include "platform/telephony/NetworkCallLine.h"

#include <QAbstractSocket>
#include <QString>

#include <functional>

class QTcpSocket;
class QTimer;

struct NcidServer
{
    QString host; // empty: not configured
    quint16 port = 3333;
};

// The line device "NCID 服务器线路": a client of an NCID server, whose calls it offers as
// ringing calls with caller ID while the device is open. Connects when the device is opened
// and again, with a growing pause, whenever the server goes away or cannot be reached.
// The server is named in a JSON file of the program folder ({"host": ..., "port": ...}).
class NcidLineProvider final : public NetworkCallLine
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NcidLineProvider)

public:
    using ConfigDialog = std::function<void(NcidLineProvider& provider, QWidget* owner)>;

    explicit NcidLineProvider(QString configFile, QObject* parent = nullptr);

    // A missing file leaves the device unconfigured; a broken one does too, and says why.
    bool load(QString* error = nullptr);
    bool save(QString* error = nullptr) const;
    const NcidServer& server() const { return m_server; }
    // Replaces the server and connects to it afresh when the device is open.
    void setServer(const NcidServer& server);
    void setConfigDialog(ConfigDialog dialog) { m_configDialog = std::move(dialog); }
    // The first pause before connecting again; it doubles up to 30 s.
    void setRetryInterval(int ms) { m_firstRetryMs = ms; }
    int droppedLines() const { return m_parser.dropped(); }

    static QString notConfiguredText();
    static QString connectingText();
    static QString connectedText();
    static QString refusedText();
    static QString unreachableText();

protected:
    QByteArray lineName() const override;
    QByteArray providerName() const override;
    QString peer() const override;
    DWORD permanentLineId() const override { return 0x4E00; }
    void start() override;
    void stop() override;
    LONG showConfigDialog(QWidget* owner) override;

private:
    void connectToServer();
    void retryLater(const QString& state);
    void readServer();

    QString m_configFile;
    NcidServer m_server;
    ConfigDialog m_configDialog;
    QTcpSocket* m_socket;
    QTimer* m_retry;
    NcidLineParser m_parser;
    int m_firstRetryMs = 1000;
    int m_retryMs = 1000;
    bool m_running = false;
};
