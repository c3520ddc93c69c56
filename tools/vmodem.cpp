// vmodem: a caller-ID modem on a pseudo-terminal, for trying the program without
// hardware and for the tests.
//
//   vmodem [--link PATH] [--script FILE] [-e COMMAND]...
//
// It opens a pseudo-terminal, prints the device path of its serial end on the first line
// of standard output, and then answers what the program writes there like a modem: each
// command line (ended by CR) is printed as "RX <line>" and answered with "\r\nOK\r\n"
// unless told otherwise. It obeys commands, one per line, from -e options, then from the
// script file, then from standard input, in that order:
//
//   reply CMD ANSWER   answer the command line CMD (compared without case) with ANSWER:
//                      OK, ERROR, NONE (say nothing) or TEXT:... (escapes \r \n \\ \xHH)
//   default ANSWER     the answer to every command line without its own reply (OK)
//   delay CMD MS       send CMD's answer MS milliseconds late
//   echo on|off        echo each command line back before answering, as a modem with E1
//   chunk N            split what `send` and `call` write into pieces of N bytes (0: whole)
//   pause MS           pause between those pieces
//   send TEXT          write TEXT (escapes as above)
//   call NUMBER [DATE TIME]
//                      a ring and a caller-ID report: RING, DATE, TIME and NMBR lines
//   shape NAME NUMBER [DATE TIME]
//                      a ring and a caller-ID report in the shape of one modem family:
//                        nmbr      DATE, TIME, NAME and NMBR lines (the classic report)
//                        ddn       DDN_NMBR before NAME, no blanks around '='
//                        nbr       an NBR line
//                        oneline   RING DATE=... TIME=... NMBR=... NAME=... on one line
//                        isdn      CALLER NUMBER: ... (ISDN terminal adapter)
//                        isdnring  RING;caller;called
//                        isdnslash RING/caller
//                        isdnspace RING caller
//                        zyxel     FM:caller TO:called
//                        box       ###DATE...NMBR...NAME...+++ (serial caller-ID box)
//                        sdmf      single data message packet in hex (unformatted mode)
//                        mdmf      multiple data message packet in hex (unformatted mode)
//                        voice     the NMBR report between <DLE>X and <DLE>.
//                      NUMBER "P" or "O" sends a withheld or unavailable caller the way
//                      that family says so.
//   wait MS            wait before the next command
//   stall on|off       stop taking what the program writes, so that its output backs up
//                      like a modem holding CTS; `stall off` drains it again
//   quit               end (the program sees the device go away)
//
// Lines starting with '#' and blank lines are ignored.

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QQueue>
#include <QSocketNotifier>
#include <QStringList>
#include <QTextStream>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QByteArray unescape(const QString& text)
{
    const QByteArray in = text.toUtf8();
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '\\' || i + 1 == in.size()) {
            out += in[i];
            continue;
        }
        const char c = in[++i];
        if (c == 'r')
            out += '\r';
        else if (c == 'n')
            out += '\n';
        else if (c == 'x' && i + 2 < in.size()) {
            out += char(in.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else
            out += c;
    }
    return out;
}

QByteArray hexPacket(uchar type, const QByteArray& body)
{
    QByteArray bytes;
    bytes += char(type);
    bytes += char(body.size());
    bytes += body;
    uchar sum = 0;
    for (const char b : bytes)
        sum = uchar(sum + uchar(b));
    bytes += char(uchar(-sum));
    return bytes.toHex().toUpper();
}

QByteArray packetParameter(uchar type, const QByteArray& value)
{
    return QByteArray(1, char(type)) + char(value.size()) + value;
}

