// The number text posted by a capture path, taken with and without the dropped header digit.
#include "app/IncomingNumber.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArrayView text(reinterpret_cast<const char*>(data), qsizetype(size));
    for (bool dropHeader : {false, true}) {
        const auto number = IncomingNumber::take(text, dropHeader);
        if (!number)
            continue;
        if (number->size() > IncomingNumber::MaxLength)
            abort();
        for (char c : *number) {
            if (c < '0' || c > '9')
                abort();
        }
    }
    return 0;
}
