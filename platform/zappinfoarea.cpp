#include "platform/zappinfoarea.h"

#include "platform/zglobal.h"

#include <QPainter>

ZAppInfoArea::ZAppInfoArea(QWidget *parent)
    : QLabel(parent)
{
    setFixedHeight(ZGlobal::TitleBarHeight);
    setIndent(6);
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0x1d, 0x3c, 0x6e));
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
}

void ZAppInfoArea::setTitle(const QString &title)
{
    m_title = title;
    refresh();
}

void ZAppInfoArea::setTitleIcon(const QPixmap &icon)
{
    m_icon = icon;
    refresh();
}

void ZAppInfoArea::refresh()
{
    if (m_icon.isNull()) {
        setText(m_title);
        return;
    }
    // Icon and title share one line; a label cannot show both, so draw them into one pixmap.
    const QFontMetrics metrics(font());
    const int height = ZGlobal::TitleBarHeight;
    QPixmap line(m_icon.width() + 4 + metrics.horizontalAdvance(m_title) + 2, height);
    line.fill(Qt::transparent);
    QPainter painter(&line);
    painter.drawPixmap(0, (height - m_icon.height()) / 2, m_icon);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(m_icon.width() + 4, 0, line.width(), height), Qt::AlignVCenter, m_title);
    painter.end();
    setPixmap(line);
}
