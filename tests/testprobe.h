#pragma once

#include "browser/pxgui.h"
#include "editor/editinterface.h"
#include "platform/workingfolder.h"
#include "platform/zlistbox.h"
#include "platform/zlistboxitem.h"
#include "savedlg/filesavedialog.h"

#include <QStringList>

// Reads the inner state of the program's windows for the tests; only the editor's tool is set.
struct TestProbe
{
    // Browser
    static QString curDir(const PxGui &browser) { return browser.curDir; }
    static ZListBox *fileList(const PxGui &browser) { return browser.fileList; }
    static bool unsavedEdits(const PxGui &browser) { return browser.unsavedEdits; }
    static QStringList rows(const ZListBox *list)
    {
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts.append(list->item(row)->getSubItemText(1));
        return texts;
    }

    // Editor
    static PxGui *browser(const EditInterface &editor) { return editor.browser; }
    static WorkingFolder &workingFolder(EditInterface &editor) { return *editor.workingFolder; }
    static int editMode(const EditInterface &editor) { return editor.editMode; }
    static int framesShown(const EditInterface &editor) { return editor.framesShown; }
    static QImage shownFrame(const EditInterface &editor) { return editor.shownFrame.toImage(); }
    static QImage screenBuffer(const EditInterface &e) { return e.screenBuffer.toImage(); }
    static const QImage &originPixmap(const EditInterface &editor) { return editor.originPixmap; }
    static float scale(const EditInterface &editor) { return editor.scale; }
    static int &toolIndex(EditInterface &editor) { return editor.toolIndex; }
    static const QTimer &popupTimer(const EditInterface &editor) { return editor.popupTimer; }
    static const QTimer &mouseTimer(const EditInterface &editor) { return editor.mouseTimer; }
    static bool held(const EditInterface &e)
    {
        return e.upPressed || e.downPressed || e.leftPressed || e.rightPressed;
    }
    static void tick(EditInterface &editor) { editor.moveMouse(); }
    // The texts the editor draws over its frames, as it holds them.
    static QStringList overlayTexts(const EditInterface &e)
    {
        return QStringList{e.sizeText,       e.scaleText,     e.positionText, e.regionText,
                           e.cutText,        e.cancelText,    e.browserText,  e.saveText,
                           e.processingText, e.cancelledText, e.failedText,   e.tooLargeText,
                           e.undoText,       e.redoText,      e.loadProblem,  e.undoLostText} +
               QStringList(e.toolNames.cbegin(), e.toolNames.cend());
    }

    // Save dialog
    static ZLineEdit *nameEdit(const FileSaveDialog &dialog) { return dialog.nameEdit; }
    static ZComboBox *typeCombo(const FileSaveDialog &dialog) { return dialog.typeCombo; }
    static ZLabel *folderLabel(const FileSaveDialog &dialog) { return dialog.folderLabel; }
    static ZListBox *folderList(const FileSaveDialog &dialog) { return dialog.folderList; }
};
