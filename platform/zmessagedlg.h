#pragma once

#include "platform/zpopup.h"

// A message popup: a title, a text and one key that dismisses it.
class ZMessageDlg : public ZPopup
{
    Q_OBJECT

public:
    ZMessageDlg(const QString &title, const QString &text, QWidget *parent = nullptr);

    QString text() const { return m_text; }

private:
    QString m_text;
};
