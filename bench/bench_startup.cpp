// Start-up figures of the built program, measured from outside as a user meets them:
//  - "vornx --region NUMBER": wall time from process start to exit, and peak resident size;
//  - the window program: time from process start until the main window is mapped on an X
//    server (a private Xvfb), its peak resident size so far, and its resident size after it
//    has sat idle; once as it starts plainly, once with monitoring started by itself (the
//    stored "start with the system" choice), which hides it to the tray and then takes the
//    simulated line's demonstration call, once monitoring without that call, and once more so
//    where the desktop has a tray, as on an office PC (the window leaves the screen for the
//    tray icon); for each, where the idle resident memory of the last run is, by mapped file
//    (/proc/PID/smaps).
// Usage: bench_startup [path/to/vornx] [rounds]
#include "bench/Median.h"
#include <xcb/xcb.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ctime>
#include <map>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {
const char MainTitle[] = "维诺星系列－来电显示V3.0";
constexpr int IdleSeconds = 5;

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

pid_t spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& extraEnv)
{
    std::vector<std::string> env = extraEnv;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        if (name == "DISPLAY" || name == "QT_QPA_PLATFORM" || name == "VORNX_DATA_DIR" || name == "WAYLAND_DISPLAY")
            continue;
        env.push_back(entry);
    }
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// A value in kB from /proc/PID/status ("VmRSS", "VmHWM").
long statusKb(pid_t pid, const char* key)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(QByteArray(key) + ':'))
            return line.mid(qsizetype(std::strlen(key)) + 1).trimmed().split(' ').value(0).toLong();
    return -1;
}

double mib(double kb)
{
    return kb / 1024.0;
}

void benchRegion(const std::string& program, const QString& folder, int rounds)
{
    std::vector<double> wall;
    std::vector<double> peak;
    for (int i = 0; i < rounds + 1; ++i) {
        const double start = nowMs();
        const pid_t pid = spawn({program, "--data-dir", folder.toStdString(), "--region", "13905911234"}, {});
        int status = 0;
        rusage usage{};
        if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "the region query failed\n");
            std::exit(1);
        }
        if (i == 0)
            continue; // the first run brings the files into the page cache
        wall.push_back(nowMs() - start);
        peak.push_back(double(usage.ru_maxrss));
    }
    std::printf("--region NUMBER            %d runs: wall median %6.1f ms (best %6.1f), peak RSS median %5.1f MiB\n",
                rounds, median(wall), *std::min_element(wall.begin(), wall.end()), mib(median(peak)));
    std::fflush(stdout);
}

// A private X server, so that "shown" means what it means on a desktop: the window mapped.
class XServer
{
public:
    XServer()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        // -noreset: the server would otherwise start over whenever its last client leaves and
        // refuse the next program for a moment.
        const std::string fd = std::to_string(fds[1]);
        std::vector<char*> argv = {const_cast<char*>("Xvfb"), const_cast<char*>("-displayfd"),
                                   const_cast<char*>(fd.c_str()), const_cast<char*>("-screen"), const_cast<char*>("0"),
                                   const_cast<char*>("1280x1024x24"), const_cast<char*>("-noreset"), const_cast<char*>("-nolisten"),
                                   const_cast<char*>("tcp"), nullptr};
        if (posix_spawnp(&m_pid, "Xvfb", nullptr, nullptr, argv.data(), environ) != 0) {
            m_pid = -1;
            return;
        }
        close(fds[1]);
        char number[16] = {};
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 10000) > 0 && read(fds[0], number, sizeof number - 1) > 0)
            m_display = ":" + std::string(number, std::strcspn(number, "\n"));
        close(fds[0]);
    }
    ~XServer()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    const std::string& display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

// Holds the system-tray selection of the display (the test support's tray owner), so that
// programs there see a tray.
class TrayOwner
{
public:
    explicit TrayOwner(const std::string& display)
    {
        const QString ready = m_dir.filePath(QStringLiteral("ready"));
        const std::string readyFile = ready.toStdString();
        std::vector<char*> argv = {const_cast<char*>("python3"), const_cast<char*>(VORNX_TRAY_OWNER),
                                   const_cast<char*>(display.c_str()), const_cast<char*>(readyFile.c_str()), nullptr};
        if (posix_spawnp(&m_pid, "python3", nullptr, nullptr, argv.data(), environ) != 0) {
            m_pid = -1;
            return;
        }
        for (int i = 0; i < 100 && !m_ready; ++i) {
            m_ready = QFileInfo(ready).size() > 0;
            if (!m_ready)
                usleep(100000);
        }
    }
    ~TrayOwner()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    bool ready() const { return m_ready; }

private:
    QTemporaryDir m_dir;
    pid_t m_pid = -1;
    bool m_ready = false;
};

