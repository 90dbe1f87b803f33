#include "browser/folderlisting.h"

#include "platform/zlistbox.h"
#include "platform/zlistboxitem.h"

#include <algorithm>

namespace FolderListing {

FileSystem::Listing sortedListing(const QString &folder)
{
    FileSystem::Listing listing = FileSystem::list(folder);
    std::sort(listing.folders.begin(), listing.folders.end());
    std::sort(listing.files.begin(), listing.files.end());
    return listing;
}

void appendRow(ZListBox *list, const QPixmap &icon, const QString &text)
{
    auto *row = new ZListBoxItem;
    row->setPixmap(0, icon);
    row->appendSubItem(1, text);
    list->insertItem(row);
}

QString childPath(const QString &folder, const QString &name)
{
    return folder == QLatin1String("/") ? QLatin1Char('/') + name
                                        : folder + QLatin1Char('/') + name;
}

QString parentPath(const QString &folder)
{
    const QString parent = folder.left(folder.lastIndexOf(QLatin1Char('/')));
    return parent.isEmpty() ? QStringLiteral("/") : parent;
}

} // namespace FolderListing
