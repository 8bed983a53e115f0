#include "core/textfile.h"

#include "core/encoding.h"

#include <algorithm>
#include <utility>

namespace tonfex {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    // Files end their lines with LF or CR LF; a file of bare CRs merely grows the vector.
    lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    const char* const end = text.data() + text.size();
    const char* start = text.data();
    for (const char* p = start; p != end; ++p) {
        if (*p != '\r' && *p != '\n') continue;
        lines.emplace_back(start, p);
        if (*p == '\r' && p + 1 != end && p[1] == '\n') ++p;
        start = p + 1;
    }
    if (start != end) lines.emplace_back(start, end);
    return lines;
}

std::string encodeLines(const std::vector<std::string>& lines) {
    std::string out;
    size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 2;
    out.reserve(size);
    for (const auto& line : lines) {
        out += cp1252FromUtf8(line);
        out += "\r\n";
    }
    return out;
}

std::optional<std::vector<std::string>> readTextLines(Files& files,
                                                      const std::filesystem::path& path) {
    auto bytes = files.read(path);
    if (!bytes) return std::nullopt;
    return splitLines(decodeFileText(std::move(*bytes)));
}

std::string writeTextLines(Files& files, const std::filesystem::path& path,
                           const std::vector<std::string>& lines) {
    return files.writeWhole(path, encodeLines(lines));
}

std::string appendTextLines(Files& files, const std::filesystem::path& path,
                            const std::vector<std::string>& lines) {
    return files.append(path, encodeLines(lines));
}

} // namespace tonfex
