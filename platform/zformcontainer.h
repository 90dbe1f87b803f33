#pragma once

#include <QWidget>

class QVBoxLayout;

// A window's content made of fields stacked from top to bottom; the last field added takes the
// height that is left. Up and Down move between fields that do not use those keys themselves.
class ZFormContainer : public QWidget
{
    Q_OBJECT

public:
    explicit ZFormContainer(QWidget *parent = nullptr);

    void addChild(QWidget *child);

private:
    QVBoxLayout *m_layout;
};
