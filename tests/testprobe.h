#pragma once

#include "browser/pxgui.h"
#include "editor/editinterface.h"
#include "platform/zlistbox.h"
#include "platform/zlistboxitem.h"

#include <QStringList>

// Reads and sets the inner state of the program's windows for the tests.
struct TestProbe
{
    // Browser
    static QString curDir(const PxGui &browser) { return browser.curDir; }
    static void setCurDir(PxGui &browser, const QString &folder)
    {
        browser.curDir = folder;
        browser.showDir();
    }
    static ZListBox *fileList(const PxGui &browser) { return browser.fileList; }
    static ZOptionsMenu *optionsMenu(const PxGui &browser) { return browser.optionsMenu; }
    static QStringList rows(const ZListBox *list)
    {
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts.append(list->item(row)->getSubItemText(1));
        return texts;
    }

    // Editor
    static PxGui *browser(const EditInterface &editor) { return editor.browser; }
    static int editMode(const EditInterface &editor) { return editor.editMode; }
    static QString picPath(const EditInterface &editor) { return editor.picPath; }
    static QString programmeDir(const EditInterface &editor) { return editor.programmeDir; }
    static int framesShown(const EditInterface &editor) { return editor.framesShown; }
    static QImage shownFrame(const EditInterface &editor) { return editor.shownFrame.toImage(); }
};
