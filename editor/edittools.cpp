#include "editor/editinterface.h"

#include "browser/pxgui.h"
#include "platform/converter/convertargs.h"
#include "platform/converterrun.h"
#include "platform/workingfolder.h"
#include "platform/zlabel.h"
#include "platform/znummodule.h"
#include "platform/znumpickerdlg.h"

#include <cstdio>

void EditInterface::useTool()
{
    if (toolIndex == ToolTable::CropTool)
        enterMode(CursorMode);
    else if (toolIndex >= 0 && toolIndex < ToolTable::Count)
        execCommand();
}

void EditInterface::execCommand()
{
    std::printf("index %d\n", toolIndex);
    const ToolTable::Tool &tool = ToolTable::tools()[toolIndex];
    QString options;
    if (tool.style == ToolTable::ValueStyle::Crop) {
        options = ToolTable::cropOptionPart(mapRectToOrigin());
    } else {
        int value = 0;
        if (tool.hasParameter()) {
            value = valuePicked(tool.min, tool.max,
                                etr(QStringLiteral("EDIT_TOOLS"), QLatin1String(tool.label)));
            if (value == -1) {
                setMenuPanel();
                return;
            }
        }
        options = ToolTable::optionPart(tool, value);
    }
    enterMode(RunMode);

    // Every tool writes the working copy, which becomes the picture only when the converter
    // succeeded; on failure or when stopped the converter leaves it as it was.
    const QString workingCopy =
            workingFolder->workingCopyFolder() + QStringLiteral("/pxTemp.image");
    const int status =
            ConverterRun::run(programmeDir, picPath, options, workingCopy,
                              tool.trace != ToolTable::Trace::Nothing ? "%s\n" : nullptr);
    if (status == 0) {
        picPath = workingCopy;
        // Without its copy the step cannot be redone, and undo skips back to the original.
        if (!undoHistory.add(workingCopy, workingFolder->privateFolder()))
            notice = undoLostText;
        browser->setUnsavedEdits(true);
        // The misspelling is kept: it is the line users' scripts wait for.
        if (tool.trace == ToolTable::Trace::CommandAndOutcome)
            std::puts("operation successiful!");
    } else if (status == ConverterRun::Cancelled) {
        std::puts("operation cancelled");
        notice = cancelledText;
    } else {
        if (tool.trace == ToolTable::Trace::CommandAndOutcome)
            std::puts("operation failure...");
        notice = status == Converter::ExitBeyondLimits ? tooLargeText : failedText;
    }
    loadPicture();
}

int EditInterface::valuePicked(int min, int max, const QString &label)
{
    ZNumPickerDlg picker(this);
    ZNumModule *module = picker.getNumModule();
    module->setMaxValue(max);
    module->setMinValue(min);
    module->setValue(ToolTable::defaultValue(min, max));
    module->setLabel(new ZLabel(label, module));
    picker.setTitle(toolNames[toolIndex]);
    picker.setSoftKeyTexts(okText, cancelText);
    return picker.exec() ? picker.getNumValue() : -1;
}
