#include "platform/zlistboxitem.h"

#include "platform/filename.h"

#include <QIcon>

namespace {

// The text as given, which a shown text with escaped bytes would not give back.
constexpr int SubItemTextRole = Qt::UserRole;

} // namespace

void ZListBoxItem::setPixmap(int subItem, const QPixmap &pixmap)
{
    if (subItem == 0)
        setData(Qt::DecorationRole, pixmap);
}

void ZListBoxItem::appendSubItem(int subItem, const QString &text)
{
    if (subItem != 1)
        return;
    setData(SubItemTextRole, text);
    setText(FileName::displayName(text));
}

QString ZListBoxItem::getSubItemText(int subItem) const
{
    return subItem == 1 ? data(SubItemTextRole).toString() : QString();
}
