#include "browser/mybasedlg.h"

#include "platform/focusreturn.h"
#include "platform/zapplication.h"

#include <QCloseEvent>

MyBaseDlg::MyBaseDlg()
    : ZKbMainWidget(nullptr, "ZMainWidget")
{}

int MyBaseDlg::exec()
{
    const FocusReturn focusReturn;
    result = 0;
    // Application modality keeps the keys on the dialog while the windows below it stay shown.
    setWindowModality(Qt::ApplicationModal);
    show();
    inLoop = true;
    zApp->enter_loop();
    return result;
}

void MyBaseDlg::done(int r)
{
    hide();
    if (inLoop) {
        inLoop = false;
        zApp->exit_loop();
    }
    result = r;
    if (zApp->mainWidget() == this)
        zApp->quit();
}

void MyBaseDlg::accept()
{
    done(1);
}

void MyBaseDlg::reject()
{
    done(0);
}

void MyBaseDlg::closeEvent(QCloseEvent *event)
{
    if (inLoop)
        reject();
    ZKbMainWidget::closeEvent(event);
}
