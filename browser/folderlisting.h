#pragma once

#include "platform/filesystem.h"

class QPixmap;
class ZListBox;

// The row scheme and ordering shared by the folder lists of the browser and the save dialog.
namespace FolderListing {

// A folder's subfolders and files from one reading, each in character-code order
// (case-sensitive: "10" before "Alpha" before "beta", a leading "." before both).
FileSystem::Listing sortedListing(const QString &folder);

// Appends a row of an icon and a text.
void appendRow(ZListBox *list, const QPixmap &icon, const QString &text);

// A name joined to a folder path, with a single slash at the root.
QString childPath(const QString &folder, const QString &name);

// The folder one level up; the root stays the root.
QString parentPath(const QString &folder);

} // namespace FolderListing
