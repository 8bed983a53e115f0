#include "core/workfolder.h"

#include "platform/platform.h"

#include <array>

namespace tonfex {

bool names::isDefault(std::string_view fileName) {
    static constexpr std::array<std::string_view, 11> defaults = {
        ini,      durations,     proginfo,   pattern01,     pattern02,    export01,
        export02, sampleProject, sampleList, projectHead01, projectHead02};
    for (auto name : defaults)
        if (name == fileName) return true;
    return false;
}

std::string withDefaultsHint(const std::string& text) {
    return text + " " + std::string(kDefaultsHint);
}

std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string utf8FromPath(const std::filesystem::path& path) {
    auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

WorkFolder workFolderNamed(std::string_view typed) {
    return {normalFolder(typed.empty() ? defaultWorkFolder() : pathFromUtf8(typed))};
}

} // namespace tonfex
