// A strict reader of REAPER's project syntax for the tests, written apart from the writer:
// tokens with REAPER's quoting, balanced blocks, and the item checks a render depends on.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace tonfex::testkit {

using Tokens = std::vector<std::string>;

struct RppBlock {
    Tokens head; // tag and parameters of the "<TAG ..." line
    std::vector<Tokens> lines;
    std::vector<RppBlock> blocks;

    int count(const std::string& key) const {
        return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                              [&](const Tokens& l) { return l[0] == key; }));
    }
    const Tokens* line(const std::string& key) const {
        auto l =
            std::find_if(lines.begin(), lines.end(), [&](const Tokens& t) { return t[0] == key; });
        return l == lines.end() ? nullptr : &*l;
    }
};

// Splits a line into tokens; quotes ("", '' or ``) hold blanks. False on an open quote.
inline bool rppTokens(const std::string& text, Tokens& out) {
    out.clear();
    for (size_t i = 0; i < text.size();) {
        char q = text[i];
        if (q == ' ' || q == '\t') {
            ++i;
        } else if (q == '"' || q == '\'' || q == '`') {
            size_t end = text.find(q, i + 1);
            if (end == std::string::npos) return false;
            out.push_back(text.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = std::min(text.find_first_of(" \t", i), text.size());
            out.push_back(text.substr(i, end - i));
            i = end;
        }
    }
    return true;
}

inline bool rppKey(const std::string& key) {
    return !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

// A whole number token as REAPER's number reader takes it: nothing may follow the number.
inline bool rppNumber(const std::string& token, double* value = nullptr) {
    char* end = nullptr;
    double v = std::strtod(token.c_str(), &end);
    if (token.empty() || end != token.c_str() + token.size()) return false;
    if (value) *value = v;
    return true;
}

// Parses a project file's bytes (CR LF line ends) into its root block; "" or the first fault.
inline std::string parseRpp(const std::string& bytes, RppBlock& root) {
    std::vector<RppBlock*> open;
    bool closed = false;
    int number = 0;
    for (size_t pos = 0, eol; pos < bytes.size(); pos = eol + 2) {
        eol = bytes.find("\r\n", pos);
        if (eol == std::string::npos) return "last line without CR LF";
        std::string text = bytes.substr(pos, eol - pos);
        std::string where = "line " + std::to_string(++number) + ": ";
        Tokens tokens;
        if (text.find_first_of("\r\n") != std::string::npos) return where + "stray line break";
        if (closed) return where + "text after the project's end";
        if (!rppTokens(text, tokens)) return where + "open quote";
        if (tokens.empty()) return where + "empty line";
        if (tokens[0] == ">") {
            if (tokens.size() != 1 || open.empty()) return where + "unbalanced >";
            open.pop_back();
            closed = open.empty();
        } else if (tokens[0][0] == '<') {
            tokens[0].erase(0, 1);
            if (!rppKey(tokens[0])) return where + "bad block tag";
            if (open.empty() && number != 1) return where + "second root block";
            RppBlock* block = open.empty() ? &root : &open.back()->blocks.emplace_back();
            block->head = tokens;
            open.push_back(block);
        } else {
            if (open.empty()) return where + "line outside every block";
            if (!rppKey(tokens[0])) return where + "bad key " + tokens[0];
            open.back()->lines.push_back(tokens);
        }
    }
    return closed ? "" : "unbalanced blocks at the end";
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
        auto& found = items.emplace_back();
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
                    if (!std::all_of(l->begin() + 1, l->end(),
                                     [](auto& t) { return rppNumber(t); }))
                        return std::string(key) + " value not a number";
            if (item.blocks.size() != 1) return "item without one SOURCE WAVE";
            const RppBlock& source = item.blocks[0];
            if (source.head != Tokens{"SOURCE", "WAVE"}) return "item block other than SOURCE WAVE";
            const auto* file = source.line("FILE");
            if (!file || file->size() != 2 || file->at(1).empty())
                return "SOURCE WAVE without FILE";
            out.file = file->at(1);
            if (!found.empty() && out.position <= found.back().position)
                return "positions of a track do not rise";
            found.push_back(out);
        }
    }
    return "";
}

// Parses and checks a project's bytes: "" or the first fault; `items` per track.
inline std::string strictRpp(const std::string& bytes, std::vector<std::vector<RppItem>>& items,
                             bool lengthDue = true) {
    RppBlock root;
    std::string error = parseRpp(bytes, root);
    return error.empty() ? checkRppItems(root, lengthDue, items) : error;
}

} // namespace tonfex::testkit
