#include "render/project.h"

#include "core/encoding.h"
#include "core/textfile.h"
#include "core/workfolder.h"

#include <charconv>
#include <optional>
#include <system_error>

namespace tonfex::render {

namespace fs = std::filesystem;

bool splitTokens(std::string_view line, Tokens& out) {
    out.clear();
    size_t i = line.find_first_not_of(" \t");
    while (i < line.size()) {
        const char first = line[i];
        if (first == '"' || first == '\'' || first == '`') {
            const size_t end = line.find(first, i + 1);
            if (end == std::string_view::npos) return false;
            out.emplace_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            const size_t end = std::min(line.find_first_of(" \t", i), line.size());
            out.emplace_back(line.substr(i, end - i));
            i = end;
        }
        i = std::min(line.find_first_not_of(" \t", i), line.size());
    }
    return true;
}

namespace {

std::string at(const std::string& name, int line) {
    return name + ", Zeile " + std::to_string(line) + ": ";
}

} // namespace

std::string readRpp(std::string_view text, const std::string& name, RppListener& listener) {
    struct Open {
        std::string tag;
        int line;
    };
    std::vector<Open> open;
    bool ended = false, started = false;
    Tokens tokens;
    int line = 0;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view content = text.substr(pos, end - pos);
        pos = end + 1;
        ++line;
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        const size_t first = content.find_first_not_of(" \t");
        if (first != std::string_view::npos && content[first] == '|') {
            // A line of free text (notes, comments): one token, quotes and all.
            if (started && !ended) listener.statement({std::string(content.substr(first))}, line);
            continue;
        }
        if (!splitTokens(content, tokens))
            return at(name, line) + "Ein Anführungszeichen wird nicht geschlossen.";
        if (tokens.empty()) continue;
        if (ended) return at(name, line) + "Nach dem Ende des Projekts steht noch Text.";
        const std::string& head = tokens[0];
        if (!started && head != "<REAPER_PROJECT")
            return at(name, line) +
                   "Dies ist kein REAPER-Projekt (es beginnt nicht mit <REAPER_PROJECT).";
        started = true;
        if (head[0] == '<') {
            if (head.size() == 1) return at(name, line) + "Nach „<“ fehlt der Name des Blocks.";
            tokens[0].erase(0, 1);
            open.push_back({tokens[0], line});
            listener.blockStart(tokens, line);
        } else if (head == ">") {
            listener.blockEnd(line);
            open.pop_back();
            ended = open.empty();
        } else {
            listener.statement(tokens, line);
        }
    }
    if (!started) return name + ": Die Datei ist leer, kein REAPER-Projekt.";
    if (!open.empty())
        return name + ": Das Projekt endet in Zeile " + std::to_string(line) +
               ", ohne dass der Block <" + open.back().tag + " aus Zeile " +
               std::to_string(open.back().line) + " geschlossen wird.";
    return "";
}

namespace {

std::optional<double> number(const std::string& token) {
    double value = 0;
    const char* first = token.data();
    const char* last = first + token.size();
    if (first != last && *first == '+') ++first;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last) return std::nullopt;
    return value;
}

// A FILE name as the render finds it: relative names lie in the project's folder. A Windows
// path (C:\Arbeit\x.wav) elsewhere means the file beside the project; an absolute path
// that does not exist is looked for by its name in the project's folder.
fs::path sourcePath(const std::string& file, const fs::path& folder) {
    std::string name = file;
    if (name.find('\\') != std::string::npos) {
        for (char& c : name)
            if (c == '\\') c = '/';
        if (name.size() > 2 && name[1] == ':') return folder / fs::path(name).filename();
    }
    fs::path path(name);
    if (!path.is_absolute()) return folder / path;
    std::error_code ec;
    if (!fs::exists(path, ec) && path.has_filename() && fs::exists(folder / path.filename(), ec))
        return folder / path.filename();
    return path;
}

struct Take {
    double offset = 0, rate = 1, semitones = 0, volume = 1;
    bool preservePitch = true;
    std::string type;
    std::string file;
};

// Builds tracks and items from the blocks: TRACK under the project, ITEM under a TRACK, SOURCE
// under an ITEM. Everything else, and every statement not named here, is passed over.
class ProjectBuilder : public RppListener {
public:
    ProjectBuilder(const std::string& name, fs::path folder)
        : name_(name), folder_(std::move(folder)) {}

    void blockStart(const Tokens& tokens, int line) override {
        const std::string& tag = tokens[0];
        if (depth_ == 1 && tag == "TRACK") {
            project_.tracks.emplace_back();
        } else if (depth_ == 2 && tag == "ITEM" && inTrack_) {
            item_ = Item{};
            item_.line = line;
            takes_.assign(1, Take{});
            selected_ = 0;
        } else if (depth_ == 3 && tag == "SOURCE" && inItem_) {
            takes_.back().type = tokens.size() > 1 ? tokens[1] : "";
        }
        stack_.push_back(tag);
        ++depth_;
        inTrack_ = depth_ == 2 && tag == "TRACK";
        inItem_ = depth_ == 3 && tag == "ITEM" && inTrack(1);
        inSource_ = depth_ == 4 && tag == "SOURCE" && inTrack(1) && stack_[2] == "ITEM";
    }

