#pragma once

#include <QFrame>

// A thin horizontal line between fields.
class ZSeparator : public QFrame
{
    Q_OBJECT

public:
    explicit ZSeparator(QWidget *parent = nullptr)
        : QFrame(parent)
    {
        setFrameShape(QFrame::HLine);
        setFrameShadow(QFrame::Sunken);
    }
};
