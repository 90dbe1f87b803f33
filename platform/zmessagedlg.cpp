#include "platform/zmessagedlg.h"

#include <QLabel>
#include <QVBoxLayout>

ZMessageDlg::ZMessageDlg(const QString &title, const QString &text, MessageType type,
                         QWidget *parent)
    : ZPopup(parent)
    , m_text(text)
{
    setTitle(title);
    auto *label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    contentLayout()->addWidget(label);
    if (type == TypeYesNo)
        setSoftKeyTexts(tr("Yes"), tr("No"));
    else
        setSoftKeyTexts(tr("OK"), QString());
}
