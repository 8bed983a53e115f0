#include "harness.h"

#include "app/defaults.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "sampler/catalog.h"
#include "settings/template.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

namespace fs = std::filesystem;

namespace tonfex::fuzz {

namespace {

// Every CR and every LF counts as a line end (an upper bound). memchr, not a loop: the
// sanitizers check a loop byte by byte, memchr once per call.
size_t lineCount(std::string_view bytes) {
    size_t n = 1;
    if (bytes.empty()) return n;
    for (char end : {'\n', '\r'})
        for (const char *p = bytes.data(), *stop = p + bytes.size();
             (p = static_cast<const char*>(std::memchr(p, end, static_cast<size_t>(stop - p))));
             ++p)
            ++n;
    return n;
}

// A whole write that counts the lines written (an upper bound: every line end counts once).
class CountingWriter : public WholeFileWriter {
public:
    CountingWriter(std::unique_ptr<WholeFileWriter> inner, size_t& most)
        : inner_(std::move(inner)), most_(most) {}
    void write(std::string_view bytes) override {
        count(bytes);
        inner_->write(bytes);
    }
    void rewriteStart(std::string_view bytes) override {
        count(bytes);
        inner_->rewriteStart(bytes);
    }
    std::string finish() override { return inner_->finish(); }

private:
    void count(std::string_view bytes) {
        lines_ += lineCount(bytes);
        most_ = std::max(most_, lines_);
    }
    std::unique_ptr<WholeFileWriter> inner_;
    size_t& most_;
    size_t lines_ = 0;
};

// The sample project with only the lines its reader takes, from the first item on: the same
// catalog and listing from a seventh of the reading. The targets that fuzz the project put
// their own; World checks once that both versions give the same scan.
std::string leanSampleProject(const std::string& bytes) {
    std::vector<std::string> kept;
    bool items = false;
    for (auto& line : splitLines(bytes)) {
        items = items || line.find("<ITEM") != std::string::npos;
        if (!items) continue;
        for (const char* keyword : {"<ITEM", "LENGTH", "NAME", "VOLPAN", "SOFFS", "PLAYRATE"})
            if (line.find(keyword) != std::string::npos) {
                kept.push_back(std::move(line));
                break;
            }
    }
    return encodeLines(kept);
}

ProjectScan scanOf(const std::string& bytes) {
    const auto lines = splitLines(bytes);
    size_t k = 0;
    std::vector<std::string> listing;
    return scanSampleProject(
        [&](std::string& line) { return k < lines.size() && (line = lines[k++], true); },
        &listing, '.');
}

bool everyRun = false;
std::string outcome;

} // namespace

// Everything a run uses, made once per process: the doubles, the working folder in memory with
// the default files, the window state and a fresh one to reset it from.
struct World {
    ScriptedDialogs dialogs;
    RecordingClipboard clipboard;
    RecordingProgramStarter programs;
    RecordingWindowCloser windows;
    FuzzClock clock;
    CountingEvents events;
    SteppingRandom random;
    ConfinedFiles files;
    Platform platform{dialogs, clipboard, programs, windows, clock, events, random, files};
    WorkFolder folder{fs::path("/fuzz/Arbeit")};
    MemoryFiles defaults;
    size_t defaultLines = 0;
    App app{platform, folder, '.', hostOs()};
    const App fresh{platform, folder, '.', hostOs()};
    long runs = 0;
    std::vector<std::pair<std::string, double>> commandTimes; // virtual seconds per command

    World() {
        files.folder = folder.dir;
        if (std::string error = ensureWorkFolder(defaults, folder); !error.empty())
            finding("the default working folder cannot be made: " + error);
        const auto project = folder.path(names::sampleProject);
        const std::string full = *defaults.bytes(project), lean = leanSampleProject(full);
        if (scanOf(full).entries != scanOf(lean).entries || scanOf(lean).entries.empty())
            finding("the lean sample project reads differently from the default one");
        defaults.put(project, lean);
        for (const auto& [path, bytes] : defaults.files())
            defaultLines = std::max(defaultLines, lineCount(*bytes));
    }

