#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The memory ImageMagick may use for its pixels. The distribution caps it far below what a large
// photo needs, so the pixel cache would spill to disk; the launcher raises the caps with a policy
// file of its own, read before the system's, and keeps every other rule of the system's policy.
namespace Resources {

// A size as ImageMagick writes it in a policy ("256MiB", "1GB", "16KP", "2048"), in bytes or
// pixels; nothing when it cannot be read.
std::optional<std::uint64_t> parseSize(std::string_view text);

// The value of the first resource policy of that name ("memory", "map", "width", ...) in a policy
// file's text: ImageMagick takes the first one it reads.
std::optional<std::uint64_t> policyValue(std::string_view policy, std::string_view name);

// The cap to give for memory and for map: a quarter of the machine's memory, or nothing when the
// system's own cap is absent or already as high, since a policy may lower a limit as well.
std::optional<std::uint64_t> raisedLimit(std::uint64_t physicalMemory,
                                         std::optional<std::uint64_t> systemLimit);

// The policy file that raises memory and map to the given caps; nothing when neither is given.
std::string policyDocument(std::optional<std::uint64_t> memory, std::optional<std::uint64_t> map);

// The folders ImageMagick reads policies from before the launcher's, in its order: those of
// MAGICK_CONFIGURE_PATH, then the system's.
std::vector<std::filesystem::path> systemPolicyFolders(const char *configurePath,
                                                       const std::filesystem::path &systemFolder);

// What the system's policies say, the first value of each resource winning.
struct SystemPolicy
{
    std::optional<std::uint64_t> memory;
    std::optional<std::uint64_t> map;
    std::optional<std::uint64_t> width;
    std::optional<std::uint64_t> height;
    std::optional<std::uint64_t> area;
};
SystemPolicy readSystemPolicy(const std::vector<std::filesystem::path> &folders);

// Writes the launcher's policy into the folder and has every converter started afterwards read
// it first. GraphicsMagick, which reads no policy, gets the system's width, height and area caps
// through its own variables.
void giveMachine(const std::filesystem::path &folder);

} // namespace Resources
