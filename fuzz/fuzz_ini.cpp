// "sysset.ini" and "Vornx.ini": the keys the program reads, then a write of one key, which
// must keep the file readable.
#include "fuzz/TempFile.h"
#include "platform/profile/PrivateProfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PrivateProfile profile(writeInputFile(reinterpret_cast<const char*>(data), size, ".ini"));
    for (const char* section : {"sysset", "Database", ""}) {
        for (const char* key : {"comm", "ConnectionString"}) {
            (void)profile.readString(QLatin1String(section), QLatin1String(key), QStringLiteral("-"));
            (void)profile.readString(QLatin1String(section), QLatin1String(key), QString(), 4);
            (void)profile.readInt(QLatin1String(section), QLatin1String(key), 7);
        }
    }
    // A write flushes the disk, which would cost most of the run; every fourth input is enough.
    if (size % 4 != 0)
        return 0;
    if (profile.writeString(QStringLiteral("sysset"), QStringLiteral("comm"), QStringLiteral("3"))
        && profile.readInt(QStringLiteral("sysset"), QStringLiteral("comm"), 0) != 3)
        abort();
    return 0;
}
