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

namespace {

bool allFitCp1252(const std::vector<std::string>& lines) {
    return std::all_of(lines.begin(), lines.end(),
                       [](const std::string& line) { return fitsCp1252(line); });
}

bool allAscii(const std::vector<std::string>& lines) {
    return std::all_of(lines.begin(), lines.end(),
                       [](const std::string& line) { return isAscii(line); });
}

std::string joinLines(const std::vector<std::string>& lines, bool cp1252) {
    std::string out;
    size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 2;
    out.reserve(size);
    for (const auto& line : lines) {
        out += cp1252 ? cp1252FromUtf8(line) : line;
        out += "\r\n";
    }
    return out;
}

} // namespace

std::string encodeLines(const std::vector<std::string>& lines) {
    return joinLines(lines, allFitCp1252(lines));
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
    const auto existing = files.exists(path) ? files.read(path) : std::optional<std::string>("");
    if (!existing) return files.append(path, encodeLines(lines));
    // A last line without its line end (a file edited by hand) gets one first, so that the
    // new lines do not join it.
    const std::string end = !existing->empty() && existing->back() != '\n' && existing->back() != '\r'
                                ? "\r\n"
                                : "";
    // ASCII reads the same in either encoding.
    if (allAscii(lines) || isAscii(*existing)) return files.append(path, end + encodeLines(lines));
    if (looksLikeUtf8(*existing)) return files.append(path, end + joinLines(lines, false));
    if (allFitCp1252(lines)) return files.append(path, end + joinLines(lines, true));
    return files.writeWhole(path, utf8FromCp1252(*existing) + end + joinLines(lines, false));
}

} // namespace tonfex
