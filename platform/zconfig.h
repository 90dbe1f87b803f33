#pragma once

#include <QHash>
#include <QString>

// A read-only INI-style file in UTF-8: "[group]" lines open a group, "key = value" lines fill it,
// lines starting with "#" or ";" are comments. The file is read once, when the reader is made.
// Only a regular file of at most MaximumSize bytes is read; anything else counts as missing.
class ZConfig
{
public:
    static constexpr qint64 MaximumSize = 1024 * 1024;

    explicit ZConfig(const QString &path);

    // The value under group and key; the default when the file, the group or the key is missing.
    QString readEntry(const QString &group, const QString &key,
                      const QString &defaultValue = QString()) const;

    // Whether there was a file to read, even an empty one.
    bool isRead() const { return m_read; }

private:
    QHash<QString, QHash<QString, QString>> m_groups;
    bool m_read = false;
};
