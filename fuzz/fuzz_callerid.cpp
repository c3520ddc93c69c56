// The modem's characters arrive in chunks cut anywhere; the first byte chooses the cuts so
// that the framing across chunk boundaries is explored along with the text itself.
#include "capture/CallerIdParser.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t step = 1 + data[0] % 64;
    QByteArrayView text(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));

    CallerIdParser parser;
    QList<CallerIdReport> reports;
    for (qsizetype at = 0; at < text.size(); at += qsizetype(step)) {
        for (const CallerIdReport& report : parser.feedReports(text.sliced(at, qMin(qsizetype(step), text.size() - at)))) {
            // A number never carries the line's end with it, and a withheld caller has none
            // unless it came as an NMBR line's value.
            if (report.number.contains('\r') || report.number.contains('\n'))
                abort();
            if (!report.hasNumber() && !report.numberLine && !report.number.isEmpty())
                abort();
            reports.append(report);
        }
        if (parser.CommBuffer().size() > CallerIdParser::MaxLine)
            abort();
    }
    // Where the chunks were cut changes nothing.
    CallerIdParser whole;
    if (whole.feedReports(text) != reports)
        abort();
    return 0;
}
