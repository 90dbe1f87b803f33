#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The launcher's arguments and the names and arguments it gives ImageMagick, apart from the
// system calls that act on them.
namespace Converter {

// The launcher's exit status when ImageMagick refused the picture as beyond its resource limits.
constexpr int ExitBeyondLimits = 65;

struct Request
{
    std::string source;
    std::vector<std::string> options;
    std::string destination;
};

// Reads "SOURCE [OPTION...] DESTINATION"; nothing when fewer than two arguments are given.
std::optional<Request> parseArguments(const std::vector<std::string> &arguments);

// Whether the options crop a rectangle without width or height. ImageMagick reads a zero there as
// "up to the edge" and would cut a strip nobody drew.
bool cropsNothing(const std::vector<std::string> &options);

// The extension of the path's file name, dot included, when ImageMagick can read it only as an
// extension; otherwise empty.
std::string plainExtension(std::string_view path);

// The folder for the private directory: $TMPDIR when ImageMagick reads it literally, else /tmp.
std::string temporaryRoot(const char *tmpdir);

// ImageMagick's command line; the file names given must already be plain.
std::vector<std::string> imageMagickArguments(const std::string &program, const std::string &source,
                                              const std::vector<std::string> &options,
                                              const std::string &destination);

// The launcher's exit code for ImageMagick's wait status: its own code, or 128 + the signal.
int exitCodeFor(int waitStatus);

} // namespace Converter
