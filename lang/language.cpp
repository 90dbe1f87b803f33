#include "lang/language.h"

#include "platform/zconfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace Language {

QString programmeDirFrom(const QString &startPath)
{
    // Never the bare name itself: that would be a folder of that name in the current folder.
    if (!startPath.contains(u'/'))
        return QCoreApplication::applicationDirPath();
    QString path = startPath;
    if (QDir::isRelativePath(path))
        path = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    // A link on the PATH: the texts and the converter lie beside the executable it leads to.
    const QFileInfo file(path);
    if (file.isSymLink() && file.exists())
        path = file.canonicalFilePath();
    return path.left(path.lastIndexOf(u'/'));
}

QString systemSettingPath()
{
    const QString path = qEnvironmentVariable("PICTALUX_SYSTEM_CFG");
    return path.isEmpty() ? QStringLiteral("/ezxlocal/download/appwrite/setup/ezx_system.cfg")
                          : path;
}

QString languageType(const ZConfig &systemSetting, const QString &desktopLocale)
{
    if (systemSetting.isRead())
        return systemSetting.readEntry(QStringLiteral("SYS_SYSTEM_SET"),
                                       QStringLiteral("LanguageType"));
    return desktopLocale.startsWith(QLatin1String("zh")) ? QStringLiteral("zh-cn")
                                                         : QStringLiteral("en");
}

QString desktopLocale()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString locale = qEnvironmentVariable(variable);
        if (!locale.isEmpty())
            return locale;
    }
    return QString();
}

QString languageFilePath(const QString &programmeDir, const QString &languageType)
{
    const QString file = languageType == QLatin1String("zh-cn") ? QStringLiteral("/Chinese.lng")
                                                                : QStringLiteral("/English.lng");
    return programmeDir + QStringLiteral("/lng") + file;
}

QString menuText(const ZConfig &config, const char *key)
{
    return config.readEntry(QStringLiteral("UI_MENU"), QLatin1String(key));
}

} // namespace Language
