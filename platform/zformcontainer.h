#pragma once

#include <QList>
#include <QWidget>

class QVBoxLayout;

// A window's content made of fields stacked from top to bottom; the last field added takes the
// height that is left. Up and Down move to the field above and below; a list first moves among
// its rows and leaves them from its first row up or its last row down.
class ZFormContainer : public QWidget
{
    Q_OBJECT

public:
    explicit ZFormContainer(QWidget *parent = nullptr);

    void addChild(QWidget *child);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *neighbour(QObject *watched, bool below) const;

    QVBoxLayout *m_layout;
    QList<QWidget *> m_fields; // the widget of each field that takes its keys
};