    // Gives the window state back the values of a fresh one. The 100001-entry tables are reset
    // up to `bound` only: no reader writes past the lines of a file it reads or the counts it
    // keeps; check() proves it now and then.
    void reset(size_t bound);
    void check(size_t bound) const;
    size_t bound() const;
};

namespace {

World& theWorld() {
    static World w;
    return w;
}

template <class T> void resetPrefix(std::vector<T>& table, const std::vector<T>& fresh, size_t n) {
    n = std::min(n, table.size());
    std::copy(fresh.begin(), fresh.begin() + static_cast<std::ptrdiff_t>(n), table.begin());
}

template <class T>
void checkRest(const std::vector<T>& table, const std::vector<T>& fresh, size_t from,
               const char* name) {
    if (table.size() != fresh.size())
        finding(std::string("the table ") + name + " changed its size to " +
                std::to_string(table.size()));
    for (size_t k = from; k < table.size(); ++k)
        if (!(table[k] == fresh[k]))
            finding(std::string("an input left entry ") + std::to_string(k) + " of " + name +
                    " beyond the reset's bound " + std::to_string(from) +
                    " (fuzz/harness.cpp World::bound)");
}

} // namespace

// The reset names every member of App; a new member changes the size and stops the build here
// until it is reset too.
#if defined(__linux__) && defined(__x86_64__) && defined(__GLIBCXX__) && !defined(_GLIBCXX_DEBUG)
static_assert(sizeof(App) == 22928, "App has changed: reset its new members in World::reset");
#endif

size_t World::bound() const {
    const Melody& m = app.melody;
    const SamplerState& st = app.samplerState;
    const long counts[] = {m.Tonzahl,
                           app.tonesRead,
                           app.Samplezahl,
                           st.Itemzahl,
                           app.soundingTone,
                           app.Patternpuffer.Zeilen,
                           app.Pattern01.Zeilen,
                           app.Pattern02.Zeilen,
                           static_cast<long>(files.mostLines)};
    long most = 0;
    for (long c : counts)
        most = std::max(most, c);
    return static_cast<size_t>(most) + 2;
}

void World::reset(size_t bound) {
    App& a = app;
    const App& f = fresh;
    a.folder = f.folder;
    a.decimal = f.decimal;
    a.os = f.os;
    std::destroy_at(&a.c);
    std::construct_at(&a.c);
    a.ini = f.ini;
    a.s = f.s;
    // settingsConverter stays: what it returns depends only on the lines it compares.
    for (auto [table, freshTable] :
         {std::pair{&a.melody.Tonhoehe, &f.melody.Tonhoehe},
          std::pair{&a.melody.Lautstaerke, &f.melody.Lautstaerke},
          std::pair{&a.melody.Tonzaehler, &f.melody.Tonzaehler},
          std::pair{&a.samplerState.Samplezeile, &f.samplerState.Samplezeile}})
        resetPrefix(*table, *freshTable, bound);
    resetPrefix(a.melody.Tondauer, f.melody.Tondauer, bound);
    a.melody.Tonzahl = f.melody.Tonzahl;
    a.versionText = f.versionText;
    a.gapFactor = f.gapFactor;
    a.reducedHeight = f.reducedHeight;
    a.Regelname = f.Regelname;
    a.Versuche = f.Versuche;
    a.Samplezahl = f.Samplezahl;
    resetPrefix(a.DTC, f.DTC, bound);
    for (auto [p, fp] : {std::pair{&a.Patternpuffer, &f.Patternpuffer},
                         std::pair{&a.Pattern01, &f.Pattern01}, std::pair{&a.Pattern02, &f.Pattern02}}) {
        resetPrefix(p->Tonhoehe, fp->Tonhoehe, bound);
        resetPrefix(p->Lautstaerke, fp->Lautstaerke, bound);
        resetPrefix(p->Tondauer, fp->Tondauer, bound);
        p->Zeilen = fp->Zeilen;
    }
    a.Pattern01Datei = f.Pattern01Datei;
    a.Pattern02Datei = f.Pattern02Datei;
    a.stopPressed = f.stopPressed;
    a.KeineFrageFlag = f.KeineFrageFlag;
    a.InidatGross = f.InidatGross;
    a.LinkFlag = f.LinkFlag;
    a.List2Gross = f.List2Gross;
    a.PresetGeladen = f.PresetGeladen;
    a.SamplemixFlag = f.SamplemixFlag;
    a.PlayStarted = f.PlayStarted;
    a.seedOverride = f.seedOverride;
    a.tonesRead = f.tonesRead;
    a.soundingTone = f.soundingTone;
    for (size_t k = 0, n = std::min(bound, a.Sampletabelle.size()); k < n; ++k)
        if (!a.Sampletabelle[k].empty()) a.Sampletabelle[k].clear();
    resetPrefix(a.samplerState.Samplelaenge, f.samplerState.Samplelaenge, bound);
    a.samplerState.Itemzahl = f.samplerState.Itemzahl;
    a.samplerState.tuningTerm = f.samplerState.tuningTerm;
    a.samplerState.keytransposeTerm = f.samplerState.keytransposeTerm;
    a.samplerState.startShiftTerm = f.samplerState.startShiftTerm;
    a.samplerState.Zufallswert = f.samplerState.Zufallswert;
    a.erklaIndex = f.erklaIndex;
    a.capellaPitch = f.capellaPitch;
    a.environment = f.environment;
    std::destroy_at(&a.midi);
    std::destroy_at(&a.silentMidi);
    std::construct_at(&a.silentMidi);
    std::construct_at(&a.midi, a.silentMidi);
    a.Tempoteiler = f.Tempoteiler;
    a.playStartedAt = f.playStartedAt;
    a.instrumentFile = f.instrumentFile;
}

void World::check(size_t from) const {
    const App& a = app;
    const App& f = fresh;
    checkRest(a.melody.Tonhoehe, f.melody.Tonhoehe, from, "Tonhoehe");
    checkRest(a.melody.Lautstaerke, f.melody.Lautstaerke, from, "Lautstaerke");
    checkRest(a.melody.Tondauer, f.melody.Tondauer, from, "Tondauer");
    checkRest(a.melody.Tonzaehler, f.melody.Tonzaehler, from, "Tonzaehler");
    checkRest(a.DTC, f.DTC, from, "DTC");
    checkRest(a.Sampletabelle, f.Sampletabelle, from, "Sampletabelle");
    checkRest(a.samplerState.Samplelaenge, f.samplerState.Samplelaenge, from, "Samplelaenge");
    checkRest(a.samplerState.Samplezeile, f.samplerState.Samplezeile, from, "Samplezeile");
    for (const Pattern* p : {&a.Patternpuffer, &a.Pattern01, &a.Pattern02}) {
        checkRest(p->Tonhoehe, f.Patternpuffer.Tonhoehe, from, "Pattern.Tonhoehe");
        checkRest(p->Lautstaerke, f.Patternpuffer.Lautstaerke, from, "Pattern.Lautstaerke");
        checkRest(p->Tondauer, f.Patternpuffer.Tondauer, from, "Pattern.Tondauer");
    }
}

void finding(const std::string& what) {
    std::fprintf(stderr, "\n*** FUND: %s\n", what.c_str());
    std::abort();
}

bool confined(const fs::path& folder, const fs::path& path) {
    const std::string base = folder.string(), p = path.string();
    if (p.compare(0, base.size(), base) != 0) return false;
    const std::string rest = p.substr(base.size());
    if (rest.find('\0') != std::string::npos || rest.find(':') != std::string::npos) return false;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find_first_of("/\\", start);
        if (end == std::string::npos) end = rest.size();
        if (rest.compare(start, end - start, "..") == 0 && end - start == 2) return false;
        start = end + 1;
    }
    return true;
}

