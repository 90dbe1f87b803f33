#include "platform/zlineedit.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

ZLineEdit::ZLineEdit(QWidget *parent)
    : QWidget(parent)
    , m_title(new QLabel(this))
    , m_edit(new QLineEdit(this))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(1);
    m_title->setTextFormat(Qt::PlainText);
    column->addWidget(m_title);
    column->addWidget(m_edit);
    setFocusProxy(m_edit);
}

void ZLineEdit::setTitle(const QString &title)
{
    m_title->setText(title);
}

QString ZLineEdit::text() const
{
    return m_edit->text();
}

void ZLineEdit::setText(const QString &text)
{
    m_edit->setText(text);
}
