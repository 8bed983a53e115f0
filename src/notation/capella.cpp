#include "notation/capella.h"

#include "core/encoding.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "core/workfolder.h"
#include "melody/zeilenleser.h"
#include "notation/midi_import.h"
#include "notation/mxl.h"

#include <algorithm>
#include <functional>

namespace tonfex {

namespace {

int stepValue(const std::string& step) {
    static const std::pair<const char*, int> kSteps[] = {{"C", 0}, {"D", 2}, {"E", 4}, {"F", 5},
                                                         {"G", 7}, {"A", 9}, {"B", 11}};
    for (const auto& [name, value] : kSteps)
        if (step == name) return value;
    return -1;
}

// A tag's name without its namespace prefix.
std::string_view localName(const std::string& name) {
    const size_t colon = name.rfind(':');
    return colon == std::string::npos ? std::string_view(name)
                                      : std::string_view(name).substr(colon + 1);
}

// What a <note> says, before it is known whether the import takes it.
struct NoteMarkup {
    bool chord = false, grace = false, cue = false, rest = false, pitched = false;
    bool tieStart = false, durationSeen = false;
    std::optional<std::int16_t> pitch;
    std::int64_t duration = 0;
    std::string voice, staff;
    std::string step;
    std::int16_t alter = 0;
};

std::string counted(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

MusicXmlNotes readMusicXmlNotes(const std::vector<std::string>& lines, Dialogs& dialogs,
                                const std::string& xmlText, const std::string& patternText) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return readMusicXmlText(text, dialogs, xmlText, patternText);
}

std::string MusicXmlNotes::notice(const std::string& fileName) const {
    std::vector<std::string> parts;
    if (passed.chordTones > 0) parts.push_back(counted(passed.chordTones, "Akkordton", "Akkordtöne"));
    if (passed.otherVoices > 0)
        parts.push_back(counted(passed.otherVoices, "Note weiterer Stimmen", "Noten weiterer Stimmen"));
    if (passed.otherParts > 0)
        parts.push_back(
            counted(passed.otherParts, "Note weiterer Instrumente", "Noten weiterer Instrumente"));
    if (passed.graceNotes > 0)
        parts.push_back(counted(passed.graceNotes, "Vorschlagsnote", "Vorschlagsnoten"));
    if (passed.cueNotes > 0) parts.push_back(counted(passed.cueNotes, "Stichnote", "Stichnoten"));
    if (parts.empty()) return "";
    std::string text = "Aus " + fileName + " übergangen: ";
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : ", ") + parts[i];
    return text;
}

MusicXmlNotes readMusicXmlText(const std::string& text, Dialogs& dialogs,
                               const std::string& xmlText, const std::string& patternText) {
    const std::string unchanged = " - " + patternText + " bleibt unverändert.";
    MusicXmlNotes out;
    // The first part, its first staff, voice 1. Time runs in
    // divisions through the first part only, as notes, <backup> and <forward> move it; a gap
    // in the voice (a <forward> over it) becomes a rest.
    std::optional<std::string> firstPart;
    bool inFirstPart = true, divisionsSeen = false, inNote = false, inPitch = false;
    bool inMove = false, moveForward = false, anyTaken = false;
    std::int64_t time = 0, lastStart = 0, voiceEnd = 0, move = 0;
    std::string open; // the innermost open element whose text is wanted
    NoteMarkup note;
    bool tie = false;
    auto take = [&](ExportNote n) {
        ++out.rows;
        if (!n.rest) {
            if (tie) --out.rows;
            tie = n.tieStart;
        }
        if (out.rows > Pattern::kLast)
            failCommand(dialogs, xmlText + " enthält mehr als " + plainText(Pattern::kLast) +
                                     " Noten, so viele fasst ein Pattern nicht" + unchanged);
        out.notes.push_back(n);
    };
    auto endNote = [&] {
        if (note.grace) { // takes no time
            if (note.pitched) ++out.passed.graceNotes;
            return;
        }
        const std::int64_t start = note.chord ? lastStart : time;
        if (!note.chord) {
            lastStart = time;
            time += note.duration;
        }
        // A note without a voice or staff number is in the first.
        if ((!note.staff.empty() && note.staff != "1") ||
            (!note.voice.empty() && note.voice != "1")) {
            if (note.pitched) ++out.passed.otherVoices;
            return;
        }
        if (!note.pitched && !note.rest) { // unpitched percussion: its time is no rest
            voiceEnd = std::max(voiceEnd, start + note.duration);
            return;
        }
        if (note.cue) {
            if (note.pitched) ++out.passed.cueNotes;
            return;
        }
        if (note.chord && anyTaken) {
            if (note.pitched) ++out.passed.chordTones;
            return;
        }
        if (start > voiceEnd) { // time the voice skipped with <forward>
            ExportNote gap;
            gap.rest = true;
            gap.duration = toInt32(static_cast<double>(start - voiceEnd));
            take(gap);
        }
        voiceEnd = start + note.duration;
        anyTaken = true;
        ExportNote n;
        n.rest = note.rest && !note.pitched;
        n.pitch = note.pitch;
        n.duration = toInt32(static_cast<double>(note.duration));
        n.tieStart = note.tieStart;
        take(n);
    };

    const std::string damage = scanXml(text, [&](XmlToken&& t) {
        const bool isText = t.kind == XmlToken::Kind::Text;
        const bool isEnd = t.kind == XmlToken::Kind::End;
        const std::string_view name = localName(t.name);
        if (!isText && name == "part") {
            if (isEnd) {
                inFirstPart = false;
                return;
            }
            const std::string id = t.attribute("id").value_or("");
            if (!firstPart) firstPart = id;
            inFirstPart = id == *firstPart;
            return;
        }
        if (!inFirstPart) {
            if (t.kind == XmlToken::Kind::Start && name == "note") inNote = true;
            if (inNote && !isText && name == "pitch") note.pitched = true;
            if (isEnd && name == "note") {
                if (note.pitched) ++out.passed.otherParts;
                note = {};
                inNote = false;
            }
            return;
        }
        if (isEnd) {
            if (name == "note" && inNote) {
                endNote();
                note = {};
                inNote = false;
            } else if ((name == "backup" || name == "forward") && inMove) {
                time = moveForward ? time + move : std::max<std::int64_t>(0, time - move);
                inMove = false;
            } else if (name == "pitch") {
                inPitch = false;
            }
            open.clear();
            return;
        }
        if (!isText) {
            open = std::string(name);
            if (name == "note" && t.kind == XmlToken::Kind::Start) {
                if (inNote) endNote(); // an unclosed note ends where the next one starts
                note = {};
                inNote = true;
                inPitch = false;
            } else if ((name == "backup" || name == "forward") &&
                       t.kind == XmlToken::Kind::Start && !inNote) {
                inMove = true;
                moveForward = name == "forward";
                move = 0;
            } else if (inNote) {
                if (name == "chord") note.chord = true;
                if (name == "grace") note.grace = true;
                if (name == "cue") note.cue = true;
                if (name == "rest" && !note.pitched) note.rest = true;
                if (name == "pitch" && !note.pitched && !note.rest)
                    note.pitched = inPitch = t.kind == XmlToken::Kind::Start;
                if ((name == "tie" || name == "tied") && t.attribute("type") == "start")
                    note.tieStart = true;
            }
            return;
        }
        if (open == "divisions" && !divisionsSeen && !inNote) {
            out.divisions = toInt32(numericPrefix(t.text));
            divisionsSeen = true;
        } else if (inMove && open == "duration") {
            move = std::max<std::int64_t>(0, static_cast<std::int64_t>(numericPrefix(t.text)));
        } else if (!inNote) {
            return;
        } else if (inPitch && open == "step") {
            note.step = t.text;
        } else if (inPitch && open == "alter") {
            note.alter = toInt16(numericPrefix(t.text));
        } else if (inPitch && open == "octave") {
            // A step other than C to B leaves the pitch as it was before.
            if (int sv = stepValue(note.step); sv >= 0)
                note.pitch = toInt16(numericPrefix(t.text) * 12 + sv + note.alter);
        } else if (open == "duration" && !note.durationSeen) {
            note.duration = std::max<std::int64_t>(
                0, static_cast<std::int64_t>(toInt32(numericPrefix(t.text))));
            note.durationSeen = true;
        } else if (open == "voice") {
            note.voice = t.text;
        } else if (open == "staff") {
            note.staff = t.text;
        }
    });
    // A file that breaks off or is damaged is not taken in part.
    if (!damage.empty()) failCommand(dialogs, xmlText + ", " + damage + unchanged);
    if (inNote && inFirstPart) endNote();

    // Every duration is divided by the divisions: without them no duration can be read.
    if (!divisionsSeen)
        failCommand(dialogs, "In " + xmlText +
                                 " steht keine Angabe <divisions> (Teilung der Viertelnote)" +
                                 unchanged);
    if (out.divisions <= 0)
        failCommand(dialogs, "In " + xmlText + " ist <divisions> " + plainText(out.divisions) +
                                 ", die Notenlängen lassen sich so nicht lesen" + unchanged);
    return out;
}

int applyNotes(const MusicXmlNotes& xml, Overwrite overwrite, std::int16_t& currentPitch,
               Pattern& buffer) {
    auto units = [&xml](std::int64_t d) {
        return static_cast<double>(toInt32(static_cast<double>(d) / xml.divisions * 2000));
    };
    const auto firstPitch = std::find_if(xml.notes.begin(), xml.notes.end(),
                                         [](const ExportNote& n) { return !n.rest && n.pitch; });
    bool pitchSeen = false;
    bool tie = false;
    std::int64_t sum = 0; // tied notes of the longest durations add up beyond 32 bits
    size_t j = 0;
    for (const ExportNote& note : xml.notes) {
        ++j;
        if (note.rest) {
            // A rest before the first pitched note takes that note's pitch, so that its row is
            // written; a later rest the pitch before it.
            if (!pitchSeen && firstPitch != xml.notes.end()) currentPitch = *firstPitch->pitch;
            if (overwrite.pitches) buffer.Tonhoehe[j] = currentPitch;
            if (overwrite.durations) buffer.Tondauer[j] = units(note.duration);
            if (overwrite.volumes) buffer.Lautstaerke[j] = 1;
            continue;
        }
        if (note.pitch) currentPitch = *note.pitch;
        pitchSeen = pitchSeen || note.pitch.has_value();
        if (!tie) {
            sum = note.duration;
            if (overwrite.pitches) buffer.Tonhoehe[j] = currentPitch;
            if (overwrite.durations) buffer.Tondauer[j] = units(sum);
            if (overwrite.volumes) buffer.Lautstaerke[j] = note.volume.value_or(100);
        } else {
            // The note continues the one before: one row with the summed duration.
            sum += note.duration;
            --j;
            if (overwrite.durations) buffer.Tondauer[j] = units(sum);
        }
        tie = note.tieStart;
    }
    return static_cast<int>(j);
}

std::vector<std::string> patternFileLines(const Pattern& buffer, int rows, char decimal) {
    std::vector<std::string> lines;
    for (int r = 1; r <= rows; ++r) {
        const auto i = static_cast<size_t>(r);
        if (buffer.Tonhoehe[i] == 0) continue;
        lines.push_back(plainText(buffer.Tonhoehe[i]) + "  " + plainText(buffer.Lautstaerke[i]) +
                        "  " + plainText(buffer.Tondauer[i], decimal));
    }
    return lines;
}

namespace {

// The text as its lines would give it joined with LF: CR LF and CR become LF, and a last line
// gets its line end.
std::string textWithLineFeeds(std::string text) {
    size_t w = 0;
    for (size_t r = 0; r < text.size(); ++r) {
        if (text[r] == '\r') {
            if (r + 1 < text.size() && text[r + 1] == '\n') ++r;
            text[w++] = '\n';
        } else {
            text[w++] = text[r];
        }
    }
    text.resize(w);
    if (!text.empty() && text.back() != '\n') text += '\n';
    return text;
}

} // namespace

namespace {
// Asks what to overwrite, loads the existing pattern, applies the notes, writes the pattern file
// and lists it in Zuordnung; `midi` words the questions and the heading for a MIDI file.
void storePattern(const MusicXmlNotes& xml, const std::filesystem::path& patternPath,
                  ImportContext& ctx, bool midi, const std::string& sourceText,
                  const std::string& sourceName);
} // namespace

void CapellaLesen(const std::filesystem::path& xmlPath, const std::filesystem::path& patternPath,
                  ImportContext& ctx) {
    const std::string patternText = utf8FromPath(patternPath);
    // The export under the first of its names that exists: as Capella and MuseScore's
    // "Tonfex-01.xml", MuseScore's default "Tonfex-01.musicxml", or compressed "Tonfex-01.mxl".
    // It is read first, so that a missing or unreadable one asks nothing in vain.
    std::filesystem::path path = xmlPath;
    for (const char* extension : {".musicxml", ".mxl"})
        if (!ctx.files.exists(path)) path = std::filesystem::path(xmlPath).replace_extension(extension);
    const std::string xmlText = utf8FromPath(path);
    auto read = readFirstBytes(ctx.files, path, kMusicXmlBytes);
    if (!read) {
        auto named = [&xmlPath](const char* extension) {
            return utf8FromPath(std::filesystem::path(xmlPath).replace_extension(extension).filename());
        };
        failMissing(ctx.dialogs, xmlPath,
                    utf8FromPath(xmlPath) + " (auch " + named(".musicxml") + " und " +
                        named(".mxl") + ")");
    }
    if (read->more)
        failCommand(ctx.dialogs, xmlText + " ist größer als " +
                                     plainText(static_cast<int>(kMusicXmlBytes >> 20)) +
                                     " MB, so große Partituren liest der Import nicht - " +
                                     patternText + " bleibt unverändert.");
    if (path.extension() == ".mxl") {
        MxlScore score = unpackMxl(read->bytes, kMusicXmlBytes, xmlText);
        if (!score.error.empty())
            failCommand(ctx.dialogs, score.error + " - " + patternText + " bleibt unverändert.");
        read->bytes = std::move(score.text);
    }
    const MusicXmlNotes xml =
        readMusicXmlText(textWithLineFeeds(decodeFileText(std::move(read->bytes))), ctx.dialogs,
                         xmlText, patternText);

    storePattern(xml, patternPath, ctx, false, xmlText,
                 utf8FromPath(path.filename()));
}

void MidiLesen(const std::filesystem::path& midiPath, const std::filesystem::path& patternPath,
               ImportContext& ctx) {
    const std::string midiText = utf8FromPath(midiPath);
    const std::string patternText = utf8FromPath(patternPath);
    auto read = readFirstBytes(ctx.files, midiPath, kMidiImportBytes);
    if (!read) failMissing(ctx.dialogs, midiPath, midiText);
    if (read->more)
        failCommand(ctx.dialogs, midiText + " ist größer als " +
                                     plainText(static_cast<int>(kMidiImportBytes >> 20)) +
                                     " MB, so große MIDI-Dateien liest der Import nicht - " +
                                     patternText + " bleibt unverändert.");
    const MusicXmlNotes notes = readMidiNotes(read->bytes, ctx.dialogs, midiText, patternText);
    storePattern(notes, patternPath, ctx, true, midiText,
                 utf8FromPath(midiPath.filename()));
}

namespace {
void storePattern(const MusicXmlNotes& xml, const std::filesystem::path& patternPath,
                  ImportContext& ctx, bool midi, const std::string& sourceText,
                  const std::string& sourceName) {
    const std::string patternText = utf8FromPath(patternPath);
    Overwrite overwrite;
    if (!ctx.keineFrage) {
        const std::string from = midi ? "aus der MIDI-Datei" : "aus Capella";
        overwrite.pitches = ctx.dialogs.ask(
            "Vorsicht", "Die TONHÖHEN werden mit Werten " + from + " überschrieben - ok?");
        overwrite.volumes = ctx.dialogs.ask(
            "Vorsicht", midi ? "Die LAUTSTÄRKEN werden mit den Anschlagstärken der MIDI-Datei "
                               "überschrieben - ok?"
                             : "Die LAUTSTÄRKEN werden mit 100 überschrieben - ok?");
        overwrite.durations = ctx.dialogs.ask(
            "Vorsicht", "Die TONDAUERN werden mit Werten " + from + " überschrieben - ok?");
    }

    // The first import of a pattern has no file to update yet: it starts from an empty one.
    if (ctx.files.exists(patternPath))
        Patternleser(ctx.files, ctx.dialogs, patternPath, patternText, ctx.buffer);
    else
        ctx.buffer.Zeilen = 0;
    // Rows the existing file does not have are empty, whatever an earlier read left there.
    for (size_t r = static_cast<size_t>(ctx.buffer.Zeilen) + 1; r < ctx.buffer.Tonhoehe.size();
         ++r) {
        ctx.buffer.Tonhoehe[r] = ctx.buffer.Lautstaerke[r] = 0;
        ctx.buffer.Tondauer[r] = 0;
    }

    const int rows = applyNotes(xml, overwrite, ctx.currentPitch, ctx.buffer);
    ctx.buffer.Zeilen = rows;
    const auto lines = patternFileLines(ctx.buffer, rows, ctx.decimal);
    if (std::string error = writeTextLines(ctx.files, patternPath, lines); !error.empty())
        failCommand(ctx.dialogs, "Die Patterndatei " + patternText +
                                     " konnte nicht geschrieben werden: " + error);

    ctx.zuordnung.clear();
    ctx.zuordnung.add(midi ? "Pattern von der MIDI-Datei" : "Pattern von der Capelladatei");
    ctx.zuordnung.add("Datei " + patternText);
    ctx.zuordnung.add("Gelesen aus " + sourceText);
    if (std::string notice = xml.notice(sourceName); !notice.empty())
        ctx.zuordnung.add(notice);
    ctx.zuordnung.add("");
    for (const auto& line : lines)
        ctx.zuordnung.add(line);
    ctx.zuordnung.add("");
}

} // namespace

} // namespace tonfex