bool validUtf8(std::string_view text) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = byte(i);
        size_t len = c < 0x80 ? 1 : c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
        if (len == 0 || i + len > text.size()) return false;
        for (size_t k = 1; k < len; ++k)
            if ((byte(i + k) & 0xC0) != 0x80) return false;
        // No overlong forms, no surrogates, nothing above U+10FFFF.
        const unsigned char d = len > 1 ? byte(i + 1) : 0;
        if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d >= 0xA0) || (c == 0xF0 && d < 0x90) ||
            (c == 0xF4 && d >= 0x90))
            return false;
        i += len;
    }
    return true;
}

void ConfinedFiles::check(const fs::path& path) const {
    if (!confined(folder, path))
        finding("access outside the working folder: \"" + path.string() + "\"");
}

std::optional<std::string> ConfinedFiles::read(const fs::path& path) {
    check(path);
    return MemoryFiles::read(path);
}

std::unique_ptr<WholeFileWriter> ConfinedFiles::writeInPieces(const fs::path& path) {
    check(path);
    written.push_back(path);
    return std::make_unique<CountingWriter>(MemoryFiles::writeInPieces(path), mostLines);
}

std::string ConfinedFiles::append(const fs::path& path, const std::string& bytes) {
    check(path);
    return MemoryFiles::append(path, bytes);
}

