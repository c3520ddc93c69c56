#include "capture/CallerIdParser.h"

namespace {
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
} // namespace

QList<QByteArray> CallerIdParser::feed(QByteArrayView chunk)
{
    QList<QByteArray> numbers;
    const QByteArray upper = chunk.toByteArray().toUpper();
    for (const char c : upper) {
        if (c == '\r' || c == '\n') {
            if (!m_skipping)
                ParseCallerId(m_commBuffer, &numbers);
            m_commBuffer.clear();
            m_skipping = false;
        } else if (!m_skipping) {
            m_commBuffer += c;
            if (m_commBuffer.size() > MaxLine) {
                m_commBuffer.clear();
                m_skipping = true;
            }
        }
    }
    return numbers;
}

void CallerIdParser::ParseCallerId(QByteArrayView line, QList<QByteArray>* numbers) const
{
    if (!line.startsWith("NMBR"))
        return; // DATE, TIME, RING, other keys, blank lines: nothing to take
    qsizetype i = 4;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i < line.size() && line[i] == '=')
        ++i;
    else if (i == 4 && i < line.size())
        return; // "NMBRX...": another word, not the key
    while (i < line.size() && isBlank(line[i]))
        ++i;
    numbers->append(line.sliced(i).toByteArray());
}
