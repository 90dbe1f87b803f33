#include "platform/zlistbox.h"

#include "platform/zlistboxitem.h"

#include <QKeyEvent>

ZListBox::ZListBox(QWidget *parent)
    : QListWidget(parent)
{
    setUniformItemSizes(true);
    setIconSize(QSize(16, 16));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideMiddle);
    connect(this, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *clicked) { emit selected(row(clicked)); });
}

void ZListBox::insertItem(ZListBoxItem *item, int index)
{
    if (index < 0)
        addItem(item);
    else
        QListWidget::insertItem(index, item);
}

ZListBoxItem *ZListBox::item(int index) const
{
    return static_cast<ZListBoxItem *>(QListWidget::item(index));
}

void ZListBox::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
        emit selected(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}
