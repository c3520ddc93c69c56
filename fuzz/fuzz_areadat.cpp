// The region file "area.dat", read whole and then asked for regions of numbers.
#include "lookup/RegionTable.h"
#include "lookup/AreaCodeFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RegionTable table;
    AreaCodeFile::read(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), table);
    for (const char* number : {"0591123456", "13912345678", "1", "0", "00852123", ""})
        (void)table.Lookup(number, int(qstrlen(number)));
    return 0;
}
