#include "editor/editinterface.h"

#include "editor/convertercommand.h"
#include "platform/zlabel.h"
#include "platform/znummodule.h"
#include "platform/znumpickerdlg.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Only the simple tools report their outcome; a few more show their command line.
bool tracesOutcome(int tool)
{
    return tool <= 6;
}

bool tracesCommand(int tool)
{
    return tracesOutcome(tool) || tool == 10 || tool == 12;
}

} // namespace

void EditInterface::useTool()
{
    if (toolIndex == ToolTable::CropTool) {
        prepareMouse();
        rectStarted = false;
        editMode = CursorMode;
    } else if (toolIndex >= 0 && toolIndex < ToolTable::Count) {
        execCommand();
    }
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
            value = valuePicked(tool.min, tool.max, QLatin1String(tool.label));
            if (value == -1) {
                setMenuPanel();
                return;
            }
        }
        processingPanel();
        options = ToolTable::optionPart(tool, value);
    }

    // Every tool writes the working copy, which becomes the picture only when the converter
    // succeeded; on failure the converter leaves it as it was.
    const QString workingCopy = programmeDir + QStringLiteral("/pxTemp.image");
    const QByteArray command =
            ConverterCommand::command(programmeDir, picPath, options, workingCopy).toUtf8();
    if (tracesCommand(toolIndex))
        std::puts(command.constData());
    // The converter writes to the same output; what is traced before it runs comes first.
    std::fflush(stdout);
    if (std::system(command.constData()) == 0) {
        picPath = workingCopy;
        if (tracesOutcome(toolIndex))
            std::puts("operation successiful!");
    } else if (tracesOutcome(toolIndex)) {
        std::puts("operation failure...");
    }
    loadPicture();
}

int EditInterface::valuePicked(int min, int max, const QString &label)
{
    ZNumPickerDlg picker(this);
    ZNumModule *module = picker.getNumModule();
    module->setMaxValue(max);
    module->setMinValue(min);
    module->setValue(min + (max - min) / 2);
    module->setLabel(new ZLabel(label, module));
    picker.setTitle(toolNames[toolIndex]);
    return picker.exec() ? picker.getNumValue() : -1;
}
