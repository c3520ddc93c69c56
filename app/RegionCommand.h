#pragma once

#include <QStringList>

// "vornx --region NUMBER": prints the region of a number as the number-location query
// window would show it, in UTF-8 on standard output, without opening a window.
namespace RegionCommand {

// Whether the command line asks for a region query (checked before any window exists).
bool requested(int argc, char* argv[]);
// Runs the query; returns the exit code.
int run(const QStringList& arguments);

} // namespace RegionCommand
