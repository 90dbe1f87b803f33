#include "editor/infoline.h"

#include <cstdio>

QString infoLine(const QString &format, std::initializer_list<QString> values)
{
    QString line = format;
    qsizetype from = 0;
    for (const QString &value : values) {
        const qsizetype at = line.indexOf(QLatin1String("%1"), from);
        if (at < 0)
            break;
        line.replace(at, 2, value);
        from = at + value.size();
    }
    return line;
}

QString scaleValue(float scale)
{
    // As C's "%.2f" rounds the float's exact value (0.625 shows as 0.62); Qt's own formatting
    // would round the tie up.
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", double(scale));
    return QString::fromLatin1(text);
}