// The report of one call as the named modem family sends it; empty for an unknown name.
QByteArray shapedReport(const QString& shape, const QByteArray& number, const QByteArray& date,
                        const QByteArray& time)
{
    const bool absent = number == "P" || number == "O";
    // How the text shapes name a caller they have no number of.
    const QByteArray word = number == "P" ? "PRIVATE" : number == "O" ? "OUT OF AREA" : number;
    const QByteArray name = absent ? word : "ZHANG SAN";
    const QByteArray ring = "\r\nRING\r\n";
    if (shape == QLatin1String("nmbr"))
        return ring + "\r\nDATE = " + date + "\r\nTIME = " + time + "\r\nNAME = " + name + "\r\nNMBR = " + number
               + "\r\n" + ring;
    if (shape == QLatin1String("ddn"))
        return ring + "DATE=" + date + "\r\nTIME=" + time + "\r\nDDN_NMBR=" + word + "\r\nNAME=" + name + "\r\n" + ring;
    if (shape == QLatin1String("nbr"))
        return ring + "DATE = " + date + "\r\nNBR = " + word + "\r\n" + ring;
    if (shape == QLatin1String("oneline"))
        return "\r\nRING DATE=" + date + " TIME=" + time + " NMBR=" + word + " NAME=" + name + "\r\n" + ring;
    if (shape == QLatin1String("isdn"))
        return "\r\nCALLER NUMBER: " + word + "\r\n" + ring;
    if (shape == QLatin1String("isdnring"))
        return "\r\nRING;" + (absent ? QByteArray() : number) + ";87654321\r\n";
    if (shape == QLatin1String("isdnslash"))
        return "\r\nRING/" + (absent ? QByteArray() : number) + "\r\n";
    if (shape == QLatin1String("isdnspace"))
        return absent ? ring : "\r\nRING " + number + "\r\n";
    if (shape == QLatin1String("zyxel"))
        return ring + "FM:" + word + " TO:87654321\r\n" + ring;
    if (shape == QLatin1String("box"))
        return "###DATE" + date + time + "...NMBR" + number + "...NAME" + name + "+++\r\n";
    if (shape == QLatin1String("sdmf"))
        return ring + hexPacket(0x04, date + time + number) + "\r\n" + ring;
    if (shape == QLatin1String("mdmf")) {
        const QByteArray caller = absent ? packetParameter(4, number) : packetParameter(2, number);
        return ring + hexPacket(0x80, packetParameter(1, date + time) + caller + packetParameter(7, name)) + "\r\n" + ring;
    }
    if (shape == QLatin1String("voice"))
        return "\x10R\x10X\r\nDATE=" + date + "\r\nTIME=" + time + "\r\nNMBR=" + number + "\r\nNAME=" + name
               + "\r\n\x10.\x10R";
    return {};
}

struct Answer
{
    bool silent = false;
    QByteArray text;
};

bool parseAnswer(const QString& word, Answer* answer)
{
    const QString upper = word.toUpper();
    if (upper == QLatin1String("OK"))
        *answer = {false, "\r\nOK\r\n"};
    else if (upper == QLatin1String("ERROR"))
        *answer = {false, "\r\nERROR\r\n"};
    else if (upper == QLatin1String("NONE"))
        *answer = {true, {}};
    else if (upper.startsWith(QLatin1String("TEXT:")))
        *answer = {false, unescape(word.mid(5))};
    else
        return false;
    return true;
}

class VirtualModem final : public QObject
{
public:
    bool open(const QString& link);
    void queue(const QString& line) { m_actions.enqueue(line); }
    void startStdin();
    void run() { next(); }

private:
    void next();
    bool perform(const QString& line); // false: the next action waits for a timer
    void write(const QByteArray& data);
    void writeChunks(const QByteArray& data);
    void readProgram();
    void answer(const QByteArray& command);
    void setStall(bool on);
    void fill();
    void readStdin();

    int m_master = -1;
    int m_slave = -1; // kept open so the program may close and reopen the port
    QSocketNotifier* m_masterNotifier = nullptr;
    QQueue<QString> m_actions;
    bool m_busy = false;
    QByteArray m_received;
    QHash<QString, Answer> m_answers;
    QHash<QString, int> m_delays;
    Answer m_default{false, "\r\nOK\r\n"};
    bool m_echo = false;
    int m_chunk = 0;
    int m_pause = 0;
    qint64 m_filler = 0; // NUL bytes written to back the output up while stalled
    QTimer m_topUp;
};

