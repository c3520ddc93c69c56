#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// One caller-ID report as a modem gave it: the caller's number as sent, or why none came.
struct CallerIdReport
{
    Q_DECLARE_TR_FUNCTIONS(CallerIdReport)

public:
    enum class Absence
    {
        None,        // the number is there
        Withheld,    // the caller keeps it private ("P", PRIVATE, Restricted)
        Unavailable, // the exchange has none to give ("O", OUT OF AREA, no number field)
    };

    QByteArray number;
    Absence absence = Absence::None;
    // The report came as a line starting with "NMBR"; its value is passed on as sent even
    // when it names no number.
    bool numberLine = false;

    bool hasNumber() const { return absence == Absence::None; }
    // Handed on to the notification: a number, or an NMBR line's value whatever it holds.
    bool handedOn() const { return hasNumber() || numberLine; }

    // What the line monitor shows: "号码: 13905911234" or "无号码: 私人号码".
    QString describe() const;

    // The absence a value such as "P", "O", "PRIVATE" or "OUT OF AREA" stands for; None for
    // anything else. An empty value is Unavailable.
    static Absence absenceOf(QByteArrayView value);

    friend bool operator==(const CallerIdReport&, const CallerIdReport&) = default;
};
Q_DECLARE_METATYPE(CallerIdReport)
