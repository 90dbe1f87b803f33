#include "browser/errormessage.h"

#include "platform/zmessagedlg.h"

void showError(const QString &text)
{
    ZMessageDlg popup(QStringLiteral("Error"), text);
    popup.setTitleIcon(QStringLiteral("error_pop.bmp"));
    popup.exec();
}
