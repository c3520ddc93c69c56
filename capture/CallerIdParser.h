#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The caller-ID report of a modem, taken out of the characters its port delivers.
//
// Between the first rings the modem sends lines such as "DATE = 0321", "TIME = 1405" and
// "NMBR = 0591123456", mixed with its own "RING" lines. The text is upper-cased as it
// arrives and framed into lines (ended by CR or LF). Every complete NMBR line gives one
// number, the text after its key and the '=' (some modems send "NMBR=..." without blanks,
// so blanks around '=' are optional). DATE and TIME lines are optional and carry nothing
// the program uses; any other line (RING, NAME, MESG, blank lines, noise) is dropped on
// its own, without taking the lines around it along. A line still incomplete waits for
// the next chunk, but one that grows past MaxLine characters without an end is noise from
// a wrong line speed or a stuck device and is dropped up to its end.
class CallerIdParser
{
public:
    // Longer than any caller-ID line: the number itself is kept to 255 characters.
    static constexpr qsizetype MaxLine = 300;

    // The numbers whose lines this chunk completed, in order.
    QList<QByteArray> feed(QByteArrayView chunk);

    // The start of a line not yet ended.
    const QByteArray& CommBuffer() const { return m_commBuffer; }

private:
    void ParseCallerId(QByteArrayView line, QList<QByteArray>* numbers) const;

    QByteArray m_commBuffer;
    bool m_skipping = false; // inside an over-long line, until its end
};
