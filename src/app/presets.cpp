// Presets (dated copies of the four files of a piece of work), the parking slot HHHHH.rpp
// and Samplemix, which puts the settings template in place.
#include "app/app.h"

#include "core/errors.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "settings/template.h"

#include <array>

namespace tonfex {

namespace {

constexpr const char* kQuestionTitle = "Frage zur Sicherheit";
// The most stored presets the chooser lists: ten a day for almost three years.
constexpr int kPresetLogLines = 10000;

// A No to a safety question ends the command with nothing changed; the command line tells it
// by its exit status.
void confirmOrEnd(Dialogs& dialogs, const std::string& question) {
    if (!dialogs.ask(kQuestionTitle, question)) throw CommandEnd();
}

// Day, month, year, hour, minute and second from the clock's texts: 030327-0905-07.
std::string presetStamp(const LocalTime& t) {
    const std::string date = dateText(t), time = timeText(t);
    auto part = [](const std::string& s, size_t from, size_t n) {
        return from < s.size() ? s.substr(from, n) : std::string();
    };
    auto last2 = [](const std::string& s) { return s.size() >= 2 ? s.substr(s.size() - 2) : s; };
    return part(date, 0, 2) + part(date, 3, 2) + last2(date) + "-" + part(time, 0, 2) +
           part(time, 3, 2) + "-" + last2(time);
}

// The working files of a preset and the names of their stored copies, in storing order.
constexpr std::array<std::string_view, 4> kWorkingFiles = {names::ini, names::sampleProject,
                                                           names::capella01, names::capella02};
std::array<std::string, 4> storedNames(const std::string& stamp) {
    return {"Tonfex-" + stamp + ".ini", "Tonfex-HCR-" + stamp + ".rpp",
            "Tonfex-01-" + stamp + ".cap", "Tonfex-02-" + stamp + ".cap"};
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string out;
    for (const auto& p : parts)
        out += (out.empty() ? "" : separator) + p;
    return out;
}

std::string dateAndTime(Clock& clock) {
    LocalTime t = clock.now();
    return "am " + dateText(t) + " um " + timeText(t) + " Uhr";
}

// The stamp of a chooser line that names a stored settings file of the working folder, or
// "" for any other line (empty, another folder, "..", a different name).
std::string stampOfLine(const WorkFolder& folder, std::string line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.pop_back();
    // The log holds full paths; the folder part may be spelled differently from the folder in
    // use (relative when stored, through a link, with doubled separators).
    const std::filesystem::path named = pathFromUtf8(line);
    const std::string name = utf8FromPath(named.filename());
    const std::string prefix = "Tonfex-", ending = ".ini";
    if (line.empty() || !named.has_parent_path() || name.size() <= prefix.size() + ending.size() ||
        name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - ending.size(), ending.size(), ending) != 0 ||
        !sameFolder(named.parent_path(), folder.dir))
        return "";
    std::string stamp = name.substr(prefix.size(), name.size() - prefix.size() - ending.size());
    // The stamp becomes part of three file names: nothing that leaves the folder or that no
    // file name can hold (separators, "..", control characters such as NUL).
    if (stamp.find("..") != std::string::npos) return "";
    for (char c : stamp)
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            return "";
    return stamp;
}

void copyOrFail(App& app, std::string_view from, std::string_view to) {
    Files& files = app.platform.files;
    if (!files.exists(app.folder.path(from)))
        failCommand(app.platform.dialogs,
                    app.folder.text(from) + " ist nicht vorhanden. Es wurde nichts kopiert.");
    if (std::string error = files.copy(app.folder.path(from), app.folder.path(to)); !error.empty())
        failCommand(app.platform.dialogs, app.folder.text(to) + ": " + error);
}

} // namespace

void App::Speichern_Click() {
    confirmOrEnd(platform.dialogs, "die aktuellen Einstellungen wirklich speichern?");
    Speichern2_Click();
}

void App::Speichern2_Click() {
    const auto stored = storedNames(presetStamp(platform.clock.now()));
    std::vector<std::string> copies, missing, missingScores, failed;
    bool settingsStored = false;
    for (size_t i = 0; i < kWorkingFiles.size(); ++i) {
        if (!platform.files.exists(folder.path(kWorkingFiles[i]))) {
            // A new folder has no scores yet: the preset is the settings and the samples.
            (i >= 2 ? missingScores : missing).push_back(folder.text(kWorkingFiles[i]));
            continue;
        }
        std::string error =
            platform.files.copy(folder.path(kWorkingFiles[i]), folder.path(stored[i]));
        if (!error.empty()) {
            failed.push_back(folder.text(stored[i]) + ": " + error);
            continue;
        }
        copies.push_back(folder.text(stored[i]));
        settingsStored = settingsStored || i == 0;
    }
    // Only a stored settings file makes a preset that the chooser can load.
    if (settingsStored)
        if (std::string error = appendTextLines(platform.files, folder.path(names::presetLog),
                                                {folder.text(stored[0])});
            !error.empty())
            failed.push_back(folder.text(names::presetLog) + ": " + error);
    if (!copies.empty()) {
        platform.clipboard.clear();
        platform.clipboard.setText(joined(copies, "\r\n"));
    }
    if (!missingScores.empty())
        platform.dialogs.tell("Preset", "Noch nicht vorhanden und deshalb nicht im Preset:\n" +
                                            joined(missingScores, "\n"));
    if (missing.empty() && failed.empty()) return;
    std::string text;
    if (!missing.empty())
        text = "Nicht vorhanden und deshalb nicht gespeichert:\n" + joined(missing, "\n");
    if (!failed.empty())
        text +=
            (text.empty() ? "" : "\n") + std::string("Nicht gespeichert:\n") + joined(failed, "\n");
    failCommand(platform.dialogs, text);
}