std::string ConfinedFiles::copy(const fs::path& from, const fs::path& to) {
    check(from);
    check(to);
    return MemoryFiles::copy(from, to);
}

bool ConfinedFiles::exists(const fs::path& path) {
    check(path);
    return MemoryFiles::exists(path);
}

std::string ConfinedFiles::createFolder(const fs::path& path) {
    check(path);
    return MemoryFiles::createFolder(path);
}

void ConfinedFiles::putInput(const fs::path& path, std::string bytes) {
    mostLines = std::max(mostLines, lineCount(bytes));
    put(path, std::move(bytes));
}

void FuzzClock::sleep(double s) {
    // The jumping wait sleeps only while its deadline lies ahead.
    if (!(s > 0)) finding("a wait was to sleep " + plainText(s, '.') + " s");
    seconds += s;
}

void CountingEvents::process() {
    if (++rounds > kMaxRounds)
        finding("the command " + command + " went through more than " +
                std::to_string(kMaxRounds) + " rounds of its waits: a wait loop that does not end");
}

Input::Input(const std::uint8_t* data, size_t size) {
    if (size == 0) return;
    switches_ = data[0];
    rest_ = std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1);
}

std::string Input::file(const std::string& folderText) const {
    std::string out;
    out.reserve(rest_.size());
    for (size_t at = 0;;) {
        const size_t mark = rest_.find("%A%", at);
        out.append(rest_.substr(at, mark == std::string_view::npos ? mark : mark - at));
        if (mark == std::string_view::npos) return out;
        out += folderText;
        at = mark + 3;
    }
}

Run::Run(bool answerYes, char decimal)
    : world(theWorld()), dialogs(world.dialogs), clipboard(world.clipboard),
      programs(world.programs), windows(world.windows), clock(world.clock), events(world.events),
      random(world.random), files(world.files), platform(world.platform), folder(world.folder),
      app(world.app) {
    dialogs = ScriptedDialogs{};
    dialogs.defaultAnswer = answerYes;
    clipboard = RecordingClipboard{};
    programs = RecordingProgramStarter{};
    windows = RecordingWindowCloser{};
    clock = FuzzClock{};
    events = CountingEvents{};
    random = SteppingRandom{};
    static_cast<MemoryFiles&>(files) = world.defaults;
    files.written.clear();
    files.mostLines = world.defaultLines;
    world.commandTimes.clear();
    app.decimal = decimal;
}

Run::~Run() {
    finish();
    const size_t bound = world.bound();
    world.reset(bound);
    if (everyRun || ++world.runs % 256 == 0) world.check(bound);
}

void Run::put(std::string_view name, const std::string& bytes) {
    files.putInput(folder.path(name), bytes);
}

