#pragma once

#include "platform/telephony/Tapi.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class SipLineProvider;

// The SIP line's configuration dialog for one device: the account, or listening only for
// calls that a PBX or ATA sends straight here. OK saves the accounts file and restarts the
// line on the new account.
class SipLineConfigDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SipLineConfigDialog)

public:
    SipLineConfigDialog(SipLineProvider& provider, DWORD device, QWidget* parent = nullptr);

    static void installInto(SipLineProvider& provider);

    void accept() override;

private:
    SipLineProvider& m_provider;
    DWORD m_device;
    QLineEdit* m_userEdit;
    QLineEdit* m_domainEdit;
    QLineEdit* m_passwordEdit;
    QLineEdit* m_registrarEdit;
    QComboBox* m_transportCombo;
    QSpinBox* m_localPortSpin;
    QCheckBox* m_listenOnlyCheck;
    QLineEdit* m_localAddressEdit;
    QLineEdit* m_allowedPeersEdit;
};
