#include "harness.h"

#include "app/defaults.h"
#include "core/errors.h"
#include "core/textfile.h"
#include "settings/template.h"

#include <cstdio>
#include <cstdlib>
#include <random>

namespace fs = std::filesystem;

namespace tonfex::fuzz {

namespace {

// The default working folder, made once per process; each run links its files into a fresh
// working folder beside it (writes replace files by renaming, so the links never change).
struct World {
    fs::path base, defaults, work;
    World() {
        std::random_device rd;
        base = fs::temp_directory_path() / ("tonfex-fuzz-" + std::to_string(rd()));
        defaults = base / "vorlage";
        work = base / "arbeit";
        DiskFiles disk;
        if (std::string error = ensureWorkFolder(disk, WorkFolder{defaults}); !error.empty())
            finding("the default working folder cannot be made: " + error);
    }
    ~World() {
        std::error_code ec;
        fs::remove_all(base, ec);
    }
    void fresh() const {
        std::error_code ec;
        fs::remove_all(work, ec);
        for (const auto& entry : fs::recursive_directory_iterator(defaults)) {
            fs::path target = work / fs::relative(entry.path(), defaults);
            if (entry.is_directory()) {
                fs::create_directories(target);
            } else {
                fs::create_directories(target.parent_path());
                fs::create_hard_link(entry.path(), target, ec);
                if (ec) fs::copy_file(entry.path(), target);
            }
        }
    }
};

World& world() {
    static World w;
    return w;
}

} // namespace

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
    return DiskFiles::read(path);
}

std::unique_ptr<WholeFileWriter> ConfinedFiles::writeInPieces(const fs::path& path) {
    check(path);
    written.push_back(path);
    return DiskFiles::writeInPieces(path);
}

std::string ConfinedFiles::copy(const fs::path& from, const fs::path& to) {
    check(from);
    check(to);
    return DiskFiles::copy(from, to);
}

bool ConfinedFiles::exists(const fs::path& path) {
    check(path);
    return DiskFiles::exists(path);
}

std::string ConfinedFiles::createFolder(const fs::path& path) {
    check(path);
    return DiskFiles::createFolder(path);
}

Input::Input(const std::uint8_t* data, size_t size) {
    if (size == 0) return;
    switches_ = data[0];
    rest_ = std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1);
}

std::string Input::file(const std::string& folderText) const {
    std::string out;
    out.reserve(rest_.size());
    for (size_t i = 0; i < rest_.size(); ++i) {
        if (rest_.compare(i, 3, "%A%") == 0) {
            out += folderText;
            i += 2;
        } else {
            out += rest_[i];
        }
    }
    return out;
}

Run::Run(bool answerYes, char decimal)
    : folder{world().work}, app(platform, folder, decimal, hostOs()) {
    world().fresh();
    files.folder = folder.dir;
    dialogs.defaultAnswer = answerYes;
}

Run::~Run() {
    finish();
    std::error_code ec;
    fs::remove_all(folder.dir, ec);
}

void Run::put(std::string_view name, const std::string& bytes) {
    const fs::path path = folder.path(name);
    fs::remove(path); // a linked default file stays as it is
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    if (!f) finding("cannot write the input file " + path.string());
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void Run::settings(const std::vector<std::pair<std::string, std::string>>& values) {
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
    put(names::ini, encodeLines(lines));
}

void Run::mayWrite(std::initializer_list<std::string_view> names) {
    for (auto name : names)
        allowed_.insert(folder.path(name));
}

void Run::command(const std::function<void()>& handler) {
    if (programEnded) return;
    const size_t before = dialogs.records.size();
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
}

void Run::finish() {
    if (finished_) return;
    finished_ = true;
    // TONFEX_FUZZ_ZEIGEN=1 shows what a run did: its messages and the files it wrote.
    if (const char* show = std::getenv("TONFEX_FUZZ_ZEIGEN"); show && *show == '1') {
        for (const auto& r : dialogs.records)
            std::fprintf(stderr, "%s %s: %s\n",
                         r.question ? (r.answer ? "[Ja]" : "[Nein]") : "[OK]", r.title.c_str(),
                         r.text.c_str());
        for (const auto& path : files.written)
            std::fprintf(stderr, "geschrieben: %s\n", path.filename().string().c_str());
        std::fprintf(stderr, "%s\n", programEnded ? "Programmende" : "--");
    }
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
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder.dir, ec))
        if (entry.path().string().find(".tonfex-neu") != std::string::npos)
            finding("a temporary file was left behind: " + entry.path().string());
}

} // namespace tonfex::fuzz
