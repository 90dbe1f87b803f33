#include "editor/infoline.h"

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
    return QString::number(double(scale), 'f', 2);
}
