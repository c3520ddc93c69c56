// Several desks on one broker, measured from outside: the front desk's program watches the
// virtual modem and publishes each call; listening desks' programs take it from their MQTT
// line. Reports the latency from the modem's caller-ID report to the filled caller window on
// a listener (median and p95), then publishes a burst of calls straight to the broker and
// counts what every listener logged.
//
//   bench_desks [--calls 100] [--burst 1000] [--listeners 2]
//
// Needs mosquitto and mosquitto_pub on the PATH (scripts/deps.sh installs them).
#include "e2e/ProgramRun.h"
#include "support/MosquittoBroker.h"
#include "support/VirtualModemProcess.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

qint64 steadyMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double percentile(QList<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const qsizetype i = std::min(values.size() - 1, qsizetype(std::ceil(p * values.size())) - 1);
    return values.at(std::max<qsizetype>(0, i));
}

std::unique_ptr<ProgramRun> desk(const MosquittoBroker& broker, const QString& id, const QString& sysset)
{
    auto run = std::make_unique<ProgramRun>();
    run->copyShipped(QStringLiteral("area.dat"));
    run->writeGbk(QStringLiteral("sysset.ini"), sysset);
    // No customer source: the figures are those of the road through the broker.
    run->writeGbk(QStringLiteral("Vornx.ini"), QStringLiteral("[QUERYTYPE]\r\nTYPE=0\r\n"));
    const QJsonObject o{{QStringLiteral("host"), QStringLiteral("127.0.0.1")},
                        {QStringLiteral("port"), broker.port()},
                        {QStringLiteral("prefix"), QStringLiteral("bench")},
                        {QStringLiteral("clientId"), id}};
    run->write(QStringLiteral("mqttline.json"), QJsonDocument(o).toJson());
    return run;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto option = [&args](const char* name, int fallback) {
        const qsizetype i = args.indexOf(QLatin1String(name));
        return i >= 0 && i + 1 < args.size() ? args.at(i + 1).toInt() : fallback;
    };
    const int calls = option("--calls", 100);
    const int burst = option("--burst", 1000);
    const int listenerCount = option("--listeners", 2);

    MosquittoBroker broker;
    if (!broker.ready())
        qFatal("the broker did not start");
    VirtualModemProcess modem;
    std::vector<std::unique_ptr<ProgramRun>> listeners;
    for (int i = 0; i < listenerCount; ++i) {
        listeners.push_back(desk(broker, QStringLiteral("bench-desk-%1").arg(i),
                                 QStringLiteral("[DEVICESET]\r\nDEVTYPE=3\r\nDEVNUM=2\r\n[SYSTEM]\r\nAUTOSTART=1\r\n")));
        listeners.back()->start();
    }
    auto front = desk(broker, QStringLiteral("bench-front"),
                      QStringLiteral("[DEVICESET]\r\nDEVTYPE=4\r\nDEVNUM=0\r\n[SYSTEM]\r\nAUTOSTART=1\r\n[PORTS]\r\n"
                                     "COM1=%1\r\n")
                          .arg(modem.path()));
    front->start();
    if (!modem.waitReceived(QStringLiteral("AT#CID=1"), 20000) ||
        !broker.waitForLog("Received SUBSCRIBE", listenerCount, 20000) ||
        !broker.waitForLog("as bench-front-publish", 1, 20000))
        qFatal("the desks did not start");
    QTest::qWait(1000);

    QList<double> latencies;
    for (int i = 0; i < calls; ++i) {
        const QString number = QStringLiteral("0591%1").arg(87000000 + i);
        modem.command(QStringLiteral("call ") + number);
        const qint64 sent = steadyMicros();
        if (!listeners.front()->waitForShown(i + 1, 10000)) {
            std::printf("call %d never reached the first listener\n", i);
            return 1;
        }
        latencies << (listeners.front()->shown().at(i).steadyMicros - sent) / 1000.0;
        QTest::qWait(200); // the call is over before the next one rings
    }
    std::printf("modem report -> caller window on a listener, %d calls: median %.1f ms, p95 %.1f ms\n", calls,
                percentile(latencies, 0.5), percentile(latencies, 0.95));

    // A burst straight to the broker, one message per line.
    QByteArray lines;
    const QString now = QDateTime::currentDateTime().toOffsetFromUtc(QDateTime::currentDateTime().offsetFromUtc())
                            .toString(Qt::ISODate);
    for (int i = 0; i < burst; ++i)
        lines += QJsonDocument(QJsonObject{{QStringLiteral("number"), QStringLiteral("139%1").arg(10000000 + i)},
                                           {QStringLiteral("time"), now},
                                           {QStringLiteral("line"), QStringLiteral("bench")}})
                     .toJson(QJsonDocument::Compact) +
                 '\n';
    QProcess pub;
    pub.start(QStringLiteral("mosquitto_pub"), broker.clientArgs() << QStringLiteral("-q") << QStringLiteral("1")
                                                                    << QStringLiteral("-t") << QStringLiteral("bench/call")
                                                                    << QStringLiteral("-l"));
    pub.waitForStarted();
    const qint64 burstStart = steadyMicros();
    pub.write(lines);
    pub.closeWriteChannel();
    pub.waitForFinished(60000);
    int lost = 0;
    for (const auto& l : listeners) {
        QElapsedTimer t;
        t.start();
        while (l->callLog().size() < calls + burst && t.elapsed() < 60000)
            QTest::qWait(100);
        const int logged = int(l->callLog().size()) - calls;
        lost += burst - logged;
        std::printf("burst of %d: listener logged %d in %.1f s\n", burst, logged,
                    (steadyMicros() - burstStart) / 1e6);
    }
    std::printf("%s\n", lost == 0 ? "none lost" : qPrintable(QStringLiteral("%1 lost").arg(lost)));
    if (lost != 0) {
        // What the broker saw of the desks' connections.
        for (const QByteArray& line : broker.log().split('\n'))
            if (line.contains("disconnect") || line.contains("closed") || line.contains("exceeded") ||
                line.contains("New client"))
                std::printf("broker: %s\n", line.constData());
    }
    return lost == 0 ? 0 : 1;
}
