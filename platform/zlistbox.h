#pragma once

#include <QListWidget>

class ZListBoxItem;

// A list of rows, each an icon and a text. Return, Enter or a click on a row emits selected().
class ZListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit ZListBox(QWidget *parent = nullptr);

    // Appends the row at index -1, else inserts it before the given row.
    void insertItem(ZListBoxItem *item, int index = -1);
    int currentItem() const { return currentRow(); }
    ZListBoxItem *item(int index) const;
    void setCurrentItem(int index) { setCurrentRow(index); }

signals:
    void selected(int index);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
