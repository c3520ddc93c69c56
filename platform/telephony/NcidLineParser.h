#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The lines of an NCID server, bytes in, calls out. Only live "CID:" lines are calls; the
// call log the server replays at connect ("CIDLOG:"), its messages and its status lines are
// passed over. A number that is not plain digits (the server writes "OUT-OF-AREA",
// "PRIVATE", "-") gives no call; a line longer than the server ever writes is dropped whole.
class NcidLineParser
{
public:
    struct Call
    {
        QByteArray number;
        QByteArray name;
        QByteArray line;
    };

    QList<Call> feed(QByteArrayView chunk);
    // Lines that were passed over because they were broken (no number, too long).
    int dropped() const { return m_dropped; }
    void reset();

    static constexpr qsizetype MaxLine = 1024;

private:
    void takeLine(QByteArrayView line, QList<Call>& calls);

    QByteArray m_pending;
    bool m_skipping = false; // inside a line that grew too long
    int m_dropped = 0;
};
