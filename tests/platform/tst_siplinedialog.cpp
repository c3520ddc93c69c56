// The SIP line's configuration dialog, opened through lineConfigDialogA as the main window's
// line button does: an incomplete account is refused, a complete one is saved and used.
#include "platform/telephony/SipLineProvider.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/SipLineConfigDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestSipLineDialog : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        LineProviders::clear();
        MessageBoxes::setHandler({});
    }

    void accountIsCheckedSavedAndUsed()
    {
        QTemporaryDir dir;
        auto provider = std::make_unique<SipLineProvider>(dir.filePath(QStringLiteral("sipline.json")));
        QVERIFY(provider->load());
        SipLineConfigDialog::installInto(*provider);
        SipLineProvider* sip = provider.get();
        LineProviders::install(std::move(provider));
        QStringList boxes;
        MessageBoxes::setHandler([&](const MessageBoxes::Box& box) {
            boxes << box.text;
            return QMessageBox::Ok;
        });

        bool refusedStaysOpen = false;
        bool peersRefusedStayOpen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<SipLineConfigDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* user = dialog->findChild<QLineEdit*>(QStringLiteral("userEdit"));
            auto* password = dialog->findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
            auto* port = dialog->findChild<QSpinBox*>(QStringLiteral("localPortSpin"));
            auto* listenOnly = dialog->findChild<QCheckBox*>(QStringLiteral("listenOnlyCheck"));
            QVERIFY(user && password && port && listenOnly);
            user->setText(QStringLiteral("8001")); // user, but no domain
            dialog->accept();
            refusedStaysOpen = dialog->isVisible();
            listenOnly->setChecked(true);
            port->setValue(0);
            port->setValue(45061);
            password->setText(QStringLiteral("pw"));
            auto* peers = dialog->findChild<QLineEdit*>(QStringLiteral("allowedPeersEdit"));
            auto* local = dialog->findChild<QLineEdit*>(QStringLiteral("localAddressEdit"));
            QVERIFY(peers && local);
            // Calls are filtered by address, so a name would never match.
            peers->setText(QStringLiteral("pbx.local"));
            dialog->accept();
            peersRefusedStayOpen = dialog->isVisible();
            peers->setText(QStringLiteral("192.168.1.20, 192.168.1.21"));
            local->setText(QStringLiteral("127.0.0.1"));
            dialog->accept();
        });
        QCOMPARE(lineConfigDialogA(0, nullptr, ""), 0);
        QVERIFY(refusedStaysOpen);
        QVERIFY(peersRefusedStayOpen);
        QCOMPARE(boxes, (QStringList{"请填写用户名和域名，或选择仅监听。", "以下不是IP地址: pbx.local"}));
        QCOMPARE(sip->account(0).user, QStringLiteral("8001"));
        QVERIFY(sip->account(0).listenOnly);
        QCOMPARE(sip->account(0).localPort, 45061);
        QCOMPARE(sip->registrationState(0), QStringLiteral("仅监听"));

        SipLineProvider reread(sip->configFile());
        QVERIFY(reread.load());
        QCOMPARE(reread.account(0).password, QStringLiteral("pw"));
        QCOMPARE(reread.account(0).allowedPeers, (QStringList{"192.168.1.20", "192.168.1.21"}));
        QCOMPARE(reread.account(0).localAddress, QStringLiteral("127.0.0.1"));
        QVERIFY(!(QFile::permissions(sip->configFile()) & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
    }
};

QTEST_MAIN(TestSipLineDialog)
#include "tst_siplinedialog.moc"
