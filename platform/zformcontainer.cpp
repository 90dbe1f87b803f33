#include "platform/zformcontainer.h"

#include <QVBoxLayout>

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
}
