#pragma once

#include <QLabel>

// A line of plain text.
class ZLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ZLabel(const QString &text, QWidget *parent = nullptr);

    // A line too long for the label shows what fits, cut off at the given side; its first
    // keptStart characters (a caption) are always shown. text() stays whole.
    void setElideMode(Qt::TextElideMode mode, int keptStart = 0);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Qt::TextElideMode m_elideMode = Qt::ElideNone;
    int m_keptStart = 0;
};