bool VirtualModem::open(const QString& link)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        std::perror("vmodem: pseudo-terminal");
        return false;
    }
    const QByteArray path = ::ptsname(m_master);
    m_slave = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_slave < 0) {
        std::perror("vmodem: serial end");
        return false;
    }
    termios raw{};
    ::tcgetattr(m_slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(m_slave, TCSANOW, &raw);
    if (!link.isEmpty()) {
        QFile::remove(link);
        if (!QFile::link(QString::fromLocal8Bit(path), link)) {
            std::fprintf(stderr, "vmodem: cannot create %s\n", qPrintable(link));
            return false;
        }
    }
    std::printf("%s\n", path.constData());
    std::fflush(stdout);
    connect(&m_topUp, &QTimer::timeout, this, &VirtualModem::fill);
    m_masterNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_masterNotifier, &QSocketNotifier::activated, this, &VirtualModem::readProgram);
    return true;
}

void VirtualModem::startStdin()
{
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, notifier] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            notifier->setEnabled(false); // commands may still be queued; keep running
            return;
        }
        static QByteArray pending;
        pending.append(buffer, n);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            queue(QString::fromUtf8(pending.left(end)));
            pending.remove(0, end + 1);
        }
        next();
    });
}

void VirtualModem::next()
{
    while (!m_busy && !m_actions.isEmpty()) {
        if (!perform(m_actions.dequeue().trimmed()))
            m_busy = true;
    }
}

bool VirtualModem::perform(const QString& line)
{
    if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
        return true;
    const QString verb = line.section(QLatin1Char(' '), 0, 0).toLower();
    const QString rest = line.section(QLatin1Char(' '), 1).trimmed();
    const QStringList args = rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    auto resumeAfter = [this](int ms) {
        QTimer::singleShot(ms, this, [this] {
            m_busy = false;
            next();
        });
        return false;
    };
    Answer a;
    if (verb == QLatin1String("reply") && args.size() >= 2 && parseAnswer(rest.section(QLatin1Char(' '), 1).trimmed(), &a))
        m_answers.insert(args.at(0).toUpper(), a);
    else if (verb == QLatin1String("default") && args.size() == 1 && parseAnswer(args.at(0), &a))
        m_default = a;
    else if (verb == QLatin1String("delay") && args.size() == 2)
        m_delays.insert(args.at(0).toUpper(), args.at(1).toInt());
    else if (verb == QLatin1String("echo"))
        m_echo = rest == QLatin1String("on");
    else if (verb == QLatin1String("chunk"))
        m_chunk = rest.toInt();
    else if (verb == QLatin1String("pause"))
        m_pause = rest.toInt();
    else if (verb == QLatin1String("send")) {
        writeChunks(unescape(rest));
        if (m_pause > 0 && m_chunk > 0)
            return resumeAfter(m_pause * int(unescape(rest).size() / m_chunk + 1));
    } else if (verb == QLatin1String("call") && !args.isEmpty()) {
        const QString date = args.value(1, QStringLiteral("0321"));
        const QString time = args.value(2, QStringLiteral("1405"));
        const QByteArray report = QStringLiteral("\r\nRING\r\n\r\nDATE = %1\r\nTIME = %2\r\nNMBR = %3\r\n\r\nRING\r\n")
                                      .arg(date, time, args.at(0))
                                      .toUtf8();
        writeChunks(report);
        if (m_pause > 0 && m_chunk > 0)
            return resumeAfter(m_pause * int(report.size() / m_chunk + 1));
    } else if (verb == QLatin1String("shape") && args.size() >= 2) {
        const QByteArray report = shapedReport(args.at(0).toLower(), args.at(1).toUtf8(),
                                               args.value(2, QStringLiteral("0321")).toUtf8(),
                                               args.value(3, QStringLiteral("1405")).toUtf8());
        if (report.isEmpty()) {
            std::fprintf(stderr, "vmodem: unknown shape: %s\n", qPrintable(args.at(0)));
            return true;
        }
        writeChunks(report);
        if (m_pause > 0 && m_chunk > 0)
            return resumeAfter(m_pause * int(report.size() / m_chunk + 1));
    } else if (verb == QLatin1String("wait"))
        return resumeAfter(rest.toInt());
    else if (verb == QLatin1String("stall"))
        setStall(rest == QLatin1String("on"));
    else if (verb == QLatin1String("quit"))
        QCoreApplication::quit();
    else
        std::fprintf(stderr, "vmodem: not understood: %s\n", qPrintable(line));
    return true;
}

