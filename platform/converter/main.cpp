#include "platform/converter/convertargs.h"
#include "platform/converter/launcher.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    const std::optional<Converter::Request> request =
            Converter::parseArguments({argv + 1, argv + argc});
    if (!request) {
        std::fputs("usage: convert SOURCE [OPTION...] DESTINATION\n", stderr);
        return 2;
    }
    // The environment may name another ImageMagick than the one found at build time.
    const char *imageMagick = std::getenv("PICTALUX_IMAGEMAGICK");
    if (!imageMagick || !*imageMagick)
        imageMagick = PICTALUX_IMAGEMAGICK;
    return Converter::run(imageMagick, *request);
}
