// A strict reader of REAPER's project syntax for the tests, written apart from the writer:
// tokens with REAPER's quoting, balanced blocks, and the item checks a render depends on.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace tonfex::testkit {

using Tokens = std::vector<std::string>;

struct RppItem {
    double position = 0, length = 0;
    std::string file; // the SOURCE WAVE's FILE
};

// Splits a line into tokens; quotes ("", '' or ``) hold blanks. False on an open quote.
inline bool rppTokens(const std::string& text, Tokens& out) {
    out.clear();
    for (size_t i = text.find_first_not_of(" \t"); i < text.size();
         i = text.find_first_not_of(" \t", i)) {
        const bool quoted = text[i] == '"' || text[i] == '\'' || text[i] == '`';
        const size_t end = quoted ? text.find(text[i], i + 1) : text.find_first_of(" \t", i);
        if (quoted && end == std::string::npos) return false;
        out.push_back(text.substr(i + quoted, std::min(end, text.size()) - i - quoted));
        i = end == std::string::npos ? text.size() : end + quoted;
    }
    return true;
}

inline bool rppKey(const std::string& key) {
    return !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

// A whole number token as REAPER's number reader takes it: nothing may follow the number.
// from_chars reads "." whatever the process locale (the command-line suites run German too).
inline bool rppNumber(const std::string& token, double* value = nullptr) {
    double v = 0;
    const char* end = token.data() + token.size();
    const auto [ptr, ec] = std::from_chars(token.data(), end, v);
    if (value) *value = v;
    return !token.empty() && ec == std::errc() && ptr == end;
}

// Parses and checks a project's bytes (CR LF line ends): "" or the first fault; `items`
// receives each track's items. LENGTH lines are due in every item or in none.
inline std::string strictRpp(const std::string& bytes, std::vector<std::vector<RppItem>>& items,
                             bool lengthDue = true) {
    Tokens open;                             // the tags of the open blocks
    std::multimap<std::string, Tokens> item; // the open item's lines
    int sources = 0, files = 0, number = 0;
    std::string file;
    for (size_t pos = 0, eol; pos < bytes.size(); pos = eol + 2) {
        eol = bytes.find("\r\n", pos);
        if (eol == std::string::npos) return "last line without CR LF";
        const std::string text = bytes.substr(pos, eol - pos);
        const std::string where = "line " + std::to_string(++number) + ": ";
        Tokens t;
        if (text.find_first_of("\r\n") != std::string::npos) return where + "stray line break";
        if (number > 1 && open.empty()) return where + "text after the project's end";
        if (!rppTokens(text, t)) return where + "open quote";
        if (t.empty()) return where + "empty line";
        const std::string parent = open.empty() ? "" : open.back();
        if (t[0] == ">") {
            if (t.size() != 1 || open.empty()) return where + "unbalanced >";
            open.pop_back();
            if (parent != "ITEM") continue;
            RppItem out;
            if (item.count("POSITION") != 1 || item.find("POSITION")->second.size() != 2 ||
                !rppNumber(item.find("POSITION")->second[1], &out.position) || out.position < 0)
                return "item without one valid POSITION";
            if (lengthDue != (item.count("LENGTH") == 1))
                return "LENGTH present where not due or missing";
            if (lengthDue && !rppNumber(item.find("LENGTH")->second.at(1), &out.length))
                return "LENGTH not a number";
            for (const auto& [key, line] : item)
                if (key == "VOLPAN" || key == "SOFFS" || key == "PLAYRATE" || key == "FADEIN" ||
                    key == "FADEOUT")
                    if (!std::all_of(line.begin() + 1, line.end(),
                                     [](auto& v) { return rppNumber(v); }))
                        return key + " value not a number";
            if (sources != 1 || files != 1) return "item without one SOURCE WAVE with a FILE";
            if (!items.back().empty() && out.position <= items.back().back().position)
                return "positions of a track do not rise";
            out.file = file;
            items.back().push_back(out);
        } else if (t[0][0] == '<') {
            const std::string tag = t[0].substr(1);
            if (!rppKey(tag)) return where + "bad block tag";
            if (number == 1 && tag != "REAPER_PROJECT") return "no REAPER_PROJECT";
            if (parent == "TRACK" && tag != "ITEM") return "a track holds a " + tag + " block";
            if (tag == "ITEM" && parent != "TRACK") return "an item outside every track";
            if (parent == "ITEM" && (++sources, t != Tokens{"<SOURCE", "WAVE"}))
                return "item block other than SOURCE WAVE";
            if (tag == "TRACK") items.emplace_back();
            if (tag == "ITEM") item.clear(), sources = files = 0;
            open.push_back(tag);
        } else {
            if (open.empty()) return where + "line outside every block";
            if (!rppKey(t[0])) return where + "bad key " + t[0];
            if (parent == "ITEM") item.emplace(t[0], t);
            if (parent == "SOURCE" && t[0] == "FILE" && t.size() == 2 && !t[1].empty())
                ++files, file = t[1];
        }
    }
    return open.empty() ? "" : "unbalanced blocks at the end";
}

} // namespace tonfex::testkit
