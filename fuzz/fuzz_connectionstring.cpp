// The data-source description of "Vornx.ini": either understood or refused with DbError.
#include "lookup/ConnectionString.h"
#include "lookup/DbError.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        const ConnectionString parsed =
            ConnectionString::parse(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
        (void)parsed.dataSource().size();
    } catch (const DbError&) {
    }
    return 0;
}
