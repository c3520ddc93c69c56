#pragma once

#include <QStringList>

// "vornx --help" and "vornx --version": what a packaged program answers on its command
// line, printed in UTF-8 on standard output without a display or a window.
namespace CommandLineHelp {

// Whether the command line asks for the help or the version (checked before any window
// exists; either wins over every other option, as users of other programs expect).
bool requested(int argc, char* argv[]);
// Prints the help or the version; returns the exit code.
int run(const QStringList& arguments);

// The texts themselves, for an executable in the given folder.
QString helpText(const QStringList& arguments, const QString& executableFolder);
QString versionText();

} // namespace CommandLineHelp
