#pragma once

#include <QLabel>

// A line of plain text.
class ZLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ZLabel(const QString &text, QWidget *parent = nullptr)
        : QLabel(text, parent)
    {
        setTextFormat(Qt::PlainText);
    }
};
