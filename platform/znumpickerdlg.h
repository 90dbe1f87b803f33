#pragma once

#include "platform/zpopup.h"

class ZNumModule;

// A popup that asks for a whole number within bounds; exec() is non-zero when it is confirmed.
class ZNumPickerDlg : public ZPopup
{
    Q_OBJECT

public:
    explicit ZNumPickerDlg(QWidget *parent = nullptr);

    ZNumModule *getNumModule() const { return m_module; }
    int getNumValue() const;

private:
    ZNumModule *m_module;
};
