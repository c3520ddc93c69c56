#include "platform/ui/NetworkLineConfigDialog.h"

#include "platform/telephony/MqttLineProvider.h"
#include "platform/telephony/NcidLineProvider.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/WindowPlacement.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

void ShowError(QWidget* parent, const QString& text)
{
    MessageBoxes::show({QMessageBox::Warning, QCoreApplication::translate("NetworkLineConfigDialog", "错误提示"), text,
                        QMessageBox::Ok, QMessageBox::Ok},
                       parent);
}

QLineEdit* NamedEdit(QWidget* parent, const char* name, const QString& text)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QSpinBox* NamedSpin(QWidget* parent, const char* name, int low, int high, int value)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(low, high);
    spin->setValue(value);
    return spin;
}

void LayOut(QDialog* dialog, QFormLayout* form, const QString& note)
{
    auto* label = new QLabel(note, dialog);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(label);
    layout->addWidget(buttons);
}

} // namespace

void NetworkLineConfigDialog::installInto(NcidLineProvider& provider)
{
    provider.setConfigDialog([](NcidLineProvider& p, QWidget* owner) {
        NcidLineConfigDialog dialog(p, owner);
        dialog.exec();
    });
}

void NetworkLineConfigDialog::installInto(MqttLineProvider& provider)
{
    provider.setConfigDialog([](MqttLineProvider& p, QWidget* owner) {
        MqttLineConfigDialog dialog(p, owner);
        dialog.exec();
    });
}

NcidLineConfigDialog::NcidLineConfigDialog(NcidLineProvider& provider, QWidget* parent)
    : QDialog(parent), m_provider(provider), m_hostEdit(NamedEdit(this, "hostEdit", provider.server().host)),
      m_portSpin(NamedSpin(this, "portSpin", 1, 65535, provider.server().port))
{
    WindowPlacement::centreWhenShown(this);
    setWindowTitle(tr("NCID 服务器线路配置"));
    auto* form = new QFormLayout;
    form->addRow(tr("服务器:"), m_hostEdit);
    form->addRow(tr("端口:"), m_portSpin);
    LayOut(this, form, tr("连接状态: %1").arg(provider.state()));
}

void NcidLineConfigDialog::accept()
{
    const NcidServer previous = m_provider.server();
    NcidServer server;
    server.host = m_hostEdit->text().trimmed();
    server.port = quint16(m_portSpin->value());
    m_provider.setServer(server);
    QString error;
    if (!m_provider.save(&error)) {
        m_provider.setServer(previous);
        ShowError(this, error);
        return;
    }
    QDialog::accept();
}

MqttLineConfigDialog::MqttLineConfigDialog(MqttLineProvider& provider, QWidget* parent)
    : QDialog(parent), m_provider(provider)
{
    WindowPlacement::centreWhenShown(this);
    const MqttSettings& s = provider.settings();
    m_hostEdit = NamedEdit(this, "hostEdit", s.host);
    m_portSpin = NamedSpin(this, "portSpin", 1, 65535, s.port);
    m_prefixEdit = NamedEdit(this, "prefixEdit", s.prefix);
    m_clientIdEdit = NamedEdit(this, "clientIdEdit", s.clientId);
    m_userEdit = NamedEdit(this, "userEdit", s.user);
    m_passwordEdit = NamedEdit(this, "passwordEdit", s.password);
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_tlsCheck = new QCheckBox(tr("使用 TLS 加密（校验服务器证书）"), this);
    m_tlsCheck->setObjectName(QStringLiteral("tlsCheck"));
    m_tlsCheck->setChecked(s.tls);
    m_caFileEdit = NamedEdit(this, "caFileEdit", s.caFile);
    m_keepAliveSpin = NamedSpin(this, "keepAliveSpin", 5, 3600, s.keepAlive);
    setWindowTitle(tr("MQTT 网络线路配置"));
    auto* form = new QFormLayout;
    form->addRow(tr("服务器:"), m_hostEdit);
    form->addRow(tr("端口:"), m_portSpin);
    form->addRow(tr("主题前缀:"), m_prefixEdit);
    form->addRow(tr("客户端标识:"), m_clientIdEdit);
    form->addRow(tr("用户名:"), m_userEdit);
    form->addRow(tr("密码:"), m_passwordEdit);
    form->addRow(m_tlsCheck);
    form->addRow(tr("CA 证书文件:"), m_caFileEdit);
    form->addRow(tr("心跳间隔(秒):"), m_keepAliveSpin);
    LayOut(this, form,
           tr("连接状态: %1\n配置文件: %2\n本机的来电也发布到同一服务器。").arg(provider.state(), provider.settingsFile()));
}

void MqttLineConfigDialog::accept()
{
    MqttSettings s;
    s.host = m_hostEdit->text().trimmed();
    s.port = m_portSpin->value();
    s.prefix = m_prefixEdit->text().trimmed();
    s.clientId = m_clientIdEdit->text().trimmed();
    s.user = m_userEdit->text();
    s.password = m_passwordEdit->text();
    s.tls = m_tlsCheck->isChecked();
    s.caFile = m_caFileEdit->text().trimmed();
    s.keepAlive = m_keepAliveSpin->value();
    if (s.prefix.isEmpty() || s.prefix.contains(QLatin1Char('#')) || s.prefix.contains(QLatin1Char('+'))) {
        ShowError(this, tr("主题前缀不能为空，也不能含有 # 或 +。"));
        return;
    }
    if (s.tls && s.caFile.isEmpty()) {
        ShowError(this, tr("使用 TLS 时请填写 CA 证书文件。"));
        return;
    }
    QString error;
    if (!s.write(m_provider.settingsFile(), &error)) {
        ShowError(this, error);
        return;
    }
    m_provider.setSettings(s);
    QDialog::accept();
}
