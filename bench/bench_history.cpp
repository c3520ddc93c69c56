// The history window on a log of 100,000 calls: wall time from showing the window until
// the calls are listed and painted, and per keystroke of a search until the list, the
// counts and the chart are redrawn, in log order and sorted by each column. Medians of
// several rounds; on a shared machine wall time varies with the neighbours, so the CPU
// time of the program's threads is given beside it.
// Usage: bench_history [rounds]   (QT_QPA_PLATFORM defaults to offscreen)
#include "bench/Median.h"
#include "lookup/HistoryWindow.h"
#include "platform/ProgramFolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QStringEncoder>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
constexpr int Calls = 100000;

void writeLog(const QString& path)
{
    QStringEncoder gbk("GB18030");
    const QByteArray remarks[] = {gbk.encode(QStringLiteral("福州闽江茶业有限公司")), QByteArray(),
                                  gbk.encode(QStringLiteral("数据库中没有对应来电的通讯资料信息！"))};
    QByteArray bytes;
    const QDateTime start(QDate(2026, 1, 1), QTime(8, 0));
    for (int k = 0; k < Calls; ++k) {
        // A shop's mix: some regulars, many one-off callers, a year of calls.
        const QByteArray number = k % 4 == 0 ? QByteArray::number(13905911000LL + k % 50)
                                             : "0591" + QByteArray::number(80000000 + (k * 7919) % 60000);
        bytes += start.addSecs(qint64(k) * 315).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toLatin1() + "-#-" +
                 number + "-#-" + remarks[k % 3] + "\r\r\n";
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// CPU time of the window's thread: on a shared machine wall time says as much about the
// neighbours as about the window.
double cpuMs(clockid_t clock = CLOCK_THREAD_CPUTIME_ID)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void settle(QTableView* list)
{
    QCoreApplication::processEvents();
    list->viewport()->repaint();
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QTemporaryDir folder;
    ProgramFolder::setPath(folder.path());
    writeLog(ProgramFolder::file(QStringLiteral("Phone.Log")));

    HistoryWindow window;
    auto* list = window.findChild<QTableView*>(QStringLiteral("callList"));
    auto* search = window.findChild<QLineEdit*>(QStringLiteral("searchEdit"));
    std::vector<double> shows;
    std::vector<double> showsCpu;
    std::vector<double> keys;
    std::vector<double> keysCpu;
    const QStringList typed{QStringLiteral("1390591104"), QStringLiteral("茶业"), QStringLiteral("2026-07-1"),
                            QStringLiteral("05918001")};
    for (int round = 0; round < rounds; ++round) {
        search->clear();
        window.close();
        QElapsedTimer timer;
        timer.start();
        const double cpu = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        window.show();
        while (list->model()->rowCount() < Calls)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        settle(list);
        shows.push_back(double(timer.nsecsElapsed()) / 1e6);
        showsCpu.push_back(cpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpu);
        // Log order in the first round, then sorted by each column in turn: a sorted list is
        // sorted again at every keystroke.
        if (round > 0)
            list->sortByColumn((round - 1) % 5, Qt::DescendingOrder);

        for (const QString& text : typed) {
            for (qsizetype length = 1; length <= text.size(); ++length) {
                timer.restart();
                const double cpu = cpuMs();
                search->setText(text.left(length));
                settle(list);
                keys.push_back(double(timer.nsecsElapsed()) / 1e6);
                keysCpu.push_back(cpuMs() - cpu);
            }
            timer.restart();
            const double cpu = cpuMs();
            search->clear();
            settle(list);
            keys.push_back(double(timer.nsecsElapsed()) / 1e6);
            keysCpu.push_back(cpuMs() - cpu);
        }
    }
    std::printf("history window, %d calls, %d rounds (wall time, shared machine)\n", Calls, rounds);
    std::printf("  first display: median %.1f ms (min %.1f, max %.1f); CPU of the reading and window threads: "
                "median %.1f ms\n",
                median(shows), *std::min_element(shows.begin(), shows.end()),
                *std::max_element(shows.begin(), shows.end()), median(showsCpu));
    std::printf("  per keystroke: median %.1f ms (max %.1f) over %zu keystrokes; CPU of the window's thread: "
                "median %.1f ms (max %.1f)\n",
                median(keys), *std::max_element(keys.begin(), keys.end()), keys.size(), median(keysCpu),
                *std::max_element(keysCpu.begin(), keysCpu.end()));
    return 0;
}
