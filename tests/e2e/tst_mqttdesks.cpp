#include "e2e/ProgramRun.h"
#include "support/MosquittoBroker.h"
#include "support/VirtualModemProcess.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <memory>

namespace {

// Without a simulated line the devices are the SIP line, the NCID line and the MQTT line.
constexpr int MqttDevice = 2;

QString deviceSettings(int devType, int devNum, const QString& com1 = QString())
{
    QString ini = QStringLiteral("[DEVICESET]\r\nDEVTYPE=%1\r\nDEVNUM=%2\r\n[SYSTEM]\r\nAUTOSTART=1\r\n")
                      .arg(devType)
                      .arg(devNum);
    if (!com1.isEmpty())
        ini += QStringLiteral("[PORTS]\r\nCOM1=%1\r\n").arg(com1);
    return ini;
}

QString customerSettings()
{
    return QStringLiteral("[QUERYTYPE]\r\nTYPE=2\r\n[DBSET]\r\nConnectString=Provider=SQLite;Data Source=cust.db\r\n"
                          "strSQL=select Name, Linkman, Phone from Unit b where  b.Phone like '%#NO#' or "
                          "b.PhoneMove like '%#NO#' \r\n"
                          "strSQL1=select a.* from BillIndex a,Unit b where  a.UnitID=b.ID and \r\n"
                          "[TABLESET]\r\nFIELD0=客户名称\r\nFIELD1=联系人\r\nFIELD2=电话\r\nFIELDNUM=3\r\n");
}

bool writeCustomers(const QString& file)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("desks"));
        db.setDatabaseName(file);
        ok = db.open();
        QSqlQuery q(db);
        for (const char* s : {"create table Unit (ID integer, Name text, Linkman text, Phone text, PhoneMove text)",
                              "create table BillIndex (UnitID integer, BillNo text)",
                              "insert into Unit values (1, '闽江茶业', '林建华', '059187654321', '13905911234')"})
            ok = ok && q.exec(QString::fromUtf8(s));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("desks"));
    return ok;
}

QByteArray brokerSettings(const MosquittoBroker& broker, const QString& clientId)
{
    const QJsonObject o{{QStringLiteral("host"), QStringLiteral("127.0.0.1")},
                        {QStringLiteral("port"), broker.port()},
                        {QStringLiteral("prefix"), QStringLiteral("shop")},
                        {QStringLiteral("clientId"), clientId}};
    return QJsonDocument(o).toJson();
}

// A desk: its own program folder, customer database and broker settings.
std::unique_ptr<ProgramRun> makeDesk(const MosquittoBroker& broker, const QString& clientId, const QString& sysset)
{
    auto run = std::make_unique<ProgramRun>();
    run->copyAreaTable();
    writeCustomers(run->file(QStringLiteral("cust.db")));
    run->writeGbk(QStringLiteral("Vornx.ini"), customerSettings());
    run->writeGbk(QStringLiteral("sysset.ini"), sysset);
    run->write(QStringLiteral("mqttline.json"), brokerSettings(broker, clientId));
    return run;
}

} // namespace

