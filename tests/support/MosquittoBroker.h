#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// A private mosquitto broker on a free loopback port, in a folder of its own: plain, with a
// password file, or with TLS (a CA and a server certificate for 127.0.0.1 made with openssl
// here). It can be stopped and started again on the same port.
class MosquittoBroker
{
public:
    struct Options
    {
        QString user;     // with a password file when set
        QString password;
        bool tls = false;
    };

    MosquittoBroker() : MosquittoBroker(Options{}) {}
    explicit MosquittoBroker(const Options& options) : m_options(options)
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        m_port = probe.serverPort();
        probe.close();
        // Sessions are kept across a restart, as on a desk's real broker; as root the broker
        // stays root, or it could not read its files in this folder.
        QStringList conf{QStringLiteral("listener %1 127.0.0.1").arg(m_port), QStringLiteral("persistence true"),
                         QStringLiteral("persistence_location ") + m_dir.path() + QLatin1Char('/'),
                         // To a file: a pipe nobody reads while the test waits would stop the broker.
                         QStringLiteral("log_dest file ") + m_dir.filePath(QStringLiteral("broker.log")),
                         QStringLiteral("log_type all")};
        if (::getuid() == 0)
            conf << QStringLiteral("user root");
        if (!options.user.isEmpty()) {
            const QString file = m_dir.filePath(QStringLiteral("passwd"));
            if (QProcess::execute(QStringLiteral("mosquitto_passwd"),
                                  {QStringLiteral("-b"), QStringLiteral("-c"), file, options.user, options.password}) != 0)
                return;
            conf << QStringLiteral("allow_anonymous false") << QStringLiteral("password_file ") + file;
        } else {
            conf << QStringLiteral("allow_anonymous true");
        }
        if (options.tls) {
            if (!makeCertificates())
                return;
            conf << QStringLiteral("cafile ") + caFile() << QStringLiteral("certfile ") + m_dir.filePath(QStringLiteral("server.crt"))
                 << QStringLiteral("keyfile ") + m_dir.filePath(QStringLiteral("server.key"));
        }
        QFile file(m_dir.filePath(QStringLiteral("mosquitto.conf")));
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(conf.join(QLatin1Char('\n')).toUtf8() + '\n');
        file.close();
        m_ready = start();
    }

    ~MosquittoBroker() { stop(); }

    bool ready() const { return m_ready; }
    quint16 port() const { return m_port; }
    QString caFile() const { return m_dir.filePath(QStringLiteral("ca.crt")); }
    // A second CA that signed nothing of this broker's.
    QString otherCaFile()
    {
        const QString key = m_dir.filePath(QStringLiteral("other.key"));
        const QString crt = m_dir.filePath(QStringLiteral("other.crt"));
        if (!QFile::exists(crt))
            openssl(QStringList{QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                                QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"), key,
                                QStringLiteral("-out"), crt, QStringLiteral("-days"), QStringLiteral("2"),
                                QStringLiteral("-subj"), QStringLiteral("/CN=Other Test CA")});
        return crt;
    }

    bool start()
    {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("mosquitto"), {QStringLiteral("-c"), m_dir.filePath(QStringLiteral("mosquitto.conf"))});
        if (!m_process.waitForStarted(5000))
            return false;
        // Listening once a connection is taken.
        for (int i = 0; i < 100; ++i) {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, m_port);
            if (s.waitForConnected(200))
                return true;
            QTest::qWait(50);
        }
        return false;
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    QByteArray log()
    {
        QFile f(m_dir.filePath(QStringLiteral("broker.log")));
        return (f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray()) + m_process.readAll();
    }
    // Waits until the broker has logged `text` `count` times.
    bool waitForLog(const QByteArray& text, int count = 1, int ms = 10000)
    {
        QDeadlineTimer deadline(ms);
        while (log().count(text) < count) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(20);
        }
        return true;
    }

    // mosquitto_pub / mosquitto_sub arguments reaching this broker.
    QStringList clientArgs() const
    {
        QStringList args{QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                         QString::number(m_port)};
        if (!m_options.user.isEmpty())
            args << QStringLiteral("-u") << m_options.user << QStringLiteral("-P") << m_options.password;
        if (m_options.tls)
            args << QStringLiteral("--cafile") << caFile();
        return args;
    }

    // Publishes one message with mosquitto_pub; true when it was sent.
    bool publish(const QString& topic, const QByteArray& payload)
    {
        QProcess pub;
        pub.start(QStringLiteral("mosquitto_pub"), clientArgs() << QStringLiteral("-q") << QStringLiteral("1")
                                                                << QStringLiteral("-t") << topic
                                                                << QStringLiteral("-s"));
        if (!pub.waitForStarted(5000))
            return false;
        pub.write(payload);
        pub.closeWriteChannel();
        return pub.waitForFinished(10000) && pub.exitCode() == 0;
    }

private:
    bool openssl(const QStringList& args)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral("openssl"), args);
        return p.waitForFinished(30000) && p.exitCode() == 0;
    }

    bool makeCertificates()
    {
        const QString d = m_dir.path() + QLatin1Char('/');
        const QString ext = d + QStringLiteral("san.ext");
        QFile e(ext);
        if (!e.open(QIODevice::WriteOnly))
            return false;
        e.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n");
        e.close();
        return openssl(QStringList{QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                        QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"), d + "ca.key",
                        QStringLiteral("-out"), d + "ca.crt", QStringLiteral("-days"), QStringLiteral("2"),
                        QStringLiteral("-subj"), QStringLiteral("/CN=Test CA")}) &&
               openssl(QStringList{QStringLiteral("req"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                        QStringLiteral("-nodes"), QStringLiteral("-keyout"), d + "server.key", QStringLiteral("-out"),
                        d + "server.csr", QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")}) &&
               openssl(QStringList{QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), d + "server.csr",
                        QStringLiteral("-CA"), d + "ca.crt", QStringLiteral("-CAkey"), d + "ca.key",
                        QStringLiteral("-CAcreateserial"), QStringLiteral("-out"), d + "server.crt",
                        QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-extfile"), ext});
    }

    Options m_options;
    QTemporaryDir m_dir;
    quint16 m_port = 0;
    QProcess m_process;
    bool m_ready = false;
};
