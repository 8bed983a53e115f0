#include "core/textfile.h"

#include "core/encoding.h"

namespace tonfex {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    const size_t n = text.size();
    size_t breaks = 0;
    for (char c : text) breaks += (c == '\n' || c == '\r');
    lines.reserve(breaks + 1);
    for (size_t i = 0; i < n; ++i) {
        char c = text[i];
        if (c != '\r' && c != '\n') continue;
        lines.emplace_back(text, start, i - start);
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.emplace_back(text, start, n - start);
    return lines;
}

std::string encodeLines(const std::vector<std::string>& lines) {
    std::string out;
    size_t size = 0;
    for (const auto& line : lines) size += line.size() + 2;
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
    return splitLines(decodeFileText(*bytes));
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
