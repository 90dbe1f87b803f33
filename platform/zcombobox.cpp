#include "platform/zcombobox.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>

ZComboBox::ZComboBox(QWidget *parent)
    : QWidget(parent)
    , m_instruction(new QLabel(this))
    , m_combo(new QComboBox(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_instruction->setTextFormat(Qt::PlainText);
    row->addWidget(m_instruction);
    row->addWidget(m_combo, 1);
    setFocusProxy(m_combo);
    m_combo->installEventFilter(this);
    connect(m_combo, &QComboBox::activated, this, &ZComboBox::activated);
}

void ZComboBox::setDlgInstructText(const QString &text)
{
    m_instruction->setText(text);
}

void ZComboBox::insertStringList(const QStringList &texts, int index)
{
    m_combo->insertItems(index < 0 ? m_combo->count() : index, texts);
}

int ZComboBox::count() const
{
    return m_combo->count();
}

QString ZComboBox::text(int index) const
{
    return m_combo->itemText(index);
}

int ZComboBox::currentItem() const
{
    return m_combo->currentIndex();
}

bool ZComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_combo || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    if ((key == Qt::Key_Left || key == Qt::Key_Right) && count() > 0) {
        const int next = (currentItem() + (key == Qt::Key_Right ? 1 : count() - 1)) % count();
        m_combo->setCurrentIndex(next);
        emit activated(next);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
