#include "platform/ui/SimulatedLineConfigDialog.h"

#include "platform/telephony/SimulatedLineProvider.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/WindowPlacement.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

SimulatedLineConfigDialog::SimulatedLineConfigDialog(SimulatedLineProvider& provider, DWORD device, QWidget* parent)
    : QDialog(parent), m_provider(provider), m_device(device), m_lineNameEdit(new QLineEdit(this)),
      m_providerInfoEdit(new QLineEdit(this)), m_switchInfoEdit(new QLineEdit(this)), m_makeCallResultEdit(new QLineEdit(this))
{
    WindowPlacement::centreWhenShown(this);
    setWindowTitle(tr("模拟线路配置"));
    m_lineNameEdit->setObjectName(QStringLiteral("lineNameEdit"));
    m_providerInfoEdit->setObjectName(QStringLiteral("providerInfoEdit"));
    m_switchInfoEdit->setObjectName(QStringLiteral("switchInfoEdit"));
    m_makeCallResultEdit->setObjectName(QStringLiteral("makeCallResultEdit"));
    const SimulatedLineDevice& config = provider.device(device);
    m_lineNameEdit->setText(QString::fromUtf8(config.caps.lineName));
    m_providerInfoEdit->setText(QString::fromUtf8(config.caps.providerInfo));
    m_switchInfoEdit->setText(QString::fromUtf8(config.caps.switchInfo));
    m_makeCallResultEdit->setText(QStringLiteral("0x%1").arg(DWORD(config.makeCallResult), 8, 16, QLatin1Char('0')));
    m_makeCallResultEdit->setToolTip(tr("0 表示呼出成功；其他值为线路错误码，例如 0x80000048"));

    auto* form = new QFormLayout;
    form->addRow(tr("线路设备:"), new QLabel(QString::number(device), this));
    form->addRow(tr("线路名称:"), m_lineNameEdit);
    form->addRow(tr("服务提供商:"), m_providerInfoEdit);
    form->addRow(tr("交换信息:"), m_switchInfoEdit);
    form->addRow(tr("呼出应答码:"), m_makeCallResultEdit);
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
    const qint64 result = m_makeCallResultEdit->text().trimmed().toLongLong(&ok, 0);
    if (!ok || result < -0x80000000LL || result > 0xffffffffLL) {
        MessageBoxes::show({QMessageBox::Warning, tr("错误提示"),
                            tr("呼出应答码应为 0 或线路错误码，例如 0x80000048。"), QMessageBox::Ok, QMessageBox::Ok},
                           this);
        m_makeCallResultEdit->setFocus();
        return;
    }
    SimulatedLineDevice config = m_provider.device(m_device);
    config.caps.lineName = m_lineNameEdit->text().toUtf8();
    config.caps.providerInfo = m_providerInfoEdit->text().toUtf8();
    config.caps.switchInfo = m_switchInfoEdit->text().toUtf8();
    config.makeCallResult = LONG(DWORD(result));
    const SimulatedLineDevice previous = m_provider.device(m_device);
    m_provider.setDevice(m_device, config);
    QString error;
    if (!m_provider.save(&error)) {
        // Keep what is on disk and in use the same.
        m_provider.setDevice(m_device, previous);
        MessageBoxes::show({QMessageBox::Warning, tr("错误提示"), error, QMessageBox::Ok, QMessageBox::Ok}, this);
        return;
    }
    QDialog::accept();
}
