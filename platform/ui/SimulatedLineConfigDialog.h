#pragma once

#include "platform/telephony/Tapi.h"

#include <QDialog>

class QLineEdit;
class SimulatedLineProvider;

// The simulated line provider's own configuration dialog for one device: the texts the
// device reports and how it answers outgoing calls. OK writes the configuration file.
class SimulatedLineConfigDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SimulatedLineConfigDialog)

public:
    SimulatedLineConfigDialog(SimulatedLineProvider& provider, DWORD device, QWidget* parent = nullptr);

    // Hands this dialog to the provider as its configuration dialog.
    static void installInto(SimulatedLineProvider& provider);

    void accept() override;

private:
    SimulatedLineProvider& m_provider;
    DWORD m_device;
    QLineEdit* m_lineNameEdit;
    QLineEdit* m_providerInfoEdit;
    QLineEdit* m_switchInfoEdit;
    QLineEdit* m_makeCallResultEdit;
};
