#include "platform/converter/convertargs.h"

#include <algorithm>
#include <initializer_list>

#include <sys/wait.h>

namespace Converter {
namespace {

bool isAsciiAlphanumeric(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// An absolute path free of everything ImageMagick reads into a file name: format prefixes,
// frame selections, frame-number patterns, globs, list files and home folders.
bool isPlainAbsolutePath(std::string_view path)
{
    const auto isPlain = [](char c) {
        return isAsciiAlphanumeric(c) || c == '/' || c == '.' || c == '_' || c == '-';
    };
    return !path.empty() && path.front() == '/' && std::all_of(path.begin(), path.end(), isPlain);
}

bool mentionsAny(std::string_view messages, std::initializer_list<std::string_view> phrases)
{
    return std::any_of(phrases.begin(), phrases.end(), [&](std::string_view phrase) {
        return messages.find(phrase) != std::string_view::npos;
    });
}

} // namespace

std::optional<Request> parseArguments(const std::vector<std::string> &arguments)
{
    if (arguments.size() < 2)
        return std::nullopt;
    return Request{
            arguments.front(), {arguments.begin() + 1, arguments.end() - 1}, arguments.back()};
}

bool cropsNothing(const std::vector<std::string> &options)
{
    const auto crop = std::find(options.begin(), options.end(), "-crop");
    if (crop == options.end() || crop + 1 == options.end())
        return false;
    // The geometry is WIDTHxHEIGHT followed by the offsets.
    const std::string_view geometry = *(crop + 1);
    const std::size_t times = geometry.find('x');
    const std::size_t offsets = geometry.find_first_of("+-", times);
    if (times == std::string_view::npos)
        return false;
    const auto isZero = [](std::string_view number) {
        return !number.empty() && number.find_first_not_of('0') == std::string_view::npos;
    };
    return isZero(geometry.substr(0, times)) ||
           isZero(geometry.substr(times + 1, offsets == std::string_view::npos
                                                     ? std::string_view::npos
                                                     : offsets - times - 1));
}

std::string plainExtension(std::string_view path)
{
    const std::string_view fileName = path.substr(path.find_last_of('/') + 1);
    const std::size_t dot = fileName.find_last_of('.');
    // A leading dot marks a hidden file, not an extension.
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == fileName.size())
        return {};
    const std::string_view extension = fileName.substr(dot + 1);
    if (!std::all_of(extension.begin(), extension.end(), isAsciiAlphanumeric))
        return {};
    return "." + std::string(extension);
}

bool stickyFolderAllows(int level, unsigned user, const StickyEntry &entry)
{
    constexpr unsigned Sticky = 01000, OthersWrite = 0002, GroupWrite = 0020;
    const unsigned guarded = OthersWrite | (!entry.link && level >= 2 ? GroupWrite : 0);
    return level == 0 || !(entry.folderMode & Sticky) || !(entry.folderMode & guarded) ||
           entry.owner == user || entry.owner == entry.folderOwner;
}

std::string temporaryRoot(const char *tmpdir)
{
    if (tmpdir && isPlainAbsolutePath(tmpdir))
        return tmpdir;
    return "/tmp";
}

std::vector<std::string> imageMagickArguments(const std::string &program, const std::string &source,
                                              const std::vector<std::string> &options,
                                              const std::string &destination)
{
    // Only the first frame is edited, turned the way it is shown and cut without its old canvas.
    std::vector<std::string> arguments = {program, source + "[0]", "-auto-orient"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.insert(arguments.end(), {"+repage", destination});
    return arguments;
}

int exitCodeFor(int waitStatus)
{
    if (WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0)
        return 0;
    if (WIFSIGNALED(waitStatus))
        return ExitSignalBase + WTERMSIG(waitStatus);
    // ImageMagick's own codes would be taken for the launcher's, such as ExitBeyondLimits.
    return ExitFailure;
}

bool beyondLimits(std::string_view messages)
{
    // A side over its limit, and a pixel cache beyond the area, memory, map and disk limits.
    // ("memory allocation failed" also follows a broken picture, so it is no sign.)
    return mentionsAny(messages, {"width or height exceeds limit", "cache resources exhausted"});
}

bool writeFailed(std::string_view messages)
{
    return mentionsAny(messages,
                       {"No space left on device", "Disk quota exceeded", "File too large"});
}

std::string renamed(std::string messages, const std::vector<Renaming> &names)
{
    for (const auto &[given, user] : names)
        for (std::size_t at = 0; (at = messages.find(given, at)) != std::string::npos;
             at += user.size())
            messages.replace(at, given.size(), user);
    return messages;
}

std::string privateFolderTemplate(std::string_view prefix, long processId)
{
    return std::string(prefix) + std::to_string(processId) + "-XXXXXX";
}

std::optional<long> privateFolderOwner(std::string_view name, std::string_view prefix)
{
    constexpr std::size_t RandomPart = 6;
    if (name.substr(0, prefix.size()) != prefix || name.size() < prefix.size() + RandomPart + 2)
        return std::nullopt;
    const std::string_view number =
            name.substr(prefix.size(), name.size() - prefix.size() - RandomPart - 1);
    const std::string_view random = name.substr(name.size() - RandomPart);
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (name[name.size() - RandomPart - 1] != '-' || number.size() > 9 || number.front() == '0' ||
        !std::all_of(number.begin(), number.end(), isDigit) ||
        !std::all_of(random.begin(), random.end(), isAsciiAlphanumeric))
        return std::nullopt;
    return std::stol(std::string(number));
}

} // namespace Converter
