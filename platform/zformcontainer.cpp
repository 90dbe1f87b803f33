#include "platform/zformcontainer.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace {

// Whether a list keeps an Up or Down for its own rows.
bool movesWithin(const QAbstractItemView *list, bool down)
{
    const int row = list->currentIndex().row();
    return down ? row < list->model()->rowCount() - 1 : row > 0;
}

} // namespace

ZFormContainer::ZFormContainer(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(4, 2, 4, 0);
    m_layout->setSpacing(2);
}

void ZFormContainer::addChild(QWidget *child)
{
    child->setParent(this);
    for (int index = 0; index < m_layout->count(); ++index)
        m_layout->setStretch(index, 0);
    m_layout->addWidget(child, 1);
    QWidget *target = child->focusProxy() ? child->focusProxy() : child;
    m_fields.append(target);
    // Installed after the field's own filters, so this one sees the keys first.
    target->installEventFilter(this);
}

bool ZFormContainer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    const bool down = key == Qt::Key_Down;
    const auto *list = qobject_cast<const QAbstractItemView *>(watched);
    if (list && movesWithin(list, down))
        return false;
    QWidget *next = neighbour(watched, down);
    if (next)
        next->setFocus(Qt::TabFocusReason);
    // At the edge of the form a list keeps the key; another field must not take it as its own
    // (a type box would change its choice).
    return next || !list;
}

// The nearest field above or below that takes keys; none past the first or the last.
QWidget *ZFormContainer::neighbour(QObject *watched, bool below) const
{
    const int step = below ? 1 : -1;
    for (qsizetype index = m_fields.indexOf(static_cast<QWidget *>(watched)) + step;
         index >= 0 && index < m_fields.size(); index += step) {
        QWidget *field = m_fields.at(index);
        if (field->isEnabled() && field->isVisibleTo(this) && (field->focusPolicy() & Qt::TabFocus))
            return field;
    }
    return nullptr;
}
