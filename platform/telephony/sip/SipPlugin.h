#pragma once

#include "platform/telephony/SipStack.h"

#include <QObject>

// The SIP plugin's root object: it makes the stack of the SIP line provider.
class SipPlugin final : public QObject, public SipStackFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VORNX_SIP_STACK_FACTORY_IID)
    Q_INTERFACES(SipStackFactory)
    Q_DISABLE_COPY_MOVE(SipPlugin)

public:
    SipPlugin() = default;

    std::unique_ptr<SipStack> createStack(SipStackListener& listener) override;
};
