#include "platform/convertercommand.h"

#include "platform/filename.h"

#include <algorithm>

namespace ConverterCommand {

namespace {

bool isPlain(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           QStringView(u"/._-+,@%").contains(c);
}

} // namespace

QString shellQuoted(const QString &path)
{
    if (!path.isEmpty() && std::all_of(path.begin(), path.end(), isPlain))
        return path;
    QString quoted = path;
    quoted.replace(u'\'', QLatin1String("'\\''"));
    return u'\'' + quoted + u'\'';
}

QByteArray command(const QString &programmeDir, const QString &source, const QString &options,
                   const QString &destination)
{
    // Quoting adds only ASCII, and inside single quotes the shell takes every other byte as it
    // is, so names that are not UTF-8 reach the converter unchanged.
    return FileName::encodeName(shellQuoted(programmeDir + QStringLiteral("/convert")) + u' ' +
                                shellQuoted(source) + u' ' + options + shellQuoted(destination));
}

} // namespace ConverterCommand
