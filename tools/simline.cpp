// simline: drives the simulated telephone line of a running vornx, so that its line rings
// with a number without any hardware. Example:
//   simline offer 0 13812345678      a call on line device 0 with that caller ID
//   simline disconnect 0; simline idle 0
#include "platform/ProgramFolder.h"
#include "platform/PrivateFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocalSocket>
#include <QTextStream>

namespace {

constexpr int kTimeoutMs = 5000;

const char* kUsage = R"(usage: simline [--data-dir DIR | --socket FILE] COMMAND [ARGS]

Drives the simulated telephone line of a running vornx through its socket, by default
"simline.sock" in the program folder (VORNX_DATA_DIR, else the folder the program uses
by default: this tool's folder in a build, ~/.local/share/vornx when installed), or in the
user's runtime folder when others may write into the program folder.

commands:
  status                      state of every simulated line device
  offer DEV [NUMBER [NAME]]   offer an incoming call, with the caller ID when given
  callerid DEV NUMBER [NAME]  send the caller ID of the current call
  ring DEV                    ring the current call once more
  connect DEV                 the call is answered
  disconnect DEV              the far end hangs up
  idle DEV                    the call is over
  close DEV                   the device closes the line
  result DEV CODE             reply to the next outgoing calls: 0, or an error code such as 0x80000048
)";

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QTextStream err(stderr);

    QString folder = ProgramFolder::resolve({}, QCoreApplication::applicationDirPath());
    QString socketPath;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if ((option == QLatin1String("--data-dir") || option == QLatin1String("--socket")) && !args.isEmpty()) {
            (option == QLatin1String("--data-dir") ? folder : socketPath) = args.takeFirst();
        } else {
            err << kUsage;
            return 2;
        }
    }
    if (args.isEmpty()) {
        err << kUsage;
        return 2;
    }
    if (socketPath.isEmpty()) {
        QString error;
        socketPath = PrivateFolder::fileFor(folder, QStringLiteral("simline.sock"), &error);
        if (socketPath.isEmpty()) {
            err << "simline: " << error << "\n";
            return 1;
        }
    }

    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(kTimeoutMs)) {
        err << "simline: cannot reach the program at " << socketPath << ": " << socket.errorString()
            << " (is vornx running with its simulated line?)\n";
        return 1;
    }
    socket.write(args.join(QLatin1Char(' ')).toUtf8() + '\n');
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kTimeoutMs)) {
            err << "simline: no answer from the program: " << socket.errorString() << "\n";
            return 1;
        }
    }
    const QByteArray reply = socket.readLine().trimmed();
    QTextStream(stdout) << QString::fromUtf8(reply) << "\n";
    return reply.startsWith("OK") ? 0 : 1;
}
