#include "platform/zlistboxitem.h"

#include <QIcon>

void ZListBoxItem::setPixmap(int subItem, const QPixmap &pixmap)
{
    if (subItem == 0)
        setData(Qt::DecorationRole, pixmap);
}

void ZListBoxItem::appendSubItem(int subItem, const QString &text)
{
    if (subItem == 1)
        setText(text);
}

QString ZListBoxItem::getSubItemText(int subItem) const
{
    return subItem == 1 ? text() : QString();
}
