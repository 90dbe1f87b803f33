#include "app/commandline.h"
#include "editor/editinterface.h"
#include "platform/stopsignals.h"
#include "platform/zapplication.h"

#include <cstdio>

int main(int argc, char **argv)
{
    // The trace is read line by line by whoever watches the program, also through a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // Help and the version are answered without a window, so also where there is no display.
    if (CommandLine::asksForTextOnly(argc, argv))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ZApplication app(argc, argv, ZApplication::GuiClient);
    const StopSignals stopSignals;
    const QString path = CommandLine::pathToOpen(app.arguments());
    int result = 0;
    {
        // The editor owns the browser, which it has already put on screen; the editor itself
        // stays hidden until a picture is chosen.
        EditInterface editor;
        app.setMainWidget(&editor);
        if (!path.isEmpty())
            editor.openPath(path);
        result = app.exec();
    }
    return result;
}
