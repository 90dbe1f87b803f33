#pragma once

#include <QString>

// The one way the program runs its converter: the tools and the save both come here. The command
// line goes through the shell, as system() would run it, but the windows stay alive meanwhile:
// they repaint, every key and click given during the run is dropped rather than taken afterwards,
// and the right soft key (F11, or Escape on a desktop) stops the converter.
namespace ConverterRun {

// What run() returns when the user stopped the converter.
constexpr int Cancelled = -1;

// Composes the command line for the program directory's converter, writes it to standard output
// with traceFormat when one is given (its "%s" takes the line), runs it and returns the shell's
// exit status (0 is success; a converter killed by a signal gives 128 + the signal), or Cancelled.
int run(const QString &programmeDir, const QString &source, const QString &options,
        const QString &destination, const char *traceFormat = nullptr);

} // namespace ConverterRun
