#include "platform/znumpickerdlg.h"

#include "platform/znummodule.h"

#include <QVBoxLayout>

ZNumPickerDlg::ZNumPickerDlg(QWidget *parent)
    : ZPopup(parent)
    , m_module(new ZNumModule(this))
{
    contentLayout()->addWidget(m_module);
    setSoftKeyTexts(tr("OK"), tr("Cancel"));
    setFocusProxy(m_module);
}

int ZNumPickerDlg::getNumValue() const
{
    return m_module->value();
}