void VirtualModem::write(const QByteArray& data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(m_master, data.constData() + done, size_t(data.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            return;
        else
            ::usleep(1000);
    }
}

void VirtualModem::writeChunks(const QByteArray& data)
{
    if (m_chunk <= 0) {
        write(data);
        return;
    }
    for (qsizetype i = 0, k = 0; i < data.size(); i += m_chunk, ++k) {
        const QByteArray piece = data.mid(i, m_chunk);
        if (m_pause > 0 && k > 0)
            QTimer::singleShot(m_pause * int(k), this, [this, piece] { write(piece); });
        else
            write(piece);
    }
}

void VirtualModem::readProgram()
{
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(m_master, buffer, sizeof buffer)) > 0) {
        QByteArray data(buffer, n);
        if (m_filler > 0) {
            const qsizetype before = data.size();
            data.replace('\0', QByteArray());
            m_filler -= before - data.size();
        }
        m_received += data;
    }
    qsizetype end;
    while ((end = m_received.indexOf('\r')) >= 0) {
        QByteArray command = m_received.left(end);
        m_received.remove(0, end + 1);
        command.replace('\n', QByteArray());
        std::printf("RX %s\n", command.constData());
        std::fflush(stdout);
        answer(command);
    }
}

void VirtualModem::answer(const QByteArray& command)
{
    if (m_echo)
        write(command + '\r');
    const QString key = QString::fromUtf8(command).trimmed().toUpper();
    const Answer a = m_answers.value(key, m_default);
    if (a.silent)
        return;
    const int delay = m_delays.value(key, 0);
    if (delay > 0)
        QTimer::singleShot(delay, this, [this, text = a.text] { write(text); });
    else
        write(a.text);
}

void VirtualModem::setStall(bool on)
{
    m_masterNotifier->setEnabled(!on);
    if (!on) {
        m_topUp.stop();
        readProgram();
        return;
    }
    // Keep the pseudo-terminal's buffer full from the serial end, so that what the program
    // writes cannot leave its side. The kernel moves data along in the background, which
    // frees room again, so the filling goes on while stalled.
    fill();
    m_topUp.start(10);
}

void VirtualModem::fill()
{
    // NUL bytes: the program never sends them, so they are told apart when draining.
    const QByteArray block(4096, '\0');
    for (;;) {
        const ssize_t n = ::write(m_slave, block.constData(), size_t(block.size()));
        if (n <= 0)
            break;
        m_filler += n;
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString link;
    QStringList startup;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--link") && i + 1 < args.size())
            link = args.at(++i);
        else if (a == QLatin1String("-e") && i + 1 < args.size())
            startup << args.at(++i);
        else if (a == QLatin1String("--script") && i + 1 < args.size()) {
            QFile script(args.at(++i));
            if (!script.open(QIODevice::ReadOnly | QIODevice::Text)) {
                std::fprintf(stderr, "vmodem: cannot read %s\n", qPrintable(script.fileName()));
                return 2;
            }
            startup += QString::fromUtf8(script.readAll()).split(QLatin1Char('\n'));
        } else {
            std::fprintf(stderr, "usage: vmodem [--link PATH] [--script FILE] [-e COMMAND]...\n");
            return 2;
        }
    }
    VirtualModem modem;
    if (!modem.open(link))
        return 1;
    for (const QString& line : startup)
        modem.queue(line);
    modem.startStdin();
    modem.run();
    const int rc = app.exec();
    if (!link.isEmpty())
        QFile::remove(link);
    return rc;
}
