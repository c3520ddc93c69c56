#include "platform/telephony/sip/SipPlugin.h"

#include "platform/telephony/sip/SofiaSipStack.h"

std::unique_ptr<SipStack> SipPlugin::createStack(SipStackListener& listener)
{
    return std::make_unique<SofiaSipStack>(listener);
}
