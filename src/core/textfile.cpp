#include "core/textfile.h"

#include "core/encoding.h"

namespace tonfex {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(current));
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

std::string encodeLines(const std::vector<std::string>& lines) {
    std::string out;
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
