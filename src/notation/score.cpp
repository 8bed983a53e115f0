#include "notation/score.h"

#include "core/numbers.h"
#include "core/textfile.h"
#include "melody/zeilenleser.h"

#include <algorithm>
#include <cmath>

namespace tonfex {

namespace {

const std::array<NoteRung, 9> kRungs = {{{"128th", 15},
                                         {"64th", 30},
                                         {"32nd", 60},
                                         {"16th", 120},
                                         {"eighth", 240},
                                         {"quarter", 480},
                                         {"half", 960},
                                         {"whole", 1920},
                                         {"breve", 3840}}};

// Clef, time signature and ladder as the settings give them.
struct ScoreSettings {
    std::string sign, line;
    std::string beats, beatType; // both empty: no time signature
    Ladder ladder;
};

ScoreSettings checkedSettings(const Settings& s, Dialogs& dialogs, const std::string& scoreText) {
    const std::string unchanged = " - " + scoreText + " bleibt unverändert.";
    ScoreSettings out;
    auto ladder = noteLadder(s.KURZESTWERT);
    if (!ladder)
        failCommand(dialogs, "KURZESTWERT " + plainText(s.KURZESTWERT) +
                                 " ist nicht möglich (128, 64, 32, 16, 8 oder 4)" + unchanged);
    out.ladder = *ladder;

    // MusicXML has no clef without a sign; an empty one makes the score unreadable.
    if (s.VBSCHLUSSEL != 1 && s.VBSCHLUSSEL != 2)
        failCommand(dialogs, "VBSCHLUSSEL " + plainText(s.VBSCHLUSSEL) +
                                 " ist nicht möglich (1 = Violinschlüssel, 2 = Bass-Schlüssel)" +
                                 unchanged);
    const bool treble = s.VBSCHLUSSEL == 1;
    out.sign = std::string(1, treble ? 'G' : 'F');
    out.line = std::string(1, treble ? '2' : '4');

    if (numericPrefix(s.TAKT) != 0) {
        std::string digits;
        for (char c : s.TAKT)
            if (c >= '0' && c <= '9') digits += c;
        bool fits = digits.size() == 2 || digits.size() == 3;
        if (fits) {
            out.beats = digits.substr(0, 1);
            out.beatType = plainText(std::stoi(digits.substr(1)));
        }
        if (!fits || out.beats == "0" || out.beatType == "0")
            failCommand(dialogs, "TAKT " + s.TAKT +
                                     " ist keine Taktangabe (z.B. 44 für 4/4, 68 für 6/8, 716 "
                                     "für 7/16)" +
                                     unchanged);
    }
    return out;
}

std::string element(const std::string& tag, const std::string& value) {
    return "<" + tag + ">" + value + "</" + tag + ">";
}

class Lines {
public:
    void add(int blanks, const std::string& text) {
        lines.push_back(std::string(static_cast<size_t>(blanks), ' ') + text);
    }
    std::vector<std::string> lines;
};

std::string isoDate(const LocalTime& t) {
    auto two = [](int v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
    return std::to_string(t.year) + "-" + two(t.month) + "-" + two(t.day);
}

void writeHeader(Lines& out, const LocalTime& today) {
    out.add(0, R"(<?xml version="1.0" encoding="UTF-8" standalone="no"?>)");
    out.add(0, "<!--MusicXML 1.1 file created by CapToMusic.py CapXML to MusicXML converter "
               "version 1.11-->");
    out.add(0, R"(<!DOCTYPE score-partwise PUBLIC "-//Recordare//DTD MusicXML 1.1 Partwise//EN" )"
               R"("http://www.musicxml.org/dtds/partwise.dtd">)");
    out.add(0, R"(<score-partwise version="1.1">)");
    out.add(4, "<identification>");
    out.add(8, "<encoding>");
    out.add(12, element("encoding-date", isoDate(today)));
    out.add(12, "<software>CapToMusic.py CapXML to MusicXML converter version 1.11</software>");
    out.add(12, "<encoding-description>Options: FinaleDolet33=1, ChordCaseMatters=0, "
                "ExportToSibelius=0</encoding-description>");
    out.add(8, "</encoding>");
    out.add(4, "</identification>");
    out.add(4, "<defaults>");
    out.add(8, "<scaling>");
    out.add(12, "<millimeters>1.8</millimeters>");
    out.add(12, "<tenths>10.0</tenths>");
    out.add(8, "</scaling>");
    out.add(8, "<page-layout>");
    out.add(12, "<page-height>1650</page-height>");
    out.add(12, "<page-width>1166</page-width>");
    out.add(12, R"(<page-margins type="both">)");
    // All four page margins are required; the left one comes first.
    out.add(16, "<left-margin>111</left-margin>");
    out.add(16, "<right-margin>111</right-margin>");
    out.add(16, "<top-margin>111</top-margin>");
    out.add(16, "<bottom-margin>111</bottom-margin>");
    out.add(12, "</page-margins>");
    out.add(8, "</page-layout>");
    out.add(8, "<system-layout>");
    out.add(12, "<system-margins>");
    out.add(16, "<left-margin>0</left-margin>");
    out.add(16, "<right-margin>0</right-margin>");
    out.add(12, "</system-margins>");
    out.add(12, "<system-distance>40</system-distance>");
    out.add(8, "</system-layout>");
    out.add(4, "</defaults>");
    out.add(4, "<credit>");
    out.add(8, "<credit-words></credit-words>");
    out.add(4, "</credit>");
    out.add(4, "<part-list>");
    out.add(8, R"(<score-part id="P1">)");
    out.add(12, "<part-name></part-name>");
    out.add(12, "<part-abbreviation></part-abbreviation>");
    out.add(12, R"(<score-instrument id="P1-I1">)");
    out.add(16, "<instrument-name>Midi_12</instrument-name>");
    out.add(12, "</score-instrument>");
    out.add(12, R"(<midi-instrument id="P1-I1">)");
    out.add(16, "<midi-channel>1</midi-channel>");
    out.add(16, "<midi-program>12</midi-program>");
    out.add(12, "</midi-instrument>");
    out.add(8, "</score-part>");
    out.add(4, "</part-list>");
    out.add(4, R"(<part id="P1">)");
    out.add(8, R"(<measure number="0">)");
    out.add(12, "<print>");
    out.add(16, "<system-layout>");
    out.add(20, "<system-margins>");
    out.add(24, "<left-margin>0</left-margin>");
    out.add(24, "<right-margin>0</right-margin>");
    out.add(20, "</system-margins>");
    out.add(20, "<top-system-distance>60</top-system-distance>");
    out.add(16, "</system-layout>");
    out.add(16, R"(<staff-layout number="1">)");
    out.add(20, "<staff-distance>20</staff-distance>");
    out.add(16, "</staff-layout>");
    out.add(12, "</print>");
    out.add(12, "<attributes>");
    out.add(16, "<divisions>480</divisions>");
    out.add(16, "<key>");
    out.add(20, "<fifths>0</fifths>");
    out.add(20, "<mode>major</mode>");
    out.add(16, "</key>");
}

void writeTimeAndClef(Lines& out, const ScoreSettings& ss) {
    out.add(16, "<time>");
    if (ss.beats.empty()) {
        out.add(20, "<senza-misura/>");
    } else {
        out.add(20, element("beats", ss.beats));
        out.add(20, element("beat-type", ss.beatType));
    }
    out.add(16, "</time>");
    out.add(16, "<clef>");
    out.add(20, element("sign", ss.sign));
    out.add(20, element("line", ss.line));
    out.add(16, "</clef>");
    out.add(12, "</attributes>");
}

void writeValue(Lines& out, const NoteValue& v) {
    out.add(16, element("duration", plainText(v.duration)));
    out.add(16, "<voice>1</voice>");
    out.add(16, element("type", v.type));
    for (int d = 0; d < v.dots; ++d)
        out.add(16, "<dot/>");
}

void writeNote(Lines& out, int pitch, const NoteValue& v) {
    static const char* const kSteps = "CCDDEFFGGAAB";
    static const bool kSharp[12] = {false, true,  false, true,  false, false,
                                    true,  false, true,  false, true,  false};
    int octave = static_cast<int>(std::floor(pitch / 12.0));
    int pitchClass = pitch - 12 * octave;
    out.add(12, "<note>");
    out.add(16, "<pitch>");
    out.add(20, element("step", std::string(1, kSteps[pitchClass])));
    if (kSharp[pitchClass]) out.add(20, "<alter>1</alter>");
    out.add(20, element("octave", plainText(octave)));
    out.add(16, "</pitch>");
    writeValue(out, v);
    if (kSharp[pitchClass]) out.add(16, "<accidental>sharp</accidental>");
    out.add(12, "</note>");
}

void writeRest(Lines& out, const NoteValue& v) {
    out.add(12, "<note>");
    out.add(16, "<rest/>");
    writeValue(out, v);
    out.add(12, "</note>");
}

void writeLineBreak(Lines& out, int measure) {
    out.add(20, "</measure>");
    out.add(20, "<measure number=\"" + plainText(measure) + "\">");
    out.add(24, R"(<print new-system="yes">)");
    out.add(28, "<system-layout>");
    out.add(32, "<system-margins>");
    out.add(36, "<left-margin>30</left-margin>");
    out.add(36, "<right-margin>0</right-margin>");
    out.add(32, "</system-margins>");
    out.add(32, "<system-distance>120</system-distance>");
    out.add(28, "</system-layout>");
    out.add(28, R"(<staff-layout number="1">)");
    out.add(32, "<staff-distance>20</staff-distance>");
    out.add(28, "</staff-layout>");
    out.add(24, "</print>");
}

void writeEnd(Lines& out) {
    out.add(8, "</measure>");
    out.add(4, "</part>");
    out.add(0, "</score-partwise>");
}

} // namespace

std::optional<Ladder> noteLadder(int kurzestwert) {
    int first = 0;
    switch (kurzestwert) {
    case 128:
        first = 0;
        break;
    case 64:
        first = 1;
        break;
    case 32:
        first = 2;
        break;
    case 16:
        first = 3;
        break;
    case 8:
        first = 4;
        break;
    case 4:
        first = 5;
        break;
    default:
        return std::nullopt;
    }
    Ladder ladder;
    for (int e = 0; e < 9; ++e)
        ladder[static_cast<size_t>(e)] = kRungs[std::min(first + e, 8)];
    return ladder;
}

NoteValue classifyDuration(double d, double dmin, const Ladder& ladder) {
    auto T = [dmin](double x) { return std::floor(dmin * std::exp2(x)); };
    auto value = [&ladder](int entry, int dots) {
        const NoteRung& rung = ladder[static_cast<size_t>(entry - 1)];
        const double factor = dots == 0 ? 1.0 : dots == 1 ? 1.5 : 1.75;
        return NoteValue{rung.type, toInt32(rung.duration * factor), dots};
    };
    if (d < T(0.8125)) return value(1, 0);
    for (int k = 1; k <= 8; ++k) {
        const double base = k - 1;
        if (T(base + 0.8125) <= d && d < T(base + 1.25)) return value(k + 1, 0);
        if (T(base + 1.25) <= d && d < T(base + 1.625)) return value(k + 1, 1);
        if (T(base + 1.625) <= d && d < T(base + 1.8125)) return value(k + 1, 2);
    }
    // Longer than every range: the longest value the ladder writes.
    return value(9, 2);
}

std::vector<std::string> scoreLines(const Settings& s, const Melody& melody, int n,
                                    const LocalTime& today, Dialogs& dialogs,
                                    const WorkFolder& folder) {
    const std::string scoreText = folder.text(names::score);
    const ScoreSettings ss = checkedSettings(s, dialogs, scoreText);
    const std::string unchanged = " - " + scoreText + " bleibt unverändert.";
    if (n < 1)
        failCommand(dialogs, "Die Melodiedatei " + folder.text(names::melody) +
                                 " enthält keine Töne" + unchanged);

    double dmax = 0;
    for (int i = 1; i <= n; ++i)
        dmax = std::max(dmax, melody.Tondauer[static_cast<size_t>(i)]);
    double dmin = dmax;
    for (int i = 1; i <= n; ++i)
        dmin = std::min(dmin, melody.Tondauer[static_cast<size_t>(i)]);
    // Every note value is a multiple of the shortest duration, so it must be above 0.
    if (!(dmin > 0))
        failCommand(dialogs, "Die kürzeste Tondauer der Melodie ist " + plainText(dmin, s.decimal) +
                                 " (Tonfex.txt und die Tondauernliste prüfen)" + unchanged);

    Lines out;
    writeHeader(out, today);
    writeTimeAndClef(out, ss);
    for (int i = 1; i <= n; ++i) {
        const auto idx = static_cast<size_t>(i);
        const int pitch = melody.Tonhoehe[idx] + s.TRANSPOSIWERT;
        const NoteValue v = classifyDuration(melody.Tondauer[idx], dmin, ss.ladder);
        if (melody.Lautstaerke[idx] <= 1) {
            writeRest(out, v);
        } else {
            const int octave = static_cast<int>(std::floor(pitch / 12.0));
            if (octave < 0 || octave > 9)
                failCommand(dialogs, "Ton " + plainText(i) + ": Die Tonhöhe " + plainText(pitch) +
                                         " (mit TRANSPOSIWERT " + plainText(s.TRANSPOSIWERT) +
                                         ") liegt in Oktave " + plainText(octave) +
                                         ", Noten gibt es nur in den Oktaven 0 bis 9" + unchanged);
            writeNote(out, pitch, v);
        }
        if (s.NOTENPROZEILE > 0 && i % s.NOTENPROZEILE == 0)
            writeLineBreak(out, i / s.NOTENPROZEILE);
    }
    writeEnd(out);
    return std::move(out.lines);
}

int readScoreMelody(const Settings& s, Melody& melody, const std::vector<double>& durationList,
                    Files& files, Dialogs& dialogs, const WorkFolder& folder) {
    melody.erase();
    const std::string fileText = folder.text(names::melody);
    auto rows = readToneFile(files, dialogs, folder.path(names::melody), fileText, Reader::Score,
                             s.sound() == 1, s.decimal);
    for (size_t r = 0; r < rows.size(); ++r) {
        const size_t i = r + 1;
        melody.Tonhoehe[i] = rows[r].pitch;
        melody.Lautstaerke[i] = rows[r].volume;
        if (s.TONDAUERDIREKT != 0) {
            melody.Tondauer[i] = parseLocale(rows[r].durationText, s.decimal);
        } else {
            const std::int32_t index = toInt32(rows[r].durationValue);
            melody.Tondauer[i] =
                index >= 0 && index < static_cast<std::int32_t>(durationList.size())
                    ? durationList[static_cast<size_t>(index)]
                    : 0.0;
        }
    }
    return static_cast<int>(rows.size());
}

void writeScoreFile(const Settings& s, Melody& melody, const std::vector<double>& durationList,
                    Files& files, Dialogs& dialogs, const WorkFolder& folder,
                    const LocalTime& today) {
    const std::string scoreText = folder.text(names::score);
    // Settings first, so that a wrong setting does not ask about the melody's lines in vain.
    checkedSettings(s, dialogs, scoreText);
    const int n = readScoreMelody(s, melody, durationList, files, dialogs, folder);
    auto lines = scoreLines(s, melody, n, today, dialogs, folder);
    std::string error = writeTextLines(files, folder.path(names::score), lines);
    if (!error.empty())
        failCommand(dialogs,
                    "Die Notendatei " + scoreText + " konnte nicht geschrieben werden: " + error);
}

} // namespace tonfex
