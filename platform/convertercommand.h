#pragma once

#include <QByteArray>
#include <QString>

// Command lines for the converter that lies in the program directory. They run through the
// shell, so every path goes in quoted when it holds anything the shell could read as syntax.
namespace ConverterCommand {

// The path as one shell word: unchanged when it holds only A-Z a-z 0-9 / . _ - + , @ %,
// otherwise in single quotes, with each quote written as '\''.
QString shellQuoted(const QString &path);

// The program directory's converter, the source, one blank, the options (each ending in a
// blank) and the destination, as the bytes the shell is given: names as their own bytes.
QByteArray command(const QString &programmeDir, const QString &source, const QString &options,
                   const QString &destination);

} // namespace ConverterCommand
