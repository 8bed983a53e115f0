#include "melody/zeilenleser.h"

#include "core/numbers.h"
#include "core/textfile.h"
#include "core/workfolder.h"
#include "melody/melody.h"

#include <algorithm>
#include <string_view>

namespace tonfex {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
// A field ends at a blank; a tab typed in an editor separates fields as well.
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
// The second to fourth byte of a UTF-8 letter: widths count letters, not bytes.
bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The three field texts of a line, as views into it.
struct FieldViews {
    std::string_view pitch, volume, duration;
};

// Whether a field starts at position p: a digit 1 to 9, or a 0 that no digit follows
// (a lone 0, or the 0 of 0.25). A 0 with a digit after it is a leading zero and passed over.
bool fieldStartsAt(std::string_view line, size_t p) {
    char c = line[p];
    if (c >= '1' && c <= '9') return true;
    return c == '0' && !(p + 1 < line.size() && isDigit(line[p + 1]));
}

// Collects up to `width` characters from `p` until a blank; leaves p after the field.
std::string_view collect(std::string_view line, size_t& p, int width) {
    size_t start = p++;
    for (int n = 1; p < line.size() && !isBlank(line[p]); ++p)
        if (!isContinuation(line[p]) && ++n > width) break;
    return line.substr(start, p - start);
}

// Fields 2 and 3: at most 101 characters are examined after the previous field's end.
std::string_view nextField(std::string_view line, size_t& p, int width) {
    for (int m = 1; m <= 101; ++m) {
        ++p;
        while (p < line.size() && isContinuation(line[p]))
            ++p;
        if (p >= line.size()) return {};
        if (fieldStartsAt(line, p)) return collect(line, p, width);
    }
    return {};
}

FieldViews scanFieldViews(std::string_view line, FieldWidths widths) {
    FieldViews f;
    size_t p = 0;
    while (p < line.size() && !fieldStartsAt(line, p))
        ++p;
    if (p >= line.size()) return f;
    f.pitch = collect(line, p, widths.pitch);
    // p rests on the character that ended the field; fields 2 and 3 start looking after it.
    f.volume = nextField(line, p, widths.volume);
    f.duration = nextField(line, p, widths.duration);
    return f;
}

// One field as the writer puts it: "0", or a digit 1 to 9 and more digits, at most `width` in
// all, followed by a blank or the line's end. Returns the end of the field and its value, or
// nullptr for any other form.
const char* writtenField(const char* p, const char* end, int width, int& value) {
    const char* const start = p;
    const char* const limit = end - p > width ? p + width : end;
    int v = 0;
    while (p != limit && isDigit(*p))
        v = v * 10 + (*p++ - '0');
    if (p == start || (*start == '0' && p - start > 1)) return nullptr;
    if (p != end && *p != ' ') return nullptr; // too wide, or something else follows
    value = v;
    return p;
}

// A line in the writer's own form ("60 100 2400": three such fields, single blanks, nothing
// else) is scanned in one pass; the general scan gives the same fields for it. The pitch must
// not be 0, so that the line is never one the scanner skips.
bool scanWrittenForm(std::string_view line, FieldWidths widths, FieldViews& f, int (&v)[3]) {
    const char* p = line.data();
    const char* const end = p + line.size();
    if (p == end || *p == '0') return false;
    const char* q = writtenField(p, end, widths.pitch, v[0]);
    if (q == nullptr || q == end) return false;
    f.pitch = {p, q};
    p = q + 1;
    q = writtenField(p, end, widths.volume, v[1]);
    if (q == nullptr || q == end) return false;
    f.volume = {p, q};
    p = q + 1;
    q = writtenField(p, end, widths.duration, v[2]);
    if (q != end) return false;
    f.duration = {p, q};
    return true;
}

std::string joined(std::string_view head, std::string_view field, std::string_view tail = {}) {
    std::string text;
    text.reserve(head.size() + field.size() + tail.size());
    return text.append(head).append(field).append(tail);
}

} // namespace

bool isSkippedLine(const std::string& line) {
    return numericPrefix(line) == 0;
}

RawFields scanFields(const std::string& line, FieldWidths widths) {
    FieldViews f = scanFieldViews(line, widths);
    return {std::string(f.pitch), std::string(f.volume), std::string(f.duration)};
}

ReaderLimits readerLimits(Reader reader) {
    switch (reader) {
    case Reader::Player:
        return {{4, 3, 8}, 100000};
    case Reader::Score:
        return {{3, 3, 8}, 100000};
    case Reader::Pattern:
        return {{5, 3, 6}, 10000};
    }
    return {{4, 3, 8}, 100000};
}

