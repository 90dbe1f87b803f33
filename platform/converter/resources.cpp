#include "platform/converter/resources.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

namespace fs = std::filesystem;

namespace Resources {
namespace {

std::string withoutComments(std::string_view text)
{
    std::string kept;
    for (;;) {
        const std::size_t start = text.find("<!--");
        kept.append(text.substr(0, start));
        if (start == std::string_view::npos)
            return kept;
        const std::size_t end = text.find("-->", start);
        if (end == std::string_view::npos)
            return kept;
        text.remove_prefix(end + 3);
    }
}

std::string attribute(std::string_view element, std::string_view name)
{
    const std::string key = " " + std::string(name) + "=\"";
    const std::size_t start = element.find(key);
    if (start == std::string_view::npos)
        return {};
    const std::size_t value = start + key.size();
    return std::string(element.substr(value, element.find('"', value) - value));
}

std::string readFile(const fs::path &path)
{
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A container may hold the launcher to less memory than the machine has.
std::uint64_t usableMemory()
{
    std::uint64_t memory =
            std::uint64_t(sysconf(_SC_PHYS_PAGES)) * std::uint64_t(sysconf(_SC_PAGE_SIZE));
    if (const std::optional<std::uint64_t> cgroup =
                parseSize(readFile("/sys/fs/cgroup/memory.max")))
        memory = std::min(memory, *cgroup);
    return memory;
}

void setIfUnset(const char *variable, std::optional<std::uint64_t> value)
{
    if (value)
        ::setenv(variable, std::to_string(*value).c_str(), 0);
}

} // namespace

std::optional<std::uint64_t> parseSize(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    const std::string number(text);
    char *end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (end == number.c_str() || !std::isfinite(value) || value < 0)
        return std::nullopt;
    std::string_view unit(end);
    double scale = 1;
    static constexpr std::string_view Prefixes = "kMGTPE";
    const std::size_t prefix = unit.empty()
                                       ? std::string_view::npos
                                       : Prefixes.find(unit.front() == 'K' ? 'k' : unit.front());
    if (prefix != std::string_view::npos) {
        unit.remove_prefix(1);
        const bool binary = !unit.empty() && unit.front() == 'i';
        if (binary)
            unit.remove_prefix(1);
        scale = std::pow(binary ? 1024.0 : 1000.0, double(prefix + 1));
    }
    if (unit != "" && unit != "B" && unit != "P")
        return std::nullopt;
    const double scaled = value * scale;
    if (scaled >= 18446744073709551615.0)
        return std::nullopt;
    return std::uint64_t(scaled);
}

std::optional<std::uint64_t> policyValue(std::string_view policy, std::string_view name)
{
    const std::string text = withoutComments(policy);
    for (std::size_t start = text.find("<policy "); start != std::string::npos;
         start = text.find("<policy ", start + 1)) {
        const std::string_view element =
                std::string_view(text).substr(start, text.find('>', start) - start);
        if (attribute(element, "domain") == "resource" && attribute(element, "name") == name)
            return parseSize(attribute(element, "value"));
    }
    return std::nullopt;
}

std::optional<std::uint64_t> raisedLimit(std::uint64_t physicalMemory,
                                         std::optional<std::uint64_t> systemLimit)
{
    const std::uint64_t quarter = physicalMemory / 4;
    if (!systemLimit || *systemLimit >= quarter)
        return std::nullopt;
    return quarter;
}

std::string policyDocument(std::optional<std::uint64_t> memory, std::optional<std::uint64_t> map)
{
    if (!memory && !map)
        return {};
    std::string document = "<policymap>\n";
    const auto add = [&document](const char *name, std::optional<std::uint64_t> value) {
        if (value)
            document += std::string("  <policy domain=\"resource\" name=\"") + name +
                        "\" value=\"" + std::to_string(*value) + "B\"/>\n";
    };
    add("memory", memory);
    add("map", map);
    return document + "</policymap>\n";
}

std::vector<fs::path> systemPolicyFolders(const char *configurePath, const fs::path &systemFolder)
{
    std::vector<fs::path> folders;
    std::string_view paths = configurePath ? configurePath : "";
    while (!paths.empty()) {
        const std::size_t colon = paths.find(':');
        if (colon != 0)
            folders.emplace_back(paths.substr(0, colon));
        if (colon == std::string_view::npos)
            break;
        paths.remove_prefix(colon + 1);
    }
    if (!systemFolder.empty())
        folders.push_back(systemFolder);
    return folders;
}

SystemPolicy readSystemPolicy(const std::vector<fs::path> &folders)
{
    SystemPolicy system;
    for (const fs::path &folder : folders) {
        const std::string policy = readFile(folder / "policy.xml");
        for (auto [value, name] : {std::pair{&system.memory, "memory"},
                                   {&system.map, "map"},
                                   {&system.width, "width"},
                                   {&system.height, "height"},
                                   {&system.area, "area"}}) {
            if (!*value)
                *value = policyValue(policy, name);
        }
    }
    return system;
}

void giveMachine(const fs::path &folder)
{
    const char *configurePath = std::getenv("MAGICK_CONFIGURE_PATH");
    const SystemPolicy system =
            readSystemPolicy(systemPolicyFolders(configurePath, PICTALUX_IMAGEMAGICK_CONFIG));
    setIfUnset("MAGICK_LIMIT_WIDTH", system.width);
    setIfUnset("MAGICK_LIMIT_HEIGHT", system.height);
    setIfUnset("MAGICK_LIMIT_PIXELS", system.area);

    const std::uint64_t memory = usableMemory();
    const std::string policy =
            policyDocument(raisedLimit(memory, system.memory), raisedLimit(memory, system.map));
    if (policy.empty())
        return;
    std::ofstream file(folder / "policy.xml");
    file << policy;
    file.close();
    if (!file)
        throw std::runtime_error("cannot write in " + folder.string());
    std::string path = folder.string();
    if (configurePath && *configurePath)
        path += std::string(":") + configurePath;
    ::setenv("MAGICK_CONFIGURE_PATH", path.c_str(), 1);
}

} // namespace Resources
