#include "platform/converter/engine.h"

#include "platform/converter/convertargs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace Engine {
namespace {

// A radius as the tools give it: a whole number of a few digits.
std::optional<int> wholeNumber(std::string_view text)
{
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoi(std::string(text));
}

struct Route
{
    bool graphicsMagick = false;
    std::vector<std::string> options;
};

// Taps further than this from the centre weigh under 1e-6: without them a few pixels in a
// million change, nearly all by one level.
constexpr int EmbossReach = 3;

} // namespace

std::string embossKernel(std::string_view radius)
{
    // ImageMagick's emboss is a convolution along one diagonal with Gaussian weights (sigma 1),
    // scaled to a sum of one, then an equalisation of every channel. Its kernel is square, so
    // it multiplies 2r+1 times more zeros than weights.
    const std::optional<int> r = wholeNumber(radius);
    if (!r || *r < 1)
        return {};
    std::vector<double> weights; // from v = -r to r, at u = -v
    double sum = 0;
    for (int v = -*r; v <= *r; ++v) {
        const int u = -v;
        const double sign = u < 0 || v < 0 ? -8.0 : 8.0;
        weights.push_back(sign * std::exp(-(double(u) * u + v * v) / 2.0) / (2.0 * M_PI));
        sum += weights.back();
    }
    const double scale = 1.0 / sum;
    const int reach = std::min(*r, EmbossReach);
    const int width = 2 * reach + 1;
    std::string kernel = std::to_string(width) + "x" + std::to_string(width) + ":";
    for (int v = -reach; v <= reach; ++v) {
        for (int u = -reach; u <= reach; ++u) {
            if (u == -v) {
                char weight[32];
                std::snprintf(weight, sizeof weight, "%.17g", weights[v + *r] * scale);
                kernel += weight;
            } else {
                kernel += '-';
            }
            kernel += v == reach && u == reach ? "" : ",";
        }
    }
    return kernel;
}

namespace {

// The faster route of a tool for a picture known to be opaque, else the plain one.
Route routeFor(const std::vector<std::string> &options, bool opaque, bool haveGraphicsMagick)
{
    // ImageMagick's own dither walks a Hilbert curve one pixel at a time; Floyd and Steinberg's
    // diffusion gives the same black-and-white grain in two thirds of the time.
    if (options == std::vector<std::string>{"-monochrome"})
        return {false, {"-dither", "FloydSteinberg", "-monochrome"}};
    if (!opaque || options.size() != 2)
        return {false, options};
    const std::string &option = options[0];
    if (const std::string kernel = option == "-emboss" ? embossKernel(options[1]) : "";
        !kernel.empty()) {
        // The emboss then equalises every channel on its own, as ImageMagick's does.
        return {false,
                {"-morphology", "Convolve", kernel, "-channel", "RGBA", "-equalize", "+channel"}};
    }
    // GraphicsMagick blackens the whole picture for a spread of 0.
    const std::optional<int> value = wholeNumber(options[1]);
    const bool graphicsMagick =
            haveGraphicsMagick && value &&
            (option == "-paint" || option == "-charcoal" || (option == "-spread" && *value > 0));
    return {graphicsMagick, options};
}

} // namespace

std::string installedGraphicsMagick()
{
    const char *chosen = std::getenv("PICTALUX_GRAPHICSMAGICK");
    const std::string program = chosen ? chosen : PICTALUX_GRAPHICSMAGICK;
    return !program.empty() && ::access(program.c_str(), X_OK) == 0 ? program : std::string();
}

std::vector<std::string> commandLine(const Programs &programs, const Job &job)
{
    Route route = routeFor(job.options, job.picture.opaque, !programs.graphicsMagick.empty());
    std::vector<std::string> &options = route.options;

    const bool toWorkingCopy = WorkingCopy::isWorkingCopy(job.requested);
    const bool noteOrigin = toWorkingCopy && job.picture.origin.empty();
    std::vector<std::string> settings;
    std::string destination = job.destination;
    if (toWorkingCopy) {
        settings = WorkingCopy::outputSettings();
        destination = std::string(WorkingCopy::OutputPrefix) + destination;
    } else {
        const WorkingCopy::Save save = WorkingCopy::saveFrom(job.picture, job.requested);
        settings = save.settings;
        destination = save.outputPrefix + destination;
    }

    if (route.graphicsMagick) {
        std::vector<std::string> arguments = {programs.graphicsMagick, "convert"};
        if (noteOrigin)
            arguments.insert(arguments.end(), {"-label", WorkingCopy::originNote()});
        arguments.insert(arguments.end(), {job.source + "[0]", "-auto-orient"});
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.insert(arguments.end(), settings.begin(), settings.end());
        arguments.insert(arguments.end(), {"+repage", destination});
        return arguments;
    }
    if (noteOrigin)
        options.insert(options.end(), {"-set", "label", WorkingCopy::originNote()});
    options.insert(options.end(), settings.begin(), settings.end());
    return Converter::imageMagickArguments(programs.imageMagick, job.source, options, destination);
}

} // namespace Engine
