#include "platform/zconfig.h"

#include <QFile>

ZConfig::ZConfig(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    QHash<QString, QString> *group = nullptr;
    for (const QStringView rawLine : QStringView(text).split(u'\n')) {
        const QStringView line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = &m_groups[line.mid(1, line.size() - 2).trimmed().toString()];
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (group && equals > 0)
            group->insert(line.left(equals).trimmed().toString(),
                          line.mid(equals + 1).trimmed().toString());
    }
}

QString ZConfig::readEntry(const QString &group, const QString &key,
                           const QString &defaultValue) const
{
    const auto found = m_groups.constFind(group);
    if (found == m_groups.constEnd())
        return defaultValue;
    return found->value(key, defaultValue);
}
