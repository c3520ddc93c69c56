#include "platform/ui/SimulatedLineConfigDialog.h"

#include "platform/telephony/SimulatedLineProvider.h"
#include "platform/ui/MessageBoxes.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

SimulatedLineConfigDialog::SimulatedLineConfigDialog(SimulatedLineProvider& provider, DWORD device, QWidget* parent)
    : QDialog(parent), m_provider(provider), m_device(device), m_lineName(new QLineEdit(this)),
      m_providerInfo(new QLineEdit(this)), m_switchInfo(new QLineEdit(this)), m_makeCallResult(new QLineEdit(this))
{
    setWindowTitle(tr("模拟线路配置"));
    const SimulatedLineDevice& config = provider.device(device);
    m_lineName->setText(QString::fromUtf8(config.caps.lineName));
    m_providerInfo->setText(QString::fromUtf8(config.caps.providerInfo));
    m_switchInfo->setText(QString::fromUtf8(config.caps.switchInfo));
    m_makeCallResult->setText(QStringLiteral("0x%1").arg(DWORD(config.makeCallResult), 8, 16, QLatin1Char('0')));
    m_makeCallResult->setToolTip(tr("0 表示呼出成功；其他值为线路错误码，例如 0x80000048"));

    auto* form = new QFormLayout;
    form->addRow(tr("线路设备:"), new QLabel(QString::number(device), this));
    form->addRow(tr("线路名称:"), m_lineName);
    form->addRow(tr("服务提供商:"), m_providerInfo);
    form->addRow(tr("交换信息:"), m_switchInfo);
    form->addRow(tr("呼出应答码:"), m_makeCallResult);
    auto* hint = new QLabel(tr("配置文件: %1\n来电模拟: simline offer %2 <号码>").arg(provider.configFile()).arg(device),
                            this);
    hint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(buttons);
}

void SimulatedLineConfigDialog::installInto(SimulatedLineProvider& provider)
{
    provider.setConfigDialog([](SimulatedLineProvider& p, DWORD device, QWidget* owner) {
        SimulatedLineConfigDialog dialog(p, device, owner);
        dialog.exec();
    });
}

void SimulatedLineConfigDialog::accept()
{
    bool ok = false;
    const qint64 result = m_makeCallResult->text().trimmed().toLongLong(&ok, 0);
    if (!ok || result < -0x80000000LL || result > 0xffffffffLL) {
        MessageBoxes::show({QMessageBox::Warning, QStringLiteral("错误提示"),
                            tr("呼出应答码应为 0 或线路错误码，例如 0x80000048。"), QMessageBox::Ok, QMessageBox::Ok},
                           this);
        m_makeCallResult->setFocus();
        return;
    }
    SimulatedLineDevice config = m_provider.device(m_device);
    config.caps.lineName = m_lineName->text().toUtf8();
    config.caps.providerInfo = m_providerInfo->text().toUtf8();
    config.caps.switchInfo = m_switchInfo->text().toUtf8();
    config.makeCallResult = LONG(DWORD(result));
    const SimulatedLineDevice previous = m_provider.device(m_device);
    m_provider.setDevice(m_device, config);
    QString error;
    if (!m_provider.save(&error)) {
        // Keep what is on disk and in use the same.
        m_provider.setDevice(m_device, previous);
        MessageBoxes::show({QMessageBox::Warning, QStringLiteral("错误提示"), error, QMessageBox::Ok, QMessageBox::Ok},
                           this);
        return;
    }
    QDialog::accept();
}