std::string windowName(xcb_connection_t* x, xcb_window_t window)
{
    xcb_intern_atom_reply_t* utf8 = xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, 11, "UTF8_STRING"), nullptr);
    xcb_intern_atom_reply_t* netName = xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, 12, "_NET_WM_NAME"), nullptr);
    std::string name;
    if (utf8 && netName) {
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            x, xcb_get_property(x, 0, window, netName->atom, utf8->atom, 0, 256), nullptr);
        if (reply) {
            name.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                        size_t(xcb_get_property_value_length(reply)));
            free(reply);
        }
    }
    free(utf8);
    free(netName);
    return name;
}

struct WindowRun
{
    double shownMs = 0;
    double peakAtShownKb = 0;
    double idleRssKb = 0;
    double idlePeakKb = 0;
    // Resident kB of each mapped file at idle; memory of no file under its kind ("[heap]",
    // "[anon]", "[stack]").
    std::map<std::string, long> residentKb;
};

std::map<std::string, long> residentByFile(pid_t pid)
{
    std::map<std::string, long> resident;
    QFile file(QStringLiteral("/proc/%1/smaps").arg(pid));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return resident;
    std::string name;
    // Read whole: a file of /proc tells no size, so atEnd() knows nothing before reading.
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        const QList<QByteArray> fields = line.simplified().split(' ');
        // A mapping's first line: address range, permissions, offset, device, inode[, path].
        if (fields.size() >= 5 && fields[0].contains('-') && !fields[0].endsWith(':')) {
            name = fields.size() >= 6 ? line.mid(line.indexOf(fields[5])).toStdString() : "[anon]";
            if (name.rfind("[stack", 0) == 0)
                name = "[stack]";
        } else if (line.startsWith("Rss:")) {
            resident[name] += fields.value(1).toLong();
        }
    }
    return resident;
}

// The mappings of one idle run by resident size, largest first, down to 100 kB.
void printResident(const std::map<std::string, long>& resident)
{
    std::vector<std::pair<long, std::string>> sorted;
    long rest = 0;
    for (const auto& [name, kb] : resident) {
        if (kb >= 100)
            sorted.emplace_back(kb, name);
        else
            rest += kb;
    }
    std::sort(sorted.rbegin(), sorted.rend());
    for (const auto& [kb, name] : sorted)
        std::printf("    %7.2f MiB  %s\n", kb / 1024.0, name.c_str());
    std::printf("    %7.2f MiB  (%zu smaller mappings)\n", rest / 1024.0, resident.size() - sorted.size());
}

std::optional<WindowRun> runWindow(const std::string& program, const std::string& display, const QString& folder)
{
    xcb_connection_t* x = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(x))
        return std::nullopt;
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    const double start = nowMs();
    const pid_t pid = spawn({program, "--data-dir", folder.toStdString()}, {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb"});
    std::optional<WindowRun> run;
    const int fd = xcb_get_file_descriptor(x);
    while (pid > 0 && nowMs() - start < 30000) {
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 100);
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && !run) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (windowName(x, map->window) == MainTitle) {
                    run = WindowRun{};
                    run->shownMs = nowMs() - start;
                    run->peakAtShownKb = double(statusKb(pid, "VmHWM"));
                }
            }
            free(event);
        }
        if (run)
            break;
    }
    if (run) {
        sleep(IdleSeconds);
        run->idleRssKb = double(statusKb(pid, "VmRSS"));
        run->idlePeakKb = double(statusKb(pid, "VmHWM"));
        run->residentKb = residentByFile(pid);
    }
    if (pid > 0) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "the program ended by itself after %.0f ms, status %d\n", nowMs() - start, status);
        } else {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
    xcb_disconnect(x);
    return run;
}