namespace {

// The rows of the lines that `next` hands out one by one, so that a file's lines need not be
// held: a row limit refuses at the first row beyond it, reading no further.
template <class NextLine>
std::vector<ToneRow> toneRows(NextLine next, size_t lineCount, Reader reader, bool midiMode,
                              char decimal, Dialogs& dialogs, const std::string& fileText) {
    const ReaderLimits limits = readerLimits(reader);
    const bool pattern = reader == Reader::Pattern;
    Fehlerfrage fehlerfrage(dialogs);
    std::vector<ToneRow> rows;
    rows.reserve(std::min(lineCount, static_cast<size_t>(limits.rowLimit)));
    std::string buffer;
    for (const std::string* at; (at = next(buffer)) != nullptr;) {
        const std::string& line = *at;
        FieldViews f;
        int written[3];
        const bool integral = scanWrittenForm(line, limits.widths, f, written);
        if (!integral && isSkippedLine(line)) continue;
        if (static_cast<int>(rows.size()) >= limits.rowLimit)
            failCommand(dialogs, "Die Datei " + fileText + " enthält mehr als " +
                                     plainText(limits.rowLimit) +
                                     " Töne - mehr kann nicht gelesen werden.");
        double pitch, volume, duration;
        if (integral) {
            pitch = written[0];
            volume = written[1];
            duration = written[2];
        } else {
            f = scanFieldViews(line, limits.widths);
            pitch = numericPrefix(f.pitch);
            volume = numericPrefix(f.volume);
            duration = numericPrefix(f.duration);
        }
        auto converted = [&](double value, std::string_view text) -> std::int16_t {
            // A written field is a whole number of at most 8 digits: only the upper clamp of
            // the conversion can apply, under either decimal separator.
            if (integral) return static_cast<std::int16_t>(std::min(value, 32767.0));
            return toInt16(decimal == '.' ? value : parseLocale(text, decimal));
        };

        ToneRow& row = rows.emplace_back();
        if (pitch < 1) {
            fehlerfrage(joined("Falschen Wert für HT eingelesen: ", f.pitch));
            row.pitch = 1;
        } else if (pitch > 127 && (pattern || midiMode)) {
            fehlerfrage(joined("Wert für HT größer 127 eingelesen: ", f.pitch));
            row.pitch = 127;
        } else {
            row.pitch = converted(pitch, f.pitch);
        }

        if (volume < 1) {
            if (!pattern)
                fehlerfrage(joined("Wert für LT kleiner 1 eingelesen! ...", f.volume,
                                   "... (Fehler in Tonfex.txt)"));
            row.volume = 1;
        } else if (volume > 127) {
            if (pattern)
                fehlerfrage(joined("Wert für LT größer 127 eingelesen: ", f.volume));
            else
                fehlerfrage(joined("Wert für LT größer 127 eingelesen! ...", f.volume,
                                   "... (Fehler in Tonfex.txt)"));
            row.volume = 127;
        } else {
            row.volume = converted(volume, f.volume);
        }

        if (duration < 1) {
            if (pattern) fehlerfrage("Wert für DT kleiner 1 eingelesen!");
            row.durationText.assign(1, '1');
            row.durationValue = 1;
        } else {
            row.durationText.assign(f.duration);
            row.durationValue = duration;
        }
    }
    return rows;
}

} // namespace

void failMissing(Dialogs& dialogs, const std::filesystem::path& path,
                 const std::string& fileText) {
    const std::string text = fileText + " ist nicht vorhanden!";
    failCommand(dialogs,
                names::isDefault(utf8FromPath(path.filename())) ? withDefaultsHint(text) : text);
}

std::vector<ToneRow> readToneRows(const std::vector<std::string>& lines, Reader reader,
                                  bool midiMode, char decimal, Dialogs& dialogs,
                                  const std::string& fileText) {
    auto it = lines.begin();
    auto next = [&](std::string&) { return it == lines.end() ? nullptr : &*it++; };
    return toneRows(next, lines.size(), reader, midiMode, decimal, dialogs, fileText);
}

std::vector<ToneRow> readToneRows(LineReader& lines, Reader reader, bool midiMode, char decimal,
                                  Dialogs& dialogs, const std::string& fileText) {
    auto next = [&](std::string& line) { return lines.next(line) ? &line : nullptr; };
    return toneRows(next, 0, reader, midiMode, decimal, dialogs, fileText);
}

LineReader openLinesOrFail(Files& files, Dialogs& dialogs, const std::filesystem::path& path,
                           const std::string& fileText, size_t maxLineBytes) {
    LineReader reader(files, path, maxLineBytes);
    if (!reader.opened()) failMissing(dialogs, path, fileText);
    return reader;
}

std::vector<ToneRow> readToneFile(Files& files, Dialogs& dialogs,
                                  const std::filesystem::path& path, const std::string& fileText,
                                  Reader reader, bool midiMode, char decimal) {
    LineReader lines = openLinesOrFail(files, dialogs, path, fileText, kToneLineBytes);
    auto rows = readToneRows(lines, reader, midiMode, decimal, dialogs, fileText);
    if (lines.failed()) failMissing(dialogs, path, fileText);
    return rows;
}

std::vector<std::string> readLinesOrFail(Files& files, Dialogs& dialogs,
                                         const std::filesystem::path& path,
                                         const std::string& fileText) {
    auto lines = readTextLines(files, path);
    if (!lines) failMissing(dialogs, path, fileText);
    return *lines;
}

void Patternleser(Files& files, Dialogs& dialogs, const std::filesystem::path& path,
                  const std::string& fileText, Pattern& buffer) {
    auto rows = readToneFile(files, dialogs, path, fileText, Reader::Pattern, false, '.');
    for (size_t r = 0; r < rows.size(); ++r) {
        buffer.Tonhoehe[r + 1] = rows[r].pitch;
        buffer.Lautstaerke[r + 1] = rows[r].volume;
        buffer.Tondauer[r + 1] = rows[r].durationValue;
    }
    buffer.Zeilen = static_cast<int>(rows.size());
}

} // namespace tonfex
