#include "platform/ui/SipLineConfigDialog.h"

#include "platform/telephony/SipLineProvider.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/WindowPlacement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>

SipLineConfigDialog::SipLineConfigDialog(SipLineProvider& provider, DWORD device, QWidget* parent)
    : QDialog(parent), m_provider(provider), m_device(device), m_userEdit(new QLineEdit(this)),
      m_domainEdit(new QLineEdit(this)), m_passwordEdit(new QLineEdit(this)), m_registrarEdit(new QLineEdit(this)),
      m_transportCombo(new QComboBox(this)), m_localPortSpin(new QSpinBox(this)),
      m_listenOnlyCheck(new QCheckBox(tr("仅监听（不注册，由交换机或语音网关直接送来电）"), this)),
      m_localAddressEdit(new QLineEdit(this)), m_allowedPeersEdit(new QLineEdit(this))
{
    WindowPlacement::centreWhenShown(this);
    setWindowTitle(tr("SIP线路配置"));
    m_userEdit->setObjectName(QStringLiteral("userEdit"));
    m_domainEdit->setObjectName(QStringLiteral("domainEdit"));
    m_passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    m_registrarEdit->setObjectName(QStringLiteral("registrarEdit"));
    m_transportCombo->setObjectName(QStringLiteral("transportCombo"));
    m_localPortSpin->setObjectName(QStringLiteral("localPortSpin"));
    m_listenOnlyCheck->setObjectName(QStringLiteral("listenOnlyCheck"));
    const SipAccount& account = provider.account(device);
    m_userEdit->setText(account.user);
    m_domainEdit->setText(account.domain);
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_passwordEdit->setText(account.password);
    m_registrarEdit->setText(account.registrar);
    m_registrarEdit->setPlaceholderText(tr("空则为域名，例如 sip:pbx.example.com:5060"));
    m_transportCombo->addItems({QStringLiteral("udp"), QStringLiteral("tcp")});
    m_transportCombo->setCurrentText(account.transport);
    m_localPortSpin->setRange(1, 65535);
    m_localPortSpin->setValue(account.localPort);
    m_listenOnlyCheck->setChecked(account.listenOnly);
    m_localAddressEdit->setObjectName(QStringLiteral("localAddressEdit"));
    m_localAddressEdit->setText(account.localAddress);
    m_localAddressEdit->setPlaceholderText(tr("空则自动选择；仅监听时为 127.0.0.1"));
    m_allowedPeersEdit->setObjectName(QStringLiteral("allowedPeersEdit"));
    m_allowedPeersEdit->setText(account.allowedPeers.join(QStringLiteral(", ")));
    m_allowedPeersEdit->setPlaceholderText(tr("仅监听时交换机或语音网关的地址，以逗号分隔"));

    auto* form = new QFormLayout;
    form->addRow(tr("用户名:"), m_userEdit);
    form->addRow(tr("域名:"), m_domainEdit);
    form->addRow(tr("密码:"), m_passwordEdit);
    form->addRow(tr("注册服务器:"), m_registrarEdit);
    form->addRow(tr("传输协议:"), m_transportCombo);
    form->addRow(tr("本机端口:"), m_localPortSpin);
    form->addRow(m_listenOnlyCheck);
    form->addRow(tr("本机地址:"), m_localAddressEdit);
    form->addRow(tr("允许的来电地址:"), m_allowedPeersEdit);
    auto* state = new QLabel(tr("注册状态: %1\n配置文件: %2\n本程序只显示来电，不传送通话声音。")
                                 .arg(provider.registrationState(device), provider.configFile()),
                             this);
    state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(state);
    layout->addWidget(buttons);
}

void SipLineConfigDialog::installInto(SipLineProvider& provider)
{
    provider.setConfigDialog([](SipLineProvider& p, DWORD device, QWidget* owner) {
        SipLineConfigDialog dialog(p, device, owner);
        dialog.exec();
    });
}

void SipLineConfigDialog::accept()
{
    SipAccount account;
    account.user = m_userEdit->text().trimmed();
    account.domain = m_domainEdit->text().trimmed();
    account.password = m_passwordEdit->text();
    account.registrar = m_registrarEdit->text().trimmed();
    account.transport = m_transportCombo->currentText();
    account.localPort = m_localPortSpin->value();
    account.listenOnly = m_listenOnlyCheck->isChecked();
    account.localAddress = m_localAddressEdit->text().trimmed();
    for (const QString& peer : m_allowedPeersEdit->text().split(QRegularExpression(QStringLiteral("[,;\\s]+")),
                                                               Qt::SkipEmptyParts))
        account.allowedPeers.append(peer);
    QStringList wrong;
    if (!account.localAddress.isEmpty() && QHostAddress(account.localAddress).isNull())
        wrong.append(account.localAddress);
    for (const QString& peer : account.allowedPeers)
        if (QHostAddress(peer).isNull())
            wrong.append(peer);
    if (!wrong.isEmpty()) {
        MessageBoxes::show({QMessageBox::Warning, tr("错误提示"),
                            tr("以下不是IP地址: %1").arg(wrong.join(QStringLiteral(", "))), QMessageBox::Ok,
                            QMessageBox::Ok},
                           this);
        return;
    }
    if (!account.configured()) {
        MessageBoxes::show({QMessageBox::Warning, tr("错误提示"), tr("请填写用户名和域名，或选择仅监听。"),
                            QMessageBox::Ok, QMessageBox::Ok},
                           this);
        return;
    }
    const SipAccount previous = m_provider.account(m_device);
    m_provider.setAccount(m_device, account);
    QString error;
    if (!m_provider.save(&error)) {
        m_provider.setAccount(m_device, previous);
        MessageBoxes::show({QMessageBox::Warning, tr("错误提示"), error, QMessageBox::Ok, QMessageBox::Ok}, this);
        return;
    }
    QDialog::accept();
}
