#pragma once

#include "capture/CallerIdReport.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The caller-ID report of a modem, taken out of the characters its port delivers.
//
// The text is upper-cased as it arrives and framed into lines (ended by CR or LF); a line
// still incomplete waits for the next chunk, but one that grows past MaxLine characters
// without an end is noise from a wrong line speed or a stuck device and is dropped up to
// its end. Blanks and stray control bytes before a line's first word are line noise and
// are passed over. Every line is read on its own, without taking the lines around it
// along; a line that is no report (RING, OK, DATE, TIME, NAME, MESG, noise) gives nothing.
//
// Modem families report the caller in different shapes, all understood here:
//  - formatted reports, one "KEY = value" per line or several on one line separated by
//    blanks, '=' or ':' with or without blanks around it, optionally after "RING". The
//    caller's number is the value of NMBR, DDN_NMBR, DDN or NBR; a number line that starts
//    with "NMBR" keeps the value up to the line end, as it always did, and "NMBR 123"
//    without '=' is a number line too;
//  - ISDN terminal adapters: "CALLER NUMBER: 123", "RING;123;456", "RING/123", "RING 123"
//    (the first number is the caller's);
//  - ZyXEL: "FM:123 TO:456";
//  - serial caller-ID boxes: "###DATE0321...NMBR123...NAMEJOHN+++", which such boxes do
//    not always end with a line end, so "+++" ends it;
//  - unformatted data: an SDMF or MDMF packet written as hex digits (with or without
//    blanks), on a line of its own or as a MESG value; its checksum must hold;
//  - voice mode: the report between <DLE>X and <DLE>.; every DLE code is dropped and
//    these two end a line.
// A withheld or unavailable number gives a report without a number and with the reason.
class CallerIdParser
{
public:
    // Longer than any caller-ID line: the number itself is kept to 255 characters.
    static constexpr qsizetype MaxLine = 300;

    // The reports whose lines this chunk completed, in order.
    QList<CallerIdReport> feedReports(QByteArrayView chunk);

    // The numbers whose lines this chunk completed, in order: the number of each report
    // that has one, and the value of an NMBR line as sent even when it names no number
    // ("O", "P", empty), which the notification passes over as before.
    QList<QByteArray> feed(QByteArrayView chunk);

    // The start of a line not yet ended.
    const QByteArray& CommBuffer() const { return m_commBuffer; }

private:
    void endLine(QList<CallerIdReport>* reports);

    QByteArray m_commBuffer;
    bool m_skipping = false; // inside an over-long line, until its end
    bool m_afterDle = false; // the byte after DLE is a code, not text
};
