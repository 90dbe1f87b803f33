#pragma once

#include <QHash>
#include <QString>

// A read-only INI-style file in UTF-8: "[group]" lines open a group, "key = value" lines fill it,
// lines starting with "#" or ";" are comments. The file is read once, when the reader is made.
class ZConfig
{
public:
    explicit ZConfig(const QString &path);

    // The value under group and key; the default when the file, the group or the key is missing.
    QString readEntry(const QString &group, const QString &key,
                      const QString &defaultValue = QString()) const;

private:
    QHash<QString, QHash<QString, QString>> m_groups;
};
