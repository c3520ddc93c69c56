#include "app/LineMonitorLog.h"

namespace {
// Names of the control bytes 0 to 31.
constexpr const char* kControlNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
                                           "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
                                           "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
} // namespace

QString LineMonitorLog::render(QByteArrayView data)
{
    QString text;
    text.reserve(data.size());
    for (const char c : data) {
        const uchar b = uchar(c);
        if (b < 32)
            text += QLatin1Char('<') + QLatin1String(kControlNames[b]) + QLatin1Char('>');
        else if (b >= 127 || c == '<')
            text += QStringLiteral("<%1>").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        else
            text += QLatin1Char(c);
    }
    return text;
}

QString LineMonitorLog::line(const QDateTime& time, Kind kind, const QString& text)
{
    QString what;
    switch (kind) {
    case Kind::Received:
        what = tr("收");
        break;
    case Kind::Sent:
        what = tr("发");
        break;
    case Kind::Recognised:
        what = tr("识别");
        break;
    case Kind::Simulated:
        what = tr("模拟来电");
        break;
    }
    return time.toString(QStringLiteral("hh:mm:ss.zzz")) + QLatin1Char(' ') + what + QLatin1Char(' ') + text;
}
