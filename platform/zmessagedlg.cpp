#include "platform/zmessagedlg.h"

#include <QLabel>
#include <QVBoxLayout>

ZMessageDlg::ZMessageDlg(const QString &title, const QString &text, QWidget *parent)
    : ZPopup(parent)
    , m_text(text)
{
    setTitle(title);
    auto *label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    contentLayout()->addWidget(label);
    setSoftKeyTexts(tr("OK"), QString());
}