void Run::settings(const std::vector<std::pair<std::string, std::string>>& values) {
    // A target uses few combinations of values: each file is made once.
    static std::map<std::vector<std::pair<std::string, std::string>>, std::string> made;
    if (auto it = made.find(values); it != made.end()) {
        put(names::ini, it->second);
        return;
    }
    auto lines = settingsTemplate();
    for (const auto& [key, value] : values) {
        bool found = false;
        for (auto& line : lines)
            if (line.rfind(key + " ", 0) == 0) {
                line = key + " " + value + "   (x)";
                found = true;
            }
        if (!found) lines.insert(lines.begin(), key + " " + value);
    }
    // Each line without its explanation from the first "(" on: no number reaches over a "(",
    // so every value reads the same, and the program reads a file a sixth as long.
    for (auto& line : lines)
        if (size_t open = line.find('('); open != std::string::npos) line.erase(open);
    put(names::ini, made[values] = encodeLines(lines));
}

void Run::mayWrite(std::initializer_list<std::string_view> names) {
    for (auto name : names)
        allowed_.insert(folder.path(name));
}

void Run::command(const std::function<void()>& handler, const char* name) {
    if (programEnded) return;
    const size_t before = dialogs.records.size();
    events.rounds = 0;
    events.command = *name ? name : "?";
    const double start = clock.seconds;
    try {
        handler();
    } catch (const CommandEnd&) {
        // A command that ends early has said why.
        if (dialogs.records.size() == before) finding("a command ended without a message");
    } catch (const ProgramEnd&) {
        programEnded = true;
    } catch (const std::exception& e) {
        finding(std::string("exception leaves the command: ") + e.what());
    }
    world.commandTimes.emplace_back(events.command, clock.seconds - start);
}

void Run::finish() {
    if (finished_) return;
    finished_ = true;
    // TONFEX_FUZZ_ZEIGEN=1 shows what a run did: its messages, the files it wrote, the lists
    // and the virtual time of each command.
    static const bool show = [] {
        const char* value = std::getenv("TONFEX_FUZZ_ZEIGEN");
        return value && *value == '1';
    }();
    if (everyRun || show) outcome = describe();
    if (show) std::fputs(outcome.c_str(), stderr);
    for (size_t i = 0; i < dialogs.records.size(); ++i) {
        const auto& r = dialogs.records[i];
        if (r.title.empty() || r.text.empty()) finding("a message box without title or text");
        if (!validUtf8(r.text)) finding("a message that is not UTF-8: " + r.text);
        // A No to a read error ends the program at once.
        if (r.question && !r.answer && r.title == "FEHLER" &&
            (i + 1 != dialogs.records.size() || !programEnded))
            finding("the program went on after a No to: " + r.text);
    }
    for (ListBox* list : app.c.listBoxes())
        for (const auto& line : list->lines())
            if (!validUtf8(line)) finding("a list line that is not UTF-8: " + line);
    for (TextBox* box : app.c.textBoxes())
        if (!validUtf8(box->text())) finding("a text box that is not UTF-8: " + box->text());
    if (!validUtf8(clipboard.text)) finding("clipboard text that is not UTF-8");
    for (const auto& path : files.written)
        if (!allowed_.count(path)) finding("the command wrote " + path.string());
    if (files.openWriters() != 0) finding("a whole write was neither finished nor dropped");
}

std::string Run::describe() const {
    std::string text;
    for (const auto& r : dialogs.records)
        text += (r.question ? (r.answer ? "[Ja] " : "[Nein] ") : "[OK] ") + r.title + ": " +
                r.text + "\n";
    text += programEnded ? "Programmende\n" : "--\n";
    for (const auto& path : files.written) {
        const std::string* bytes = files.bytes(path);
        text += "geschrieben: " + path.string() + " " +
                (bytes ? std::to_string(std::hash<std::string>{}(*bytes)) : "-") + "\n";
    }
    for (ListBox* list : app.c.listBoxes())
        for (const auto& line : list->lines())
            text += line + "\n";
    for (TextBox* box : app.c.textBoxes())
        text += box->text() + "\n";
    for (const auto& [name, seconds] : world.commandTimes)
        text += name + ": " + plainText(seconds, '.') + " s virtuelle Zeit\n";
    return text;
}

const std::string& lastRunOutcome() {
    return outcome;
}

void checkEveryRun(bool on) {
    everyRun = on;
}

} // namespace tonfex::fuzz
