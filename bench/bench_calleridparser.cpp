// Caller-ID parser throughput: megabytes per second of CPU time on three streams of 16 MB
// fed in port-sized chunks — random noise (a wrong line speed), modem chatter with a call
// of every report shape now and then, and noise without any line end.
// Usage: bench_calleridparser
#include "capture/CallerIdParser.h"

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {
constexpr qsizetype StreamBytes = 16 * 1024 * 1024;
constexpr qsizetype ChunkBytes = 512; // what a serial port hands over in one event at most
constexpr int Rounds = 5;

// CPU time of this thread: the machine is shared, so wall time says more about the
// neighbours than about the parser.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

QByteArray noise(bool withLineEnds)
{
    QByteArray bytes(StreamBytes, Qt::Uninitialized);
    QRandomGenerator random(20260321);
    for (char& c : bytes) {
        c = char(random.bounded(256));
        if (!withLineEnds && (c == '\r' || c == '\n'))
            c = 'Z';
    }
    return bytes;
}

QByteArray chatter()
{
    const QList<QByteArray> calls{
        "\r\nRING\r\n\r\nDATE = 0321\r\nTIME = 1405\r\nNAME = ZHANG SAN\r\nNMBR = 0591123456\r\n\r\nRING\r\n",
        "RING DATE=0321 TIME=1405 DDN_NMBR=13905911234 NAME=LI SI\r\n",
        "CALLER NUMBER: 0591123456\r\nRING;0591123456;87654321\r\nFM:0591123456 TO:87654321\r\n",
        "###DATE03211405...NMBR0591123456...NAMEZHANG+++\r\n",
        "0413303332313134303531333930353931313233342E\r\n",
        "\x10X\r\nNMBR=0591123456\r\n\x10.",
        "\r\nOK\r\n\r\nCONNECT 9600\r\n\r\nNO CARRIER\r\n"};
    QByteArray bytes;
    bytes.reserve(StreamBytes + 256);
    for (qsizetype i = 0; bytes.size() < StreamBytes; ++i)
        bytes += calls.at(i % calls.size());
    return bytes;
}

void measure(const char* name, const QByteArray& stream)
{
    double best = 1e9;
    qsizetype numbers = 0;
    for (int round = 0; round < Rounds; ++round) {
        CallerIdParser parser;
        numbers = 0;
        const double start = cpuSeconds();
        for (qsizetype at = 0; at < stream.size(); at += ChunkBytes)
            numbers +=
                parser.feedReports(QByteArrayView(stream).sliced(at, std::min(ChunkBytes, stream.size() - at))).size();
        best = std::min(best, cpuSeconds() - start);
    }
    std::printf("%-28s %8.1f MB/s  (%lld reports, best of %d)\n", name, double(stream.size()) / 1e6 / best,
                static_cast<long long>(numbers), Rounds);
}
} // namespace

int main()
{
    measure("noise", noise(true));
    measure("noise without line ends", noise(false));
    measure("chatter and calls", chatter());
    return 0;
}
