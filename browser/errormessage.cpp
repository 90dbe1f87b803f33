#include "browser/errormessage.h"

#include "lang/language.h"
#include "platform/zmessagedlg.h"

void showError(const ZConfig &langConfig, const char *messageKey)
{
    ZMessageDlg popup(Language::menuText(langConfig, "UI_ERROR"),
                      Language::menuText(langConfig, messageKey));
    popup.setTitleIcon(QStringLiteral("error_pop.bmp"));
    popup.setSoftKeyTexts(Language::menuText(langConfig, "UI_OK"), QString());
    popup.exec();
}
