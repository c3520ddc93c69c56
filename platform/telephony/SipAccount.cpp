#include "platform/telephony/SipAccount.h"

QString SipAccount::address() const
{
    return QStringLiteral("sip:%1@%2").arg(user.isEmpty() ? QStringLiteral("vornx") : user,
                                           domain.isEmpty() ? QStringLiteral("localhost") : domain);
}

QString SipAccount::registrarAddress() const
{
    return registrar.isEmpty() ? QStringLiteral("sip:") + domain : registrar;
}
