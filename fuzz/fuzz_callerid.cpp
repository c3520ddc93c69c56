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
    for (qsizetype at = 0; at < text.size(); at += qsizetype(step)) {
        for (const QByteArray& number : parser.feed(text.sliced(at, qMin(qsizetype(step), text.size() - at)))) {
            // A number never carries the line's end with it.
            if (number.contains('\r') || number.contains('\n'))
                abort();
        }
        if (parser.CommBuffer().size() > CallerIdParser::MaxLine)
            abort();
    }
    return 0;
}
