#pragma once

#include <QString>

class ZConfig;

// Where the program's files lie and which language file it reads.
namespace Language {

// The directory of the executable, from the path it was started by: the text before its last
// "/", or the whole text when it holds none.
QString programmeDirFrom(const QString &startPath);

// The handset's system setting file; PICTALUX_SYSTEM_CFG names another one on a desktop.
QString systemSettingPath();

// The language file for the handset's "LanguageType" setting: Chinese for exactly "zh-cn",
// English for anything else.
QString languageFilePath(const QString &programmeDir, const QString &languageType);

// A text of the windows' menus and softkeys: group "UI_MENU" of a language file.
QString menuText(const ZConfig &config, const char *key);

} // namespace Language
