#pragma once

#include "platform/zpopup.h"

// A message popup: a title, a text and the keys that answer it. TypeOK has one key that
// dismisses it; TypeYesNo asks a question: Yes is the left key, No the right one.
class ZMessageDlg : public ZPopup
{
    Q_OBJECT

public:
    enum MessageType { TypeOK, TypeYesNo };

    ZMessageDlg(const QString &title, const QString &text, MessageType type = TypeOK,
                QWidget *parent = nullptr);

    QString text() const { return m_text; }

private:
    QString m_text;
};
