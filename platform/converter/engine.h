#pragma once

#include "platform/converter/workingcopy.h"

#include <string>
#include <vector>

// Which program does a conversion, and with which arguments. ImageMagick does everything; a few
// tools that it runs slowly on large photos are given to a faster route whose result looks the
// same: emboss as ImageMagick's own kernel without its zero taps; black and white with Floyd and
// Steinberg's dither; oil paint, charcoal and spread through GraphicsMagick when it is installed.
// Pictures with transparency take neither the kernel nor GraphicsMagick, which treat alpha
// differently.
namespace Engine {

struct Programs
{
    std::string imageMagick;
    std::string graphicsMagick; // empty when it is not installed
};

struct Job
{
    std::string source; // plain names, as the converter is to see them
    std::vector<std::string> options;
    std::string destination; // the file the converter writes
    std::string requested;   // the destination the caller named, for its name and extension
    WorkingCopy::Picture picture;
};

// The emboss of that radius as the convolution kernel ImageMagick builds for it, in its kernel
// syntax, with only the taps that can change a pixel; empty for a radius it is not made for.
std::string embossKernel(std::string_view radius);

// GraphicsMagick's program, when installed: $PICTALUX_GRAPHICSMAGICK when set (empty to do
// without), else the one found at build time.
std::string installedGraphicsMagick();

// The whole argument vector of the program to start.
std::vector<std::string> commandLine(const Programs &programs, const Job &job);

} // namespace Engine
