#pragma once

#include <QList>
#include <QString>

// What the benchmarks share: figures, memory, and a start that makes the build's program
// directory the program's own.
namespace Benchmark {

// The program's arguments as if it had been started from the build's program directory, where
// the converter, the language files and the pictures lie.
char **programArguments();

double median(QList<double> values);
double milliseconds(qint64 nanoseconds);

// The largest resident size since the process started or the peak was last reset, in kB.
qint64 peakResidentKilobytes();
void resetPeak();

// Sends the trace lines to a file instead of the terminal, as a redirected program's go.
void traceInto(const QString &path);

// A photo-like picture of the given size as a JPEG: light and shade, shapes with edges, and
// the grain and fine detail of a camera's picture, so that it is as large and as slow to
// decode as a camera's (about 0.4 bytes a pixel). The same every time.
QString makePhoto(const QString &folder, int width, int height);

} // namespace Benchmark
