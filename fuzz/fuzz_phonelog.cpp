// The call log "Phone.Log" as the history window reads it.
#include "fuzz/TempFile.h"
#include "lookup/CallLog.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CallLog log(writeInputFile(reinterpret_cast<const char*>(data), size, ".log"));
    QList<CallLog::Entry> entries;
    if (!log.read(&entries))
        abort();
    // Each record as the caller window would write it back.
    for (const CallLog::Entry& entry : entries)
        (void)CallLog::formatLine(entry);
    return 0;
}