    void statement(const Tokens& tokens, int line) override {
        if (!error_.empty()) return;
        const std::string& key = tokens[0];
        if (inTrack_) {
            Track& track = project_.tracks.back();
            if (key == "VOLPAN") {
                track.volume = field(tokens, 1, line, 1);
                track.pan = field(tokens, 2, line, 0);
            } else if (key == "MUTESOLO") {
                track.muted = field(tokens, 1, line, 0) != 0;
                track.solo = field(tokens, 2, line, 0) != 0;
            } else if (key == "MUTE") {
                track.muted = field(tokens, 1, line, 0) != 0;
            }
        } else if (inItem_) {
            Take& take = takes_.back();
            if (key == "POSITION")
                item_.position = field(tokens, 1, line, 0);
            else if (key == "LENGTH")
                item_.length = field(tokens, 1, line, 0);
            else if (key == "SOFFS")
                take.offset = field(tokens, 1, line, 0);
            else if (key == "MUTE")
                item_.muted = field(tokens, 1, line, 0) != 0;
            else if (key == "FADEIN")
                item_.fadeIn = field(tokens, 2, line, 0);
            else if (key == "FADEOUT")
                item_.fadeOut = field(tokens, 2, line, 0);
            else if (key == "VOLPAN") {
                item_.volume = field(tokens, 1, line, 1);
                item_.pan = field(tokens, 2, line, 0);
                take.volume = field(tokens, 3, line, 1);
            } else if (key == "PLAYRATE") {
                take.rate = field(tokens, 1, line, 1);
                take.preservePitch = field(tokens, 2, line, 1) != 0;
                take.semitones = field(tokens, 3, line, 0);
            } else if (key == "TAKE") {
                takes_.emplace_back();
                for (size_t i = 1; i < tokens.size(); ++i)
                    if (tokens[i] == "SEL") selected_ = takes_.size() - 1;
            }
        } else if (inSource_ && key == "FILE" && tokens.size() > 1) {
            takes_.back().file = tokens[1];
        }
    }

    void blockEnd(int /*line*/) override {
        if (inItem_ && error_.empty()) finishItem();
        stack_.pop_back();
        --depth_;
        inTrack_ = depth_ == 2 && stack_.back() == "TRACK";
        inItem_ = depth_ == 3 && stack_.back() == "ITEM" && inTrack(1);
        inSource_ = false;
    }

    ReadResult result() { return {std::move(project_), error_}; }

private:
    bool inTrack(size_t level) const {
        return stack_.size() > level && stack_[level] == "TRACK" && !project_.tracks.empty();
    }

    double field(const Tokens& tokens, size_t index, int line, double fallback) {
        if (index >= tokens.size()) return fallback;
        if (auto value = number(tokens[index])) return *value;
        if (error_.empty())
            error_ =
                at(name_, line) + tokens[0] + " erwartet eine Zahl statt „" + tokens[index] + "“.";
        return fallback;
    }

    void finishItem() {
        const Take& take = takes_[selected_];
        if (take.type != "WAVE" || take.file.empty()) {
            ++project_.otherSources;
            return;
        }
        item_.sourceOffset = take.offset;
        item_.rate = take.rate > 0 ? take.rate : 1;
        item_.semitones = take.semitones;
        item_.preservePitch = take.preservePitch;
        item_.volume *= take.volume;
        item_.file = sourcePath(take.file, folder_);
        project_.tracks.back().items.push_back(item_);
    }

    const std::string& name_;
    fs::path folder_;
    Project project_;
    std::string error_;
    std::vector<std::string> stack_;
    int depth_ = 0;
    bool inTrack_ = false, inItem_ = false, inSource_ = false;
    Item item_;
    std::vector<Take> takes_;
    size_t selected_ = 0;
};

} // namespace

ReadResult readProject(std::string_view text, const std::string& name, const fs::path& folder) {
    ProjectBuilder builder(name, folder);
    std::string error = readRpp(text, name, builder);
    ReadResult result = builder.result();
    if (!error.empty()) result.error = error;
    return result;
}

ReadResult readProjectFile(const fs::path& path, Files& files) {
    const std::string name = utf8FromPath(path.filename());
    const std::optional<FirstBytes> read = readFirstBytes(files, path, kMaxProjectBytes);
    if (!read) return {{}, utf8FromPath(path) + ": Das Projekt lässt sich nicht öffnen."};
    if (read->more)
        return {{}, utf8FromPath(path) + ": Das Projekt ist größer als " +
                        std::to_string(kMaxProjectBytes >> 20) +
                        " MB; so große Projekte berechnet das Vorhören nicht."};
    return readProject(decodeFileText(read->bytes), name, path.parent_path());
}

} // namespace tonfex::render
