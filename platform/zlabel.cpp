#include "platform/zlabel.h"

#include <QPainter>
#include <QStyle>

ZLabel::ZLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
}

void ZLabel::setElideMode(Qt::TextElideMode mode, int keptStart)
{
    m_elideMode = mode;
    m_keptStart = keptStart;
    updateGeometry();
    update();
}

QSize ZLabel::minimumSizeHint() const
{
    // A label that cuts its text may be narrower than the text.
    const QSize whole = QLabel::minimumSizeHint();
    return m_elideMode == Qt::ElideNone ? whole : QSize(0, whole.height());
}

void ZLabel::paintEvent(QPaintEvent *event)
{
    if (m_elideMode == Qt::ElideNone) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const QRect area =
            contentsRect().marginsRemoved(QMargins(margin(), margin(), margin(), margin()));
    const QString start = text().left(m_keptStart);
    const QString shown =
            start + fontMetrics().elidedText(text().mid(m_keptStart), m_elideMode,
                                             area.width() - fontMetrics().horizontalAdvance(start));
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}
