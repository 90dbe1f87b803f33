#pragma once

#include <QMenu>
#include <QRect>

// The options menu of a window: opened by a softkey, walked with Up and Down, chosen with
// Return or F9, closed with F11. It opens at the bottom left of the window's content area.
class ZOptionsMenu : public QMenu
{
    Q_OBJECT

public:
    ZOptionsMenu(const QRect &contentRect, QWidget *parent);

    // The slot is given as SLOT(name()) and connected by its signature.
    QAction *insertItem(const QString &text, const QPixmap *icon, QObject *receiver,
                        const char *member);
    void insertSeparator() { addSeparator(); }

    void popupInWindow();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QRect m_contentRect;
};
