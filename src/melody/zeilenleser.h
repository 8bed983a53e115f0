// Zeilenleser: the line and field scanner shared by the melody and pattern readers, with each
// reader's field widths, checks and questions.
#pragma once

#include "core/textfile.h"
#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tonfex {

struct FieldWidths {
    int pitch, volume, duration;
};

struct RawFields {
    std::string pitch, volume, duration;
};

// True when the scanner skips the line (its numeric value is 0).
bool isSkippedLine(const std::string& line);
// The three fields of one line.
RawFields scanFields(const std::string& line, FieldWidths widths);

enum class Reader { Player, Score, Pattern };

struct ReaderLimits {
    FieldWidths widths;
    int rowLimit;
};
ReaderLimits readerLimits(Reader reader);

// One checked row. The duration is kept as its field text and its numeric value so that each
// reader can convert it its own way.
struct ToneRow {
    std::int16_t pitch = 0;
    std::int16_t volume = 0;
    std::string durationText;
    double durationValue = 0;
};

// Scans `lines` with the reader's widths and checks. `midiMode` is SOUND 1 (the pitch limit
// 127 of the player and the score writer). Questions go through one Fehlerfrage, so that
// "Ja, alle" answers the rest of this read; more rows than the reader's limit end the command
// with a message naming `fileText`.
std::vector<ToneRow> readToneRows(const std::vector<std::string>& lines, Reader reader,
                                  bool midiMode, char decimal, Dialogs& dialogs,
                                  const std::string& fileText);

// The same for lines read one by one from a file.
std::vector<ToneRow> readToneRows(LineReader& lines, Reader reader, bool midiMode, char decimal,
                                  Dialogs& dialogs, const std::string& fileText);

// Of a tone line at most this many bytes are read; its fields lie far before.
inline constexpr size_t kToneLineBytes = 65536;

// Ends the command: the file is not there (or cannot be read).
[[noreturn]] void failMissing(Dialogs& dialogs, const std::filesystem::path& path,
                              const std::string& fileText);
// Opens a file for reading line by line; a missing file ends the command with a message
// naming it.
LineReader openLinesOrFail(Files& files, Dialogs& dialogs, const std::filesystem::path& path,
                           const std::string& fileText, size_t maxLineBytes);
// The rows of a tone file (melody or pattern), read line by line; a missing file ends the
// command with a message naming it.
std::vector<ToneRow> readToneFile(Files& files, Dialogs& dialogs,
                                  const std::filesystem::path& path, const std::string& fileText,
                                  Reader reader, bool midiMode, char decimal);

// Reads a file's lines; a missing file ends the command with a message naming it.
std::vector<std::string> readLinesOrFail(Files& files, Dialogs& dialogs,
                                         const std::filesystem::path& path,
                                         const std::string& fileText);

struct Pattern;
// Reads a pattern file into `buffer` (rows 1..n replaced, Zeilen = n); a missing file ends the
// command with a message naming it.
void Patternleser(Files& files, Dialogs& dialogs, const std::filesystem::path& path,
                  const std::string& fileText, Pattern& buffer);

} // namespace tonfex
