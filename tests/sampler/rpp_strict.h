// A strict reader of REAPER's project syntax for the tests, written apart from the writer:
// tokens with REAPER's quoting, balanced blocks, and the item checks a render depends on.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

namespace tonfex::testkit {

struct RppBlock {
    std::vector<std::string> head; // tag and parameters of the "<TAG ..." line
    std::vector<std::vector<std::string>> lines;
    std::vector<RppBlock> blocks;

    const std::vector<std::string>* line(const std::string& key) const {
        for (const auto& l : lines)
            if (l[0] == key) return &l;
        return nullptr;
    }
    int count(const std::string& key) const {
        int n = 0;
        for (const auto& l : lines)
            n += l[0] == key;
        return n;
    }
};

// Splits a line into tokens; quotes ("", '' or ``) hold blanks. False on an open quote.
inline bool rppTokens(const std::string& text, std::vector<std::string>& out) {
    out.clear();
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
            continue;
        }
        char q = text[i];
        if (q == '"' || q == '\'' || q == '`') {
            size_t end = text.find(q, i + 1);
            if (end == std::string::npos) return false;
            out.push_back(text.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = text.find_first_of(" \t", i);
            if (end == std::string::npos) end = text.size();
            out.push_back(text.substr(i, end - i));
            i = end;
        }
    }
    return true;
}

inline bool rppKey(const std::string& key) {
    if (key.empty()) return false;
    for (char c : key)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
    return true;
}

// A whole number token as REAPER's number reader takes it: nothing may follow the number.
inline bool rppNumber(const std::string& token, double* value = nullptr) {
    if (token.empty()) return false;
    char* end = nullptr;
    double v = std::strtod(token.c_str(), &end);
    if (end != token.c_str() + token.size()) return false;
    if (value) *value = v;
    return true;
}

// Parses a project file's bytes (CR LF line ends) into its root block; "" or the first fault.
inline std::string parseRpp(const std::string& bytes, RppBlock& root) {
    std::vector<RppBlock*> open;
    bool closed = false;
    size_t pos = 0;
    int number = 0;
    while (pos < bytes.size()) {
        size_t eol = bytes.find("\r\n", pos);
        if (eol == std::string::npos) return "last line without CR LF";
        std::string text = bytes.substr(pos, eol - pos);
        pos = eol + 2;
        std::string where = "line " + std::to_string(++number) + ": ";
        if (text.find('\n') != std::string::npos || text.find('\r') != std::string::npos)
            return where + "stray line break";
        if (closed) return where + "text after the project's end";
        std::vector<std::string> tokens;
        if (!rppTokens(text, tokens)) return where + "open quote";
        if (tokens.empty()) return where + "empty line";
        if (tokens[0] == ">") {
            if (tokens.size() != 1 || open.empty()) return where + "unbalanced >";
            open.pop_back();
            closed = open.empty();
        } else if (tokens[0][0] == '<') {
            tokens[0].erase(0, 1);
            if (!rppKey(tokens[0])) return where + "bad block tag";
            RppBlock* block = &root;
            if (!open.empty()) {
                open.back()->blocks.emplace_back();
                block = &open.back()->blocks.back();
            } else if (number != 1) {
                return where + "second root block";
            }
            block->head = tokens;
            open.push_back(block);
        } else {
            if (open.empty()) return where + "line outside every block";
            if (!rppKey(tokens[0])) return where + "bad key " + tokens[0];
            open.back()->lines.push_back(tokens);
        }
    }
    if (!closed) return "unbalanced blocks at the end";
    return "";
}

struct RppItem {
    double position = 0;
    bool hasLength = false;
    double length = 0;
    std::string file;
};

// Checks every item of every track; "" or the first fault. `items` receives them per track.
inline std::string checkRppItems(const RppBlock& root, bool lengthDue,
                                 std::vector<std::vector<RppItem>>& items) {
    if (root.head.empty() || root.head[0] != "REAPER_PROJECT") return "no REAPER_PROJECT";
    for (const auto& track : root.blocks) {
        if (track.head[0] != "TRACK") continue;
        items.emplace_back();
        for (const auto& item : track.blocks) {
            if (item.head[0] != "ITEM") return "a track holds a " + item.head[0] + " block";
            RppItem out;
            const auto* position = item.line("POSITION");
            if (item.count("POSITION") != 1 || position->size() != 2 ||
                !rppNumber((*position)[1], &out.position) || out.position < 0)
                return "item without one valid POSITION";
            out.hasLength = item.count("LENGTH") == 1;
            if (lengthDue != out.hasLength) return "LENGTH present where not due or missing";
            if (out.hasLength && !rppNumber(item.line("LENGTH")->at(1), &out.length))
                return "LENGTH not a number";
            for (const char* key : {"VOLPAN", "SOFFS", "PLAYRATE", "FADEIN", "FADEOUT"})
                if (const auto* l = item.line(key))
                    for (size_t k = 1; k < l->size(); ++k)
                        if (!rppNumber((*l)[k])) return std::string(key) + " value not a number";
            int sources = 0;
            for (const auto& source : item.blocks) {
                if (source.head.size() != 2 || source.head[0] != "SOURCE" ||
                    source.head[1] != "WAVE")
                    return "item block other than SOURCE WAVE";
                ++sources;
                const auto* file = source.line("FILE");
                if (!file || file->size() != 2 || file->at(1).empty())
                    return "SOURCE WAVE without FILE";
                out.file = file->at(1);
            }
            if (sources != 1) return "item without one SOURCE WAVE";
            if (!items.back().empty() && out.position <= items.back().back().position)
                return "positions of a track do not rise";
            items.back().push_back(out);
        }
    }
    return "";
}

} // namespace tonfex::testkit
