// Text files as the program keeps them: Windows-1252 with CR LF on disk, UTF-8 lines inside.
#pragma once

#include "platform/platform.h"

#include <optional>
#include <string>
#include <vector>

namespace tonfex {

// Splits at CR LF, LF or CR; a last line without a line end counts, a final line end adds none.
std::vector<std::string> splitLines(const std::string& text);
// Each line followed by CR LF, in Windows-1252; in UTF-8 when a line holds a character
// Windows-1252 has not, so that the file reads back exactly (never a "?" in its place).
std::string encodeLines(const std::vector<std::string>& lines);

// The file's lines, or nothing when it cannot be read.
std::optional<std::vector<std::string>> readTextLines(Files& files,
                                                      const std::filesystem::path& path);
// A file's lines one after the other, each decoded on its own: a line that is valid UTF-8 is
// taken as UTF-8 until a line shows the file to be Windows-1252 (a byte order mark makes all
// of it UTF-8). Of each line at most `maxLineBytes` bytes are kept, never more is held.
class LineReader {
public:
    LineReader(Files& files, const std::filesystem::path& path, size_t maxLineBytes);
    // False when the file cannot be read.
    bool opened() const { return pieces_ != nullptr; }
    // The next line into `line`; false at the end of the file.
    bool next(std::string& line);
    // The line last read had more bytes than were kept.
    bool cut() const { return cut_; }
    // The number of the line last read, from 1.
    size_t number() const { return number_; }
    // Reading stopped at an error rather than at the end.
    bool failed() const { return pieces_ && pieces_->failed(); }

private:
    bool fill();
    void decode(std::string& line);

    std::unique_ptr<PieceReader> pieces_;
    size_t maxLineBytes_;
    std::string buffer_;
    std::unique_ptr<char[]> piece_; // what one read takes, before it joins buffer_
    size_t at_ = 0;
    bool end_ = false, cut_ = false, first_ = true, bom_ = false, cp1252_ = false;
    size_t number_ = 0;
};

// The first lines of a file as readTextLines gives them, at most `maxLines` of at most
// `maxLineBytes` bytes each.
struct FirstLines {
    std::vector<std::string> lines;
    bool more = false;     // the file goes on after them (one line further was read)
    size_t firstCut = 0;   // number of the first line cut short, 0 for none
};
std::optional<FirstLines> readFirstLines(Files& files, const std::filesystem::path& path,
                                         size_t maxLines, size_t maxLineBytes);

// At most `limit` bytes of a file; `more` tells that it is longer.
struct FirstBytes {
    std::string bytes;
    bool more = false;
};
std::optional<FirstBytes> readFirstBytes(Files& files, const std::filesystem::path& path,
                                         size_t limit);

// Whole-file write; returns an error text, "" on success.
std::string writeTextLines(Files& files, const std::filesystem::path& path,
                           const std::vector<std::string>& lines);
// Appends in the file's own encoding; a Windows-1252 file that must take a character it
// cannot hold is written again whole, in UTF-8.
std::string appendTextLines(Files& files, const std::filesystem::path& path,
                            const std::vector<std::string>& lines);

} // namespace tonfex
