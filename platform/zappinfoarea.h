#pragma once

#include <QLabel>

// The title bar of a handset window: the window's title, with an optional icon before it.
class ZAppInfoArea : public QLabel
{
    Q_OBJECT

public:
    explicit ZAppInfoArea(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    void setTitleIcon(const QPixmap &icon);
    QString title() const { return m_title; }

private:
    void refresh();

    QString m_title;
    QPixmap m_icon;
};
