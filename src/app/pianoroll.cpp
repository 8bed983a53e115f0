#include "app/pianoroll.h"

#include "core/errors.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "generation/ruletable.h"
#include "melody/zeilenleser.h"
#include "settings/settings.h"

#include <algorithm>

namespace tonfex {

namespace {

// Answers the player's read questions with Yes, as a picture must not ask, and counts them.
class CountingDialogs : public Dialogs {
public:
    bool ask(const std::string&, const std::string&) override {
        ++questions;
        return true;
    }
    void tell(const std::string&, const std::string& text) override { message = text; }
    int questions = 0;
    std::string message;
};

// The roll of the rows `readRows` gives, reading with the player's checks.
template <class ReadRows>
PianoRoll pianoRoll(ReadRows readRows, bool durationsDirect,
                    const std::vector<double>& durationList, char decimal) {
    PianoRoll roll;
    CountingDialogs dialogs;
    std::vector<ToneRow> rows;
    try {
        rows = readRows(dialogs);
    } catch (const CommandEnd&) {
        roll.error = dialogs.message;
        return roll;
    }
    roll.corrected = dialogs.questions;
    roll.tones.reserve(rows.size());
    double at = 0;
    bool first = true;
    for (const auto& row : rows) {
        RollTone t;
        t.pitch = row.pitch;
        t.volume = row.volume;
        if (durationsDirect) {
            t.length = parseLocale(row.durationText, decimal);
        } else {
            std::int32_t index = toInt32(row.durationValue);
            t.length = index >= 1 && index <= static_cast<std::int32_t>(durationList.size())
                           ? durationList[static_cast<size_t>(index - 1)]
                           : 0.0;
        }
        if (!(t.length > 0)) t.length = 0;
        t.start = at;
        at += t.length;
        if (t.volume <= 1) {
            ++roll.rests;
        } else if (first) {
            roll.low = roll.high = t.pitch;
            first = false;
        } else {
            roll.low = std::min(roll.low, t.pitch);
            roll.high = std::max(roll.high, t.pitch);
        }
        roll.tones.push_back(t);
    }
    roll.total = at;
    if (roll.total <= 0) {
        // Without durations every tone gets the same width, so the order still shows.
        for (size_t k = 0; k < roll.tones.size(); ++k) {
            roll.tones[k].start = static_cast<double>(k);
            roll.tones[k].length = 1;
        }
        roll.total = static_cast<double>(roll.tones.size());
    }
    if (roll.tones.empty()) roll.error = "Die Melodiedatei enthält keine Töne.";
    return roll;
}

} // namespace

PianoRoll pianoRollFromLines(const std::vector<std::string>& melodyLines, bool durationsDirect,
                             const std::vector<double>& durationList, bool midiMode, char decimal) {
    auto readRows = [&](Dialogs& dialogs) {
        return readToneRows(melodyLines, Reader::Player, midiMode, decimal, dialogs, "Tonfex.txt");
    };
    return pianoRoll(readRows, durationsDirect, durationList, decimal);
}

PianoRoll readPianoRoll(Files& files, const WorkFolder& folder, char decimal) {
    LineReader melody(files, folder.path(names::melody), kToneLineBytes);
    if (!melody.opened()) {
        PianoRoll roll;
        roll.error = folder.text(names::melody) + " ist nicht vorhanden!";
        return roll;
    }
    Settings s;
    if (IniTable table; readIniTable(files, folder.path(names::ini), table)) {
        s = convertSettings(table, decimal);
        forceRuleSettings(s);
    }
    std::vector<double> durations;
    // The list as far as the player takes it: 32767 numbers, each at a line's start.
    if (s.TONDAUERDIREKT == 0) {
        LineReader list(files, folder.path(names::durations), 4096);
        for (std::string line; durations.size() < 32767 && list.next(line);)
            durations.push_back(numericPrefix(line));
    }
    auto readRows = [&](Dialogs& dialogs) {
        return readToneRows(melody, Reader::Player, s.sound() == 1, decimal, dialogs, "Tonfex.txt");
    };
    return pianoRoll(readRows, s.TONDAUERDIREKT != 0, durations, decimal);
}

FileStamp fileStamp(const std::filesystem::path& path) {
    FileStamp stamp;
    std::error_code ec;
    stamp.time = std::filesystem::last_write_time(path, ec);
    if (ec) return {};
    stamp.size = std::filesystem::file_size(path, ec);
    if (ec) return {};
    stamp.present = true;
    return stamp;
}

} // namespace tonfex
