// The network lines' configuration dialogs, opened through lineConfigDialogA as the main
// window's line button does: a bad entry is refused and the dialog stays; OK writes the
// settings file (the broker's owner-only) and the line takes the new settings.
#include "platform/telephony/MqttLineProvider.h"
#include "platform/telephony/NcidLineProvider.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/NetworkLineConfigDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestNetworkLineDialog : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        LineProviders::clear();
        MessageBoxes::setHandler({});
    }

    void ncidServerIsSavedAndUsed()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("ncidline.json"));
        auto provider = std::make_unique<NcidLineProvider>(file);
        NetworkLineConfigDialog::installInto(*provider);
        NcidLineProvider* ncid = provider.get();
        LineProviders::install(std::move(provider));
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<NcidLineConfigDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* host = dialog->findChild<QLineEdit*>(QStringLiteral("hostEdit"));
            auto* port = dialog->findChild<QSpinBox*>(QStringLiteral("portSpin"));
            QVERIFY(host && port);
            QCOMPARE(port->value(), 3333);
            host->setText(QStringLiteral(" ncid.lan "));
            port->setValue(3334);
            dialog->accept();
        });
        QCOMPARE(lineConfigDialogA(0, nullptr, ""), 0);
        QCOMPARE(ncid->server().host, QStringLiteral("ncid.lan"));
        NcidLineProvider again(file);
        QVERIFY(again.load());
        QCOMPARE(again.server().host, QStringLiteral("ncid.lan"));
        QCOMPARE(again.server().port, quint16(3334));
    }

    void brokerSettingsAreCheckedSavedAndUsed()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("mqttline.json"));
        auto provider = std::make_unique<MqttLineProvider>(file);
        NetworkLineConfigDialog::installInto(*provider);
        MqttLineProvider* mqtt = provider.get();
        QSignalSpy changed(mqtt, &MqttLineProvider::settingsChanged);
        LineProviders::install(std::move(provider));
        QStringList boxes;
        MessageBoxes::setHandler([&](const MessageBoxes::Box& box) {
            boxes << box.text;
            return QMessageBox::Ok;
        });
        bool refusedStaysOpen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<MqttLineConfigDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* host = dialog->findChild<QLineEdit*>(QStringLiteral("hostEdit"));
            auto* prefix = dialog->findChild<QLineEdit*>(QStringLiteral("prefixEdit"));
            auto* password = dialog->findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
            auto* tls = dialog->findChild<QCheckBox*>(QStringLiteral("tlsCheck"));
            auto* ca = dialog->findChild<QLineEdit*>(QStringLiteral("caFileEdit"));
            QVERIFY(host && prefix && password && tls && ca);
            host->setText(QStringLiteral("broker.lan"));
            prefix->setText(QStringLiteral("shop/#"));
            dialog->accept();
            prefix->setText(QStringLiteral("shop"));
            tls->setChecked(true);
            dialog->accept();
            refusedStaysOpen = dialog->isVisible();
            ca->setText(QStringLiteral("/etc/ssl/shop-ca.crt"));
            password->setText(QStringLiteral("secret"));
            dialog->accept();
        });
        QCOMPARE(lineConfigDialogA(0, nullptr, ""), 0);
        QVERIFY(refusedStaysOpen);
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(mqtt->settings().callTopic(), QStringLiteral("shop/call"));
        QVERIFY(!(QFile(file).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup)));
        QString error;
        const MqttSettings back = MqttSettings::read(file, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(back.host, QStringLiteral("broker.lan"));
        QCOMPARE(back.password, QStringLiteral("secret"));
        QVERIFY(back.tls);
        QCOMPARE(back.caFile, QStringLiteral("/etc/ssl/shop-ca.crt"));
    }
};

QTEST_MAIN(TestNetworkLineDialog)
#include "tst_networklinedialog.moc"
