#pragma once

#include <QByteArrayView>
#include <QCoreApplication>
#include <QDateTime>
#include <QString>

// The lines of the line monitor: what the port delivered and what was sent to it, made
// readable, and what was recognised, each with its time.
class LineMonitorLog
{
    Q_DECLARE_TR_FUNCTIONS(LineMonitorLog)

public:
    enum class Kind
    {
        Received,
        Sent,
        Recognised,
        Simulated,
    };

    // Printable ASCII as it is, the control bytes a modem sends by name (<CR>, <LF>,
    // <DLE>, <NUL>, <ESC>, ...) and every other byte in hex (<9F>), so that nothing on
    // the line is hidden or taken for something else. '<' itself is written <3C>.
    static QString render(QByteArrayView data);

    // "14:05:09.123 收 RING<CR><LF>".
    static QString line(const QDateTime& time, Kind kind, const QString& text);
};
