#pragma once

#include <filesystem>
#include <string_view>

// The private folders that the launcher's runs and the running programs make for themselves:
// named after their owner's process and locked while it lives, so that a later one tells a folder
// left by a killed owner from one in use, whatever process ids it sees (another pid namespace
// sees others). The descriptors returned hold the lock; the caller closes them.
namespace PrivateFolder {

// Makes such a folder in parent, mode 0700, and locks it; -1, with errno set, when none can be
// made. made is set to its path.
int create(const std::filesystem::path &parent, std::string_view prefix,
           std::filesystem::path &made);

// Locks the folder if a process of this user made it and has ended: named as one, its owner not
// seen, and unlocked. -1 for any other folder, which must stay.
int lockAbandoned(const std::filesystem::path &folder, std::string_view prefix);

// Whether the open folder is still the one at the path, not removed or replaced.
bool isStillAt(int folder, const std::filesystem::path &path);

} // namespace PrivateFolder
