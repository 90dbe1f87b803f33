#pragma once

#include <QPixmap>
#include <QString>

// Serves the system icons by their handset file names, such as "fm_folder_small.bmp".
class RES_ICON_Reader
{
public:
    // A null pixmap for a name the system does not know.
    QPixmap getIcon(const QString &name) const;
};
