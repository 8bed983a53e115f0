#include "melody/zeilenleser.h"

#include "core/numbers.h"
#include "core/textfile.h"
#include "melody/melody.h"

#include <algorithm>

namespace tonfex {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
// A field ends at a blank; a tab typed in an editor separates fields as well.
bool isBlank(char c) { return c == ' ' || c == '\t'; }
// The second to fourth byte of a UTF-8 letter: widths count letters, not bytes.
bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Whether a field starts at position p: a digit 1 to 9, or a 0 that no digit follows
// (a lone 0, or the 0 of 0.25). A 0 with a digit after it is a leading zero and passed over.
bool fieldStartsAt(const std::string& line, size_t p) {
    char c = line[p];
    if (c >= '1' && c <= '9') return true;
    return c == '0' && !(p + 1 < line.size() && isDigit(line[p + 1]));
}

// Collects up to `width` characters from `p` until a blank; leaves p after the field.
std::string collect(const std::string& line, size_t& p, int width) {
    size_t start = p++;
    for (int n = 1; p < line.size() && !isBlank(line[p]); ++p)
        if (!isContinuation(line[p]) && ++n > width) break;
    return std::string(line, start, p - start);
}

// Fields 2 and 3: at most 101 characters are examined after the previous field's end.
std::string nextField(const std::string& line, size_t& p, int width) {
    for (int m = 1; m <= 101; ++m) {
        ++p;
        while (p < line.size() && isContinuation(line[p])) ++p;
        if (p >= line.size()) return "";
        if (fieldStartsAt(line, p)) return collect(line, p, width);
    }
    return "";
}

} // namespace

bool isSkippedLine(const std::string& line) { return numericPrefix(line) == 0; }

RawFields scanFields(const std::string& line, FieldWidths widths) {
    RawFields f;
    size_t p = 0;
    while (p < line.size() && !fieldStartsAt(line, p)) ++p;
    if (p >= line.size()) return f;
    f.pitch = collect(line, p, widths.pitch);
    // p rests on the character that ended the field; fields 2 and 3 start looking after it.
    f.volume = nextField(line, p, widths.volume);
    f.duration = nextField(line, p, widths.duration);
    return f;
}

ReaderSpec readerSpec(Reader reader) {
    switch (reader) {
    case Reader::Player: return {{4, 3, 8}, 100000};
    case Reader::Score: return {{3, 3, 8}, 100000};
    case Reader::Pattern: return {{5, 3, 6}, 10000};
    }
    return {{4, 3, 8}, 100000};
}

std::vector<ToneRow> readToneRows(const std::vector<std::string>& lines, Reader reader,
                                  bool midiMode, char decimal, Dialogs& dialogs,
                                  const std::string& fileText) {
    const ReaderSpec limits = readerSpec(reader);
    const bool pattern = reader == Reader::Pattern;
    std::vector<ToneRow> rows;
    rows.reserve(std::min(lines.size(), static_cast<size_t>(limits.rowLimit)));
    for (const auto& line : lines) {
        if (isSkippedLine(line)) continue;
        if (static_cast<int>(rows.size()) >= limits.rowLimit)
            failCommand(dialogs, "Die Datei " + fileText + " enthält mehr als " +
                                     plainText(limits.rowLimit) +
                                     " Töne - mehr kann nicht gelesen werden.");
        RawFields f = scanFields(line, limits.widths);
        ToneRow row;
        double pitch = numericPrefix(f.pitch);
        if (pitch < 1) {
            Fehlerfrage(dialogs, "Falschen Wert für HT eingelesen: " + f.pitch);
            row.pitch = 1;
        } else if (pitch > 127 && (pattern || midiMode)) {
            Fehlerfrage(dialogs, "Wert für HT größer 127 eingelesen: " + f.pitch);
            row.pitch = 127;
        } else {
            row.pitch = toInt16(decimal == '.' ? pitch : parseLocale(f.pitch, decimal));
        }

        double volume = numericPrefix(f.volume);
        if (volume < 1) {
            if (!pattern)
                Fehlerfrage(dialogs, "Wert für LT kleiner 1 eingelesen! ..." + f.volume +
                                         "... (Fehler in Tonfex.txt)");
            row.volume = 1;
        } else if (volume > 127) {
            if (pattern)
                Fehlerfrage(dialogs, "Wert für LT größer 127 eingelesen: " + f.volume);
            else
                Fehlerfrage(dialogs, "Wert für LT größer 127 eingelesen! ..." + f.volume +
                                         "... (Fehler in Tonfex.txt)");
            row.volume = 127;
        } else {
            row.volume = toInt16(decimal == '.' ? volume : parseLocale(f.volume, decimal));
        }

        double duration = numericPrefix(f.duration);
        if (duration < 1) {
            if (pattern) Fehlerfrage(dialogs, "Wert für DT kleiner 1 eingelesen!");
            row.durationText.assign(1, '1');
            row.durationValue = 1;
        } else {
            row.durationText = f.duration;
            row.durationValue = duration;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::string> readLinesOrFail(Files& files, Dialogs& dialogs,
                                         const std::filesystem::path& path,
                                         const std::string& fileText) {
    auto lines = readTextLines(files, path);
    if (!lines) failCommand(dialogs, fileText + " ist nicht vorhanden!");
    return *lines;
}

void Patternleser(Files& files, Dialogs& dialogs, const std::filesystem::path& path,
                  const std::string& fileText, Pattern& buffer) {
    auto lines = readLinesOrFail(files, dialogs, path, fileText);
    auto rows = readToneRows(lines, Reader::Pattern, false, '.', dialogs, fileText);
    for (size_t r = 0; r < rows.size(); ++r) {
        buffer.Tonhoehe[r + 1] = rows[r].pitch;
        buffer.Lautstaerke[r + 1] = rows[r].volume;
        buffer.Tondauer[r + 1] = rows[r].durationValue;
    }
    buffer.Zeilen = static_cast<int>(rows.size());
}

} // namespace tonfex
