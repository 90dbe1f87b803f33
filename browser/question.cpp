#include "browser/question.h"

#include "lang/language.h"
#include "platform/zmessagedlg.h"

bool askYesNo(const ZConfig &langConfig, const QString &question)
{
    ZMessageDlg popup(Language::menuText(langConfig, "UI_CONFIRM"), question,
                      ZMessageDlg::TypeYesNo);
    popup.setSoftKeyTexts(Language::menuText(langConfig, "UI_YES"),
                          Language::menuText(langConfig, "UI_NO"));
    return popup.exec() != 0;
}
