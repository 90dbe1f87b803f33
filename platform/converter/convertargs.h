#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The launcher's arguments and the names and arguments it gives ImageMagick, apart from the
// system calls that act on them.
namespace Converter {

// The launcher's exit code for any failure but the two below.
constexpr int ExitFailure = 1;
// ImageMagick refused the picture as beyond its resource limits (size, area, memory or disk).
constexpr int ExitBeyondLimits = 65;
// A killed ImageMagick, or a launcher stopped by a signal, exits with this plus the signal.
constexpr int ExitSignalBase = 128;

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

// The launcher's exit code for ImageMagick's wait status: 0, ExitFailure, or 128 + the signal.
int exitCodeFor(int waitStatus);

// Whether ImageMagick's messages say that it gave up on the picture for its resource limits.
bool beyondLimits(std::string_view messages);

// Whether ImageMagick's messages say that the disk refused to hold what it wrote, which it may
// report while still exiting with success.
bool writeFailed(std::string_view messages);

// A name ImageMagick was given, and the user's name for the same file.
using Renaming = std::pair<std::string, std::string>;
// The messages with every given name replaced by the user's name for it.
std::string renamed(std::string messages, const std::vector<Renaming> &names);

// The kernel's guard of sticky folders that others may write, such as /tmp, at the level set in
// fs.protected_symlinks (for a link) or fs.protected_regular (for a file): whether a plain write by
// the user may follow the link, or open the existing file, that the owner has in the folder.
struct StickyEntry
{
    bool link;
    unsigned owner;
    unsigned folderMode;
    unsigned folderOwner;
};
bool stickyFolderAllows(int level, unsigned user, const StickyEntry &entry);

// The mkdtemp() template of a private folder: the prefix, the owner's process id, six X.
std::string privateFolderTemplate(std::string_view prefix, long processId);
// The process id in the name of a private folder made from that template; nothing for any other
// name, so that files merely named alike are never taken for one.
std::optional<long> privateFolderOwner(std::string_view name, std::string_view prefix);

} // namespace Converter
