#include "platform/res_icon_reader.h"

#include <QFileInfo>
#include <QPixmapCache>

QPixmap RES_ICON_Reader::getIcon(const QString &name) const
{
    // The icons are ours, compiled in as PNG files under the handset's names.
    const QString resource = QStringLiteral(":/icons/") + QFileInfo(name).completeBaseName() +
                             QStringLiteral(".png");
    QPixmap icon;
    if (!QPixmapCache::find(resource, &icon) && icon.load(resource))
        QPixmapCache::insert(resource, icon);
    return icon;
}
