#pragma once

#include <QString>

class ZConfig;

// Where the program's files lie and which language file it reads.
namespace Language {

// The directory of the executable. A start path with a "/" gives the text before its last "/",
// made absolute against the current folder and, for a symbolic link, the folder of the real
// executable. A bare name was found on the PATH, so only the running executable tells its folder.
QString programmeDirFrom(const QString &startPath);

// The handset's system setting file; PICTALUX_SYSTEM_CFG names another one on a desktop.
QString systemSettingPath();

// The handset's "LanguageType" setting where its setting file could be read; without one, the
// desktop's: "zh-cn" for a locale that starts with "zh", "en" for any other.
QString languageType(const ZConfig &systemSetting, const QString &desktopLocale);

// The locale the desktop shows its messages in: LC_ALL, LC_MESSAGES or LANG, the first one set.
QString desktopLocale();

// The language file for the handset's "LanguageType" setting: Chinese for exactly "zh-cn",
// English for anything else.
QString languageFilePath(const QString &programmeDir, const QString &languageType);

// A text of the windows' menus and softkeys: group "UI_MENU" of a language file.
QString menuText(const ZConfig &config, const char *key);

} // namespace Language
