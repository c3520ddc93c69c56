#include "platform/FreedMemory.h"

#include <QFile>
#include <QtTest>

#include <vector>

namespace {
// Anonymous resident memory of this process, in KiB.
qint64 residentAnonymousKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("RssAnon:"))
            return line.mid(8).trimmed().split(' ').first().toLongLong();
    return -1;
}
} // namespace

class FreedMemoryTest : public QObject
{
    Q_OBJECT

private slots:
    // Freed blocks between blocks still in use are not at the heap's top, so the C library
    // keeps their pages until they are handed back explicitly.
    void pagesFreedInsideTheHeapLeaveTheProcess()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer's allocator holds freed blocks in its quarantine");
#endif
        constexpr int BlockSize = 4096;
        constexpr int Blocks = 16384; // 64 MiB
        std::vector<char*> blocks(Blocks);
        for (char*& block : blocks) {
            block = static_cast<char*>(std::malloc(BlockSize));
            QVERIFY(block);
            std::memset(block, 1, BlockSize);
        }
        for (int i = 0; i < Blocks; ++i)
            if (i % 64 != 63) {
                std::free(blocks[i]);
                blocks[i] = nullptr;
            }
        const qint64 before = residentAnonymousKiB();
        QVERIFY(before > 60 * 1024);

        releaseFreedMemory();

        const qint64 after = residentAnonymousKiB();
        QVERIFY2(before - after > 48 * 1024, qPrintable(QStringLiteral("%1 KiB before, %2 KiB after").arg(before).arg(after)));
        for (char* block : blocks)
            std::free(block);
    }
};

QTEST_GUILESS_MAIN(FreedMemoryTest)
#include "tst_freedmemory.moc"