bool benchWindow(const char* what, const std::string& program, const std::string& display, const QString& folder,
                 int rounds)
{
    std::vector<double> shown;
    std::vector<double> peakShown;
    std::vector<double> idle;
    std::vector<double> idlePeak;
    std::map<std::string, long> lastResident;
    for (int i = 0; i < rounds + 1; ++i) {
        const std::optional<WindowRun> run = runWindow(program, display, folder);
        if (!run) {
            std::fprintf(stderr, "%s: the main window did not show\n", what);
            return false;
        }
        if (i == 0)
            continue;
        shown.push_back(run->shownMs);
        peakShown.push_back(run->peakAtShownKb);
        idle.push_back(run->idleRssKb);
        idlePeak.push_back(run->idlePeakKb);
        lastResident = run->residentKb;
    }
    std::printf("%-26s %d runs: main window shown median %6.1f ms (best %6.1f), peak RSS by then %5.1f MiB; "
                "after %d s idle RSS %5.1f MiB, peak %5.1f MiB\n",
                what, rounds, median(shown), *std::min_element(shown.begin(), shown.end()), mib(median(peakShown)),
                IdleSeconds, mib(median(idle)), mib(median(idlePeak)));
    std::printf("  resident at idle in the last run, by mapped file:\n");
    printResident(lastResident);
    std::fflush(stdout);
    return true;
}

// A program folder with the shipped files, as a first start leaves it.
QString prepareFolder(const QTemporaryDir& dir, const QString& name, const std::string& program)
{
    const QString folder = dir.filePath(name);
    QDir().mkpath(folder);
    const pid_t pid = spawn({program, "--data-dir", folder.toStdString(), "--region", "1"}, {});
    int status = 0;
    waitpid(pid, &status, 0);
    return folder;
}
// A program folder whose stored choice starts monitoring the simulated line by itself,
// which hides the window to the tray; the line's demonstration call comes a few seconds later.
QString prepareMonitoring(const QTemporaryDir& dir, const QString& name, const std::string& program)
{
    const QString folder = prepareFolder(dir, name, program);
    QFile settings(folder + QStringLiteral("/sysset.ini"));
    if (settings.open(QIODevice::WriteOnly))
        settings.write("[DEVICESET]\r\nDEVTYPE=3\r\nDEVNUM=0\r\n[SYSTEM]\r\nAUTOSTART=1\r\n");
    return folder;
}
} // namespace

int main(int argc, char* argv[])
{
    const std::string program = argc > 1 ? argv[1] : VORNX_BIN_DIR "/vornx";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    if (!QFileInfo(QString::fromStdString(program)).isExecutable()) {
        std::fprintf(stderr, "no program at %s\n", program.c_str());
        return 1;
    }
    QTemporaryDir dir;
    const QString plain = prepareFolder(dir, QStringLiteral("plain"), program);
    benchRegion(program, plain, rounds);

    XServer server;
    if (server.display().empty()) {
        std::fprintf(stderr, "no Xvfb: window figures skipped\n");
        return 0;
    }
    if (!benchWindow("window, plain start", program, server.display(), plain, rounds))
        return 1;

    const QString monitoring = prepareMonitoring(dir, QStringLiteral("monitoring"), program);
    if (!benchWindow("window, monitoring", program, server.display(), monitoring, rounds))
        return 1;
    // The same without the simulated line's demonstration call: the program as it waits for
    // the first call of the day.
    const QString waiting = prepareMonitoring(dir, QStringLiteral("waiting"), program);
    QFile lineFile(waiting + QStringLiteral("/simline.json"));
    if (!lineFile.open(QIODevice::ReadOnly))
        return 1;
    QJsonObject line = QJsonDocument::fromJson(lineFile.readAll()).object();
    lineFile.close();
    QJsonArray devices = line.value(QStringLiteral("devices")).toArray();
    for (QJsonValueRef device : devices) {
        QJsonObject withoutCall = device.toObject();
        withoutCall.remove(QStringLiteral("demoCall"));
        device = withoutCall;
    }
    line.insert(QStringLiteral("devices"), devices);
    if (!lineFile.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        lineFile.write(QJsonDocument(line).toJson()) < 0)
        return 1;
    lineFile.close();
    if (!benchWindow("window, monitoring, no call", program, server.display(), waiting, rounds))
        return 1;

    const TrayOwner tray(server.display());
    if (!tray.ready()) {
        std::fprintf(stderr, "no tray owner: the tray figures skipped\n");
        return 0;
    }
    return benchWindow("in the tray, no call", program, server.display(), waiting, rounds) ? 0 : 1;
}
