#pragma once

#include "platform/zkbmainwidget.h"

// A handset window run modally: exec() shows it and serves the program's events in a nested
// loop of the application object until done() ends the run, and returns the value given to it.
class MyBaseDlg : public ZKbMainWidget
{
    Q_OBJECT

public:
    MyBaseDlg();

    int exec();

protected slots:
    virtual void done(int r);
    virtual void accept();
    virtual void reject();

protected:
    // Closing the window through the window system ends a run as reject() does, so exec()
    // never waits for a window that is gone.
    void closeEvent(QCloseEvent *event) override;

private:
    bool inLoop = false;
    int result = 0;

    friend struct TestProbe;
};
