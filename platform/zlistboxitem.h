#pragma once

#include <QListWidgetItem>

class ZListBox;

// A list row made of sub-items: sub-item 0 is the row's icon, sub-item 1 its text, which may be
// a file name that is not all text (it shows with its odd bytes escaped).
class ZListBoxItem : public QListWidgetItem
{
public:
    ZListBoxItem() = default;

    void setPixmap(int subItem, const QPixmap &pixmap);
    void appendSubItem(int subItem, const QString &text);
    QString getSubItemText(int subItem) const;
};
