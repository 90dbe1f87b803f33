#pragma once

#include <QString>
#include <QStringList>

// The program's command line: --help, --version, and one picture or folder to open.
namespace CommandLine {

// Whether the arguments ask for help or the version: text only, which needs no display.
bool asksForTextOnly(int argc, char **argv);

// The picture or folder named, as an absolute path; empty when none is named. Help, the version
// and mistakes are answered here, and then the process ends.
QString pathToOpen(const QStringList &arguments);

} // namespace CommandLine