void App::Load_Click() {
    c.linienVisible = true;
    c.Lini.clear();
    // A missing log just means that nothing was stored yet: the chooser stays empty. Each line
    // names a stored file by its path, which fits in 4096 bytes.
    auto read = readFirstLines(platform.files, folder.path(names::presetLog), kPresetLogLines, 4096);
    if (!read) return;
    if (read->more)
        failCommand(platform.dialogs, "Die Liste der gespeicherten Einstellungen " +
                                          folder.text(names::presetLog) + " hat mehr als " +
                                          plainText(kPresetLogLines) +
                                          " Zeilen; so viele fasst die Auswahl nicht!");
    for (auto& line : read->lines)
        c.Lini.add(line);
}

void App::Lini_Click(int index) {
    const auto& lines = c.Lini.lines();
    const std::string line = index >= 0 && index < static_cast<int>(lines.size())
                                 ? lines[static_cast<size_t>(index)]
                                 : "";
    const std::string stamp = stampOfLine(folder, line);
    if (line.empty())
        failCommand(platform.dialogs, "Die gewählte Zeile ist leer. Es wurde nichts geladen.");
    if (stamp.empty())
        failCommand(platform.dialogs, "Die Zeile \"" + line +
                                          "\" nennt keine gespeicherte Einstellungsdatei in " +
                                          utf8FromPath(folder.dir) + ". Es wurde nichts geladen.");
    const auto stored = storedNames(stamp);
    for (size_t i = 0; i < 2; ++i)
        if (!platform.files.exists(folder.path(stored[i])))
            failCommand(platform.dialogs,
                        "Das Preset ist unvollständig: " + folder.text(stored[i]) +
                            " ist nicht vorhanden. Es wurde nichts geladen.");

    c.linienVisible = false;
    if (std::string error = platform.files.copy(folder.path(stored[0]), folder.path(names::ini));
        !error.empty())
        failCommand(platform.dialogs, folder.text(names::ini) + ": " + error);
    bool whole = true;
    if (std::string error =
            platform.files.copy(folder.path(stored[1]), folder.path(names::sampleProject));
        !error.empty()) {
        platform.dialogs.tell("FEHLER", folder.text(names::sampleProject) + ": " + error);
        whole = false;
    }
    // Scores and the note in the program description: a failure skips the rest silently,
    // so a preset without stored scores still loads its settings and samples.
    whole = whole &&
            platform.files.copy(folder.path(stored[2]), folder.path(names::capella01)).empty() &&
            platform.files.copy(folder.path(stored[3]), folder.path(names::capella02)).empty() &&
            appendTextLines(platform.files, proginfoPath(),
                            {"", "Zuletzt geladenes Preset: " + line, dateAndTime(platform.clock)})
                .empty();
    if (whole) {
        c.List2.fore = colors::blue;
        Textscroller(proginfoPath());
    }
    PresetGeladen = true;
    Kurzubersicht_Click();
}

void App::parkSampleProject() {
    copyOrFail(*this, names::sampleProject, names::parking);
}

void App::parkProject() {
    copyOrFail(*this, names::project, names::parking);
}

void App::restoreSampleProject() {
    confirmOrEnd(platform.dialogs, "wirklich Tonfex-HCR.rpp überschreiben?");
    copyOrFail(*this, names::parking, names::sampleProject);
}

void App::Samplemix_Click() {
    confirmOrEnd(platform.dialogs, "wirklich Samplemix? (Tonfex.ini wird dann verändert)?");
    if (std::string error =
            writeTextLines(platform.files, folder.path(names::ini), settingsTemplate());
        !error.empty())
        failCommand(platform.dialogs, folder.text(names::ini) + ": " + error);
    if (std::string error =
            appendTextLines(platform.files, proginfoPath(),
                            {"", "Es wurde Samplemix durchgeführt", dateAndTime(platform.clock)});
        !error.empty())
        platform.dialogs.tell("FEHLER", utf8FromPath(proginfoPath()) + ": " + error);
    c.List2.fore = colors::blue;
    Textscroller(proginfoPath());
    SamplemixFlag = true;
    Kurzubersicht_Click();
}

} // namespace tonfex
