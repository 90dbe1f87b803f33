#include "editor/editinterface.h"
#include "platform/zapplication.h"

#include <cstdio>

int main(int argc, char **argv)
{
    // The trace is read line by line by whoever watches the program, also through a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    ZApplication app(argc, argv, ZApplication::GuiClient);
    int result = 0;
    {
        // The editor owns the browser, which it has already put on screen; the editor itself
        // stays hidden until a picture is chosen.
        EditInterface editor;
        app.setMainWidget(&editor);
        result = app.exec();
    }
    return result;
}
