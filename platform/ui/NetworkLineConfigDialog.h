#pragma once

#include <QDialog>

class MqttLineProvider;
class NcidLineProvider;
class QCheckBox;
class QLineEdit;
class QSpinBox;

// The configuration dialogs of the network lines. OK writes the line's settings file and
// connects the line afresh; a file that cannot be written is reported and nothing changes.
namespace NetworkLineConfigDialog {
void installInto(NcidLineProvider& provider);
void installInto(MqttLineProvider& provider);
} // namespace NetworkLineConfigDialog

class NcidLineConfigDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NcidLineConfigDialog)

public:
    explicit NcidLineConfigDialog(NcidLineProvider& provider, QWidget* parent = nullptr);
    void accept() override;

private:
    NcidLineProvider& m_provider;
    QLineEdit* m_hostEdit;
    QSpinBox* m_portSpin;
};

class MqttLineConfigDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MqttLineConfigDialog)

public:
    explicit MqttLineConfigDialog(MqttLineProvider& provider, QWidget* parent = nullptr);
    void accept() override;

private:
    MqttLineProvider& m_provider;
    QLineEdit* m_hostEdit;
    QSpinBox* m_portSpin;
    QLineEdit* m_prefixEdit;
    QLineEdit* m_clientIdEdit;
    QLineEdit* m_userEdit;
    QLineEdit* m_passwordEdit;
    QCheckBox* m_tlsCheck;
    QLineEdit* m_caFileEdit;
    QSpinBox* m_keepAliveSpin;
};
