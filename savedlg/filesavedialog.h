#pragma once

#include <QString>

#include <memory>

class ZConfig;

// The save-as window.
class FileSaveDialog
{
public:
    // The directory of the executable, from the path the program was started by.
    static QString getProgrammeDir();
    // A reader on the language file that the handset's language setting selects.
    static std::unique_ptr<ZConfig> getConfig();
};
