#include "savedlg/filesavedialog.h"

#include "lang/language.h"
#include "platform/zconfig.h"

#include <QCoreApplication>

QString FileSaveDialog::getProgrammeDir()
{
    return Language::programmeDirFrom(QCoreApplication::arguments().value(0));
}

std::unique_ptr<ZConfig> FileSaveDialog::getConfig()
{
    const ZConfig systemSetting(Language::systemSettingPath());
    const QString languageType = systemSetting.readEntry(QStringLiteral("SYS_SYSTEM_SET"),
                                                         QStringLiteral("LanguageType"));
    return std::make_unique<ZConfig>(Language::languageFilePath(getProgrammeDir(), languageType));
}
