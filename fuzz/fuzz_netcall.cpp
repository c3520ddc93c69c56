// What other machines send over the network: an NCID server's lines (cut into chunks
// anywhere, the first byte choosing the cuts) and a call message of another desk.
#include "platform/telephony/MqttCallMessage.h"
#include "platform/telephony/NcidLineParser.h"

#include <QTimeZone>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t step = 1 + data[0] % 64;
    QByteArrayView text(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));

    NcidLineParser parser;
    for (qsizetype at = 0; at < text.size(); at += qsizetype(step)) {
        for (const NcidLineParser::Call& call : parser.feed(text.sliced(at, qMin(qsizetype(step), text.size() - at)))) {
            // A call's number is plain digits, nothing else.
            if (call.number.isEmpty())
                abort();
            for (char c : call.number)
                if (c < '0' || c > '9')
                    abort();
        }
    }

    const QDateTime now = QDateTime::fromSecsSinceEpoch(1796780000, QTimeZone::utc());
    const MqttCallMessage::Decoded d = MqttCallMessage::fromJson(text.toByteArray(), now);
    if (d.verdict == MqttCallMessage::Verdict::Accepted) {
        if (d.message.number.isEmpty() || qAbs(d.message.time.secsTo(now)) > MqttCallMessage::MaxAgeSeconds)
            abort();
        for (char c : d.message.number)
            if (c < '0' || c > '9')
                abort();
    }
    return 0;
}
