#include "platform/znummodule.h"

#include "platform/zlabel.h"

#include <QHBoxLayout>
#include <QSpinBox>

ZNumModule::ZNumModule(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QHBoxLayout(this))
    , m_spinBox(new QSpinBox(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_spinBox->setAlignment(Qt::AlignRight);
    m_spinBox->setMinimumWidth(80);
    m_layout->addStretch();
    m_layout->addWidget(m_spinBox);
    setFocusProxy(m_spinBox);
}

void ZNumModule::setMinValue(int value)
{
    m_spinBox->setMinimum(value);
}

void ZNumModule::setMaxValue(int value)
{
    m_spinBox->setMaximum(value);
}

void ZNumModule::setValue(int value)
{
    m_spinBox->setValue(value);
    m_spinBox->selectAll();
}

int ZNumModule::value() const
{
    // Digits typed but not yet confirmed count too.
    m_spinBox->interpretText();
    return m_spinBox->value();
}

void ZNumModule::setLabel(ZLabel *label)
{
    if (m_label)
        m_layout->removeWidget(m_label);
    m_label = label;
    m_layout->insertWidget(0, label);
}
