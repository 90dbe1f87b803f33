#include "lang/language.h"

#include "platform/zconfig.h"

namespace Language {

QString programmeDirFrom(const QString &startPath)
{
    const qsizetype slash = startPath.lastIndexOf(u'/');
    return slash < 0 ? startPath : startPath.left(slash);
}

QString systemSettingPath()
{
    const QString path = qEnvironmentVariable("PICTALUX_SYSTEM_CFG");
    return path.isEmpty() ? QStringLiteral("/ezxlocal/download/appwrite/setup/ezx_system.cfg")
                          : path;
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