class TestMqttDesks : public QObject
{
    Q_OBJECT

private slots:
    // The desk with the modem publishes; the desks without telephone hardware show the
    // caller from their own database and log the call, each once.
    void aModemCallPopsUpOnEveryDesk()
    {
        MosquittoBroker broker;
        QVERIFY(broker.ready());
        VirtualModemProcess modem;
        QVERIFY(!modem.path().isEmpty());

        QList<std::shared_ptr<ProgramRun>> listeners;
        for (int i = 0; i < 2; ++i) {
            listeners << makeDesk(broker, QStringLiteral("desk-%1").arg(i), deviceSettings(3, MqttDevice));
            QVERIFY(listeners.last()->start());
        }
        std::unique_ptr<ProgramRun> front = makeDesk(broker, QStringLiteral("front"), deviceSettings(4, 0, modem.path()));
        QVERIFY(front->start());
        QVERIFY2(modem.waitReceived(QStringLiteral("AT#CID=1"), 15000), qPrintable(modem.received().join(' ')));
        // Both desks are listening, and the front desk can publish.
        QVERIFY(broker.waitForLog("Received SUBSCRIBE", 2, 20000));
        QVERIFY(broker.waitForLog("as front-publish", 1, 20000));
        QTest::qWait(500);

        // A consumer of the topic sees what the front desk publishes.
        QProcess sub;
        sub.start(QStringLiteral("mosquitto_sub"),
                  broker.clientArgs() << QStringLiteral("-t") << QStringLiteral("shop/call") << QStringLiteral("-C")
                                      << QStringLiteral("1"));
        QVERIFY(broker.waitForLog("Received SUBSCRIBE", 3, 10000));

        modem.command(QStringLiteral("call 059187654321"));
        QVERIFY(front->waitForShown(1));
        for (const auto& desk : listeners) {
            QVERIFY(desk->waitForShown(1, 20000));
            const ProgramRun::Shown shown = desk->shown().at(0);
            QCOMPARE(shown.value(QStringLiteral("来电号码")), QStringLiteral("59187654321(福建省福州市)"));
            QCOMPARE(shown.value(QStringLiteral("客户名称")), QStringLiteral("闽江茶业"));
        }
        sub.waitForFinished(10000);
        const QJsonObject o = QJsonDocument::fromJson(sub.readAllStandardOutput()).object();
        QCOMPARE(o.value(QLatin1String("number")).toString(), QStringLiteral("059187654321"));
        QCOMPARE(o.value(QLatin1String("national")).toString(), QStringLiteral("059187654321"));
        QCOMPARE(o.value(QLatin1String("region")).toString(), QStringLiteral("福建省福州市"));
        QCOMPARE(o.value(QLatin1String("name")).toString(), QStringLiteral("闽江茶业"));

        // Each program logs the call once; no desk sends it back round.
        QTest::qWait(1500);
        for (ProgramRun* run : {front.get(), listeners[0].get(), listeners[1].get()}) {
            QTRY_COMPARE(run->callLog().size(), 1);
            QVERIFY(run->callLog().at(0).endsWith(QStringLiteral("-#-59187654321-#-闽江茶业")));
            QCOMPARE(run->shown().size(), 1);
            QVERIFY(run->messages().isEmpty());
        }
        QCOMPARE(broker.log().count("Received PUBLISH from front-publish"), 1);
        QCOMPARE(broker.log().count("Received PUBLISH from desk-"), 0);
    }

    // A desk whose broker refuses it shows nothing and keeps running.
    void aRefusedDeskShowsNothing()
    {
        MosquittoBroker broker({QStringLiteral("shop"), QStringLiteral("right"), false});
        QVERIFY(broker.ready());
        auto desk = makeDesk(broker, QStringLiteral("desk"), deviceSettings(3, MqttDevice));
        QJsonObject o = QJsonDocument::fromJson(brokerSettings(broker, QStringLiteral("desk"))).object();
        o.insert(QStringLiteral("user"), QStringLiteral("shop"));
        o.insert(QStringLiteral("password"), QStringLiteral("wrong"));
        desk->write(QStringLiteral("mqttline.json"), QJsonDocument(o).toJson());
        QVERIFY(desk->start());
        QVERIFY(broker.waitForLog("not authorised", 1, 20000));
        QVERIFY(broker.publish(QStringLiteral("shop/call"),
                               QJsonDocument(QJsonObject{{QStringLiteral("number"), QStringLiteral("13905911234")},
                                                         {QStringLiteral("time"),
                                                          QDateTime::currentDateTime().toString(Qt::ISODate)}})
                                   .toJson()));
        QTest::qWait(1500);
        QVERIFY(desk->shown().isEmpty());
        QVERIFY(desk->callLog().isEmpty());
        QVERIFY(desk->running());
        // The settings file holds a password: it is the owner's only.
        QVERIFY(!(QFile(desk->file(QStringLiteral("mqttline.json"))).permissions() &
                  (QFileDevice::ReadOther | QFileDevice::ReadGroup)));
    }
};

QTEST_GUILESS_MAIN(TestMqttDesks)
#include "tst_mqttdesks.moc"
