// The region file "area.dat", read whole and then asked for regions of numbers; every record
// the table holds must read back within its limits and in the table's order.
#include "lookup/RegionTable.h"
#include "lookup/AreaCodeFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RegionTable table;
    const AreaCodeLoad load =
        AreaCodeFile::read(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), table);
    if (load.loaded != table.size())
        std::abort();
    for (const char* number : {"0591123456", "13912345678", "1", "0", "00852123", ""})
        (void)table.lookup(number, int(qstrlen(number)));
    for (qsizetype i = 0; i < table.size(); ++i) {
        const RegionRecord record = table.record(i);
        if (record.code.isEmpty() || record.code.size() >= RegionTable::MaxCodeLen ||
            record.district.size() >= RegionTable::MaxDistrictLen)
            std::abort();
        if (i > 0) {
            const QByteArrayView before = table.record(i - 1).code;
            if (before.size() > record.code.size() ||
                (before.size() == record.code.size() && before.compare(record.code) > 0))
                std::abort();
        }
    }
    return 0;
}
