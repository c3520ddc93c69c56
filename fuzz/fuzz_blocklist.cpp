// The block list file "黑名单.txt" as a user may have edited it: whatever it holds, saving the
// list and reading it again gives the same entries.
#include "lookup/BlockList.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString path = QDir::temp().filePath(QStringLiteral("fuzz_blocklist.%1.txt").arg(getpid()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    const auto national = [](const QString& digits) { return digits; };
    BlockList list(path, national);
    if (!list.load())
        return 0;
    if (!list.save())
        abort();
    BlockList again(path, national);
    if (!again.load())
        abort();
    const QList<BlockList::Entry> before = list.entries();
    const QList<BlockList::Entry> after = again.entries();
    if (before.size() != after.size())
        abort();
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (before[i].pattern != after[i].pattern || before[i].remark != after[i].remark)
            abort();
    }
    return 0;
}
