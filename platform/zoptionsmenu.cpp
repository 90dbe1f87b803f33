#include "platform/zoptionsmenu.h"

#include "platform/handsetkeys.h"

#include <QKeyEvent>

ZOptionsMenu::ZOptionsMenu(const QRect &contentRect, QWidget *parent)
    : QMenu(parent)
    , m_contentRect(contentRect)
{}

QAction *ZOptionsMenu::insertItem(const QString &text, const QPixmap *icon, QObject *receiver,
                                  const char *member)
{
    QAction *action = addAction(text);
    if (icon)
        action->setIcon(QIcon(*icon));
    connect(action, SIGNAL(triggered()), receiver, member);
    return action;
}

void ZOptionsMenu::popupInWindow()
{
    const QWidget *window = parentWidget() ? parentWidget()->window() : nullptr;
    const QPoint bottomLeft = m_contentRect.bottomLeft() - QPoint(0, sizeHint().height() - 1);
    popup(window ? window->mapToGlobal(bottomLeft) : bottomLeft);
    if (!actions().isEmpty())
        setActiveAction(actions().constFirst());
}

void ZOptionsMenu::keyPressEvent(QKeyEvent *event)
{
    switch (handsetKeyCode(event)) {
    case HandsetKey::F9:
        if (QAction *chosen = activeAction()) {
            hide();
            chosen->trigger();
        }
        return;
    case HandsetKey::F11:
        hide();
        return;
    }
    QMenu::keyPressEvent(event);
}
