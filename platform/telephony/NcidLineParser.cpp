#include "platform/telephony/NcidLineParser.h"

#include "platform/telephony/TelephoneNumber.h"

namespace {

// "*DATE*12092026*TIME*0123*LINE*-*NMBR*05912345678*MESG*NONE*NAME*ZHANG*": labels and
// values alternate between the stars.
QByteArray field(QByteArrayView body, QByteArrayView label)
{
    const QList<QByteArray> parts = body.toByteArray().split('*');
    for (qsizetype i = 1; i + 1 < parts.size(); i += 2) {
        if (parts[i] == label)
            return parts[i + 1];
    }
    return {};
}

} // namespace

QList<NcidLineParser::Call> NcidLineParser::feed(QByteArrayView chunk)
{
    QList<Call> calls;
    for (char c : chunk) {
        if (c == '\n') {
            if (m_skipping)
                m_skipping = false;
            else
                takeLine(m_pending, calls);
            m_pending.clear();
            continue;
        }
        if (m_skipping)
            continue;
        if (m_pending.size() >= MaxLine) {
            m_pending.clear();
            m_skipping = true;
            ++m_dropped;
            continue;
        }
        m_pending.append(c);
    }
    return calls;
}

void NcidLineParser::reset()
{
    m_pending.clear();
    m_skipping = false;
}

void NcidLineParser::takeLine(QByteArrayView line, QList<Call>& calls)
{
    if (line.endsWith('\r'))
        line.chop(1);
    if (!line.startsWith("CID:"))
        return;
    const QByteArrayView body = line.sliced(4).trimmed();
    Call call{field(body, "NMBR"), field(body, "NAME"), field(body, "LINE")};
    if (!TelephoneNumber::isPlainDigits(call.number)) {
        ++m_dropped;
        return;
    }
    // The server writes "NO NAME" and "-" where it has nothing.
    if (call.name == "NO NAME" || call.name == "-")
        call.name.clear();
    calls.append(call);
}
