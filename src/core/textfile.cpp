#include "core/textfile.h"

#include "core/encoding.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace tonfex {

namespace {
// The first CR or LF from `p` on, or `end`. Kept out of line: the fuzz build takes no coverage
// from this loop over every byte (fuzz/coverage-ignore.txt), which gives it nothing to learn.
[[gnu::noinline]] const char* lineEnd(const char* p, const char* end) {
    while (p != end && *p != '\n' && *p != '\r')
        ++p;
    return p;
}
} // namespace

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    // Files end their lines with LF or CR LF; a file of bare CRs merely grows the vector.
    lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    const char* const end = text.data() + text.size();
    const char* start = text.data();
    for (const char* p; (p = lineEnd(start, end)) != end; start = p + 1) {
        lines.emplace_back(start, p);
        if (*p == '\r' && p + 1 != end && p[1] == '\n') ++p;
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

namespace {

constexpr size_t kPiece = 65536;
constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool validUtf8(std::string_view bytes) {
    // looksLikeUtf8 takes a leading byte order mark as proof; the mark itself is valid UTF-8.
    bytes = withoutByteOrderMarks(bytes);
    return bytes.empty() || isAscii(bytes) || looksLikeUtf8(bytes);
}


// The bytes of a sequence that the cut left incomplete at the end of `bytes`.
size_t incompleteTail(std::string_view bytes) {
    for (size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((c & 0xC0) == 0x80) continue;
        const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

// Appends the next piece of at most `most` bytes to `to` through `piece` (room for kPiece
// bytes): only the bytes read are written, never a whole piece of zeros first.
size_t appendPiece(PieceReader& pieces, char* piece, std::string& to, size_t most) {
    const size_t got = pieces.read(piece, std::min(most, kPiece));
    to.append(piece, got);
    return got;
}

std::unique_ptr<char[]> newPiece() {
    return std::make_unique_for_overwrite<char[]>(kPiece);
}

} // namespace

LineReader::LineReader(Files& files, const std::filesystem::path& path, size_t maxLineBytes)
    : pieces_(files.readInPieces(path)), maxLineBytes_(maxLineBytes) {}

bool LineReader::fill() {
    if (end_ || !pieces_) return false;
    buffer_.erase(0, at_);
    at_ = 0;
    if (!piece_) piece_ = newPiece();
    const size_t got = appendPiece(*pieces_, piece_.get(), buffer_, kPiece);
    end_ = got == 0;
    return got != 0;
}

bool LineReader::next(std::string& line) {
    line.clear();
    cut_ = false;
    if (first_) {
        first_ = false;
        while (buffer_.size() < 3 && fill()) {
        }
        bom_ = std::string_view(buffer_).substr(0, 3) == kBom;
        // An editor that marks a file already marked leaves several marks: all of them go.
        while (bom_ && std::string_view(buffer_).substr(at_, 3) == kBom) {
            at_ += 3;
            while (buffer_.size() - at_ < 3 && fill()) {
            }
        }
    }
    size_t kept = 0;
    bool any = false;
    for (;;) {
        if (at_ == buffer_.size() && !fill()) {
            if (!any) return false;
            break;
        }
        any = true;
        const char* const begin = buffer_.data() + at_;
        const char* const end = buffer_.data() + buffer_.size();
        const char* const p = lineEnd(begin, end);
        const size_t room = maxLineBytes_ - kept;
        const size_t n = static_cast<size_t>(p - begin);
        line.append(begin, std::min(n, room));
        kept += std::min(n, room);
        cut_ = cut_ || n > room;
        at_ += n;
        if (p == end) continue;
        // A CR LF is one line end, also when the LF comes with the next piece.
        const bool cr = *p == '\r';
        ++at_;
        if (cr && (at_ < buffer_.size() || fill()) && buffer_[at_] == '\n') ++at_;
        break;
    }
    ++number_;
    if (cut_) line.resize(line.size() - incompleteTail(line));
    decode(line);
    return true;
}

void LineReader::decode(std::string& line) {
    if (isAscii(line)) return;
    if (bom_) {
        // A file with a byte order mark is UTF-8 throughout, damaged bytes becoming U+FFFD.
        line = decodeFileText(std::string(kBom) + line);
        return;
    }
    if (!cp1252_ && validUtf8(line)) return;
    cp1252_ = true;
    line = utf8FromCp1252(line);
}

std::optional<FirstLines> readFirstLines(Files& files, const std::filesystem::path& path,
                                         size_t maxLines, size_t maxLineBytes) {
    LineReader reader(files, path, maxLineBytes);
    if (!reader.opened()) return std::nullopt;
    FirstLines out;
    std::string line;
    while (reader.next(line)) {
        if (out.lines.size() == maxLines) {
            out.more = true;
            break;
        }
        if (reader.cut() && out.firstCut == 0) out.firstCut = reader.number();
        out.lines.push_back(std::move(line));
    }
    if (reader.failed()) return std::nullopt;
    return out;
}

std::optional<FirstBytes> readFirstBytes(Files& files, const std::filesystem::path& path,
                                         size_t limit) {
    auto pieces = files.readInPieces(path);
    if (!pieces) return std::nullopt;
    FirstBytes out;
    const auto piece = newPiece();
    for (;;) {
        const size_t got = appendPiece(*pieces, piece.get(), out.bytes, limit + 1 - out.bytes.size());
        if (got == 0 || out.bytes.size() > limit) break;
    }
    if (pieces->failed()) return std::nullopt;
    out.more = out.bytes.size() > limit;
    if (out.more) out.bytes.resize(limit);
    return out;
}

std::string writeTextLines(Files& files, const std::filesystem::path& path,
                           const std::vector<std::string>& lines) {
    return files.writeWhole(path, encodeLines(lines));
}

namespace {

// What appending needs to know of a file, found piece by piece.
struct FileShape {
    bool empty = true;
    bool onlyMark = false; // the file holds only the byte order mark
    bool endsLine = false; // its last byte ends a line
    bool ascii = true;
    bool utf8 = false; // it reads as UTF-8 (looksLikeUtf8 of the whole file)
};

std::optional<FileShape> fileShape(Files& files, const std::filesystem::path& path) {
    auto pieces = files.readInPieces(path);
    if (!pieces) return std::nullopt;
    FileShape shape;
    std::string buffer, first;
    bool valid = true, marksOnly = true;
    size_t total = 0;
    const auto piece = newPiece();
    for (;;) {
        const size_t had = buffer.size();
        const size_t got = appendPiece(*pieces, piece.get(), buffer, kPiece);
        if (got == 0) break;
        if (first.size() < 3) first.append(buffer, had, std::min(got, 3 - first.size()));
        // A file holding nothing but byte order marks (one or several) is empty to its reader.
        for (size_t i = 0; marksOnly && i < got; ++i)
            marksOnly = buffer[had + i] == kBom[(total + i) % 3];
        total += got;
        shape.endsLine = buffer.back() == '\n' || buffer.back() == '\r';
        // A sequence cut by the piece's end is checked with the next piece.
        const size_t tail = incompleteTail(buffer);
        const std::string_view whole(buffer.data(), buffer.size() - tail);
        shape.ascii = shape.ascii && isAscii(whole);
        valid = valid && validUtf8(whole);
        buffer.erase(0, whole.size());
    }
    if (pieces->failed()) return std::nullopt;
    valid = valid && buffer.empty();
    shape.empty = total == 0;
    shape.onlyMark = total != 0 && total % 3 == 0 && marksOnly;
    shape.ascii = shape.ascii && buffer.empty();
    shape.utf8 = first == kBom || (valid && !shape.ascii);
    return shape;
}

} // namespace

std::string appendTextLines(Files& files, const std::filesystem::path& path,
                            const std::vector<std::string>& lines) {
    const auto existing =
        files.exists(path) ? fileShape(files, path) : std::optional<FileShape>(FileShape{});
    if (!existing) return files.append(path, encodeLines(lines));
    // A last line without its line end (a file edited by hand) gets one first, so that the
    // new lines do not join it; an empty file or one holding only the byte order mark has none.
    const std::string end =
        existing->empty || existing->onlyMark || existing->endsLine ? "" : "\r\n";
    // ASCII reads the same in either encoding.
    if (allAscii(lines) || existing->ascii) return files.append(path, end + encodeLines(lines));
    if (existing->utf8) return files.append(path, end + joinLines(lines, false));
    if (allFitCp1252(lines)) return files.append(path, end + joinLines(lines, true));
    // Written again whole in UTF-8: Windows-1252 has one byte per character, so each piece
    // converts on its own.
    return files.rewrite(path, end + joinLines(lines, false), [](std::string_view piece) {
        return utf8FromCp1252(piece);
    });
}

} // namespace tonfex
