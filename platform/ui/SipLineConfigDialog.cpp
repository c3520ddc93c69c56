#include "platform/ui/SipLineConfigDialog.h"

#include "platform/telephony/SipLineProvider.h"
#include "platform/ui/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

SipLineConfigDialog::SipLineConfigDialog(SipLineProvider& provider, DWORD device, QWidget* parent)
    : QDialog(parent), m_provider(provider), m_device(device), m_user(new QLineEdit(this)),
      m_domain(new QLineEdit(this)), m_password(new QLineEdit(this)), m_registrar(new QLineEdit(this)),
      m_transport(new QComboBox(this)), m_localPort(new QSpinBox(this)),
      m_listenOnly(new QCheckBox(tr("仅监听（不注册，由交换机或语音网关直接送来电）"), this))
{
    setWindowTitle(tr("SIP线路配置"));
    const SipAccount& account = provider.account(device);
    m_user->setText(account.user);
    m_domain->setText(account.domain);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setText(account.password);
    m_registrar->setText(account.registrar);
    m_registrar->setPlaceholderText(tr("空则为域名，例如 sip:pbx.example.com:5060"));
    m_transport->addItems({QStringLiteral("udp"), QStringLiteral("tcp")});
    m_transport->setCurrentText(account.transport);
    m_localPort->setRange(1, 65535);
    m_localPort->setValue(account.localPort);
    m_listenOnly->setChecked(account.listenOnly);

    auto* form = new QFormLayout;
    form->addRow(tr("用户名:"), m_user);
    form->addRow(tr("域名:"), m_domain);
    form->addRow(tr("密码:"), m_password);
    form->addRow(tr("注册服务器:"), m_registrar);
    form->addRow(tr("传输协议:"), m_transport);
    form->addRow(tr("本机端口:"), m_localPort);
    form->addRow(m_listenOnly);
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
    account.user = m_user->text().trimmed();
    account.domain = m_domain->text().trimmed();
    account.password = m_password->text();
    account.registrar = m_registrar->text().trimmed();
    account.transport = m_transport->currentText();
    account.localPort = m_localPort->value();
    account.listenOnly = m_listenOnly->isChecked();
    if (!account.configured()) {
        MessageBoxes::show({QMessageBox::Warning, QStringLiteral("错误提示"), tr("请填写用户名和域名，或选择仅监听。"),
                            QMessageBox::Ok, QMessageBox::Ok},
                           this);
        return;
    }
    const SipAccount previous = m_provider.account(m_device);
    m_provider.setAccount(m_device, account);
    QString error;
    if (!m_provider.save(&error)) {
        m_provider.setAccount(m_device, previous);
        MessageBoxes::show({QMessageBox::Warning, QStringLiteral("错误提示"), error, QMessageBox::Ok, QMessageBox::Ok},
                           this);
        return;
    }
    QDialog::accept();
}
