#include "app/commandline.h"
#include "editor/editinterface.h"
#include "platform/stopsignals.h"
#include "platform/version.h"
#include "platform/zapplication.h"

#include <cstdio>

int main(int argc, char **argv)
{
    // The trace is read line by line by whoever watches the program, also through a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // Help and the version are answered without a window system at all, so also where there is
    // no display, and without its warnings.
    QCoreApplication::setApplicationName(QStringLiteral("Pictalux"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PICTALUX_VERSION));
    if (CommandLine::asksForTextOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        CommandLine::pathToOpen(app.arguments());
        return 0;
    }
    ZApplication app(argc, argv, ZApplication::GuiClient);
    const StopSignals stopSignals;
    const QString path = CommandLine::pathToOpen(app.arguments());
    int result = 0;
    {
        // The editor owns the browser, which it has already put on screen; the editor itself
        // stays hidden until a picture is chosen.
        EditInterface editor(path);
        app.setMainWidget(&editor);
        if (!path.isEmpty())
            editor.openPath(path);
        result = app.exec();
    }
    return result;
}
