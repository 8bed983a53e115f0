#include "notation/capella.h"

#include "core/encoding.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "core/workfolder.h"
#include "melody/zeilenleser.h"

#include <algorithm>
#include <functional>

namespace tonfex {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string trim(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && isSpace(s[a]))
        ++a;
    while (b > a && isSpace(s[b - 1]))
        --b;
    return std::string(s.substr(a, b - a));
}

// The five predefined entities; numbers and step letters need no more.
std::string decodeEntities(const std::string& s) {
    static const std::pair<const char*, char> kEntities[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        bool replaced = false;
        if (s[i] == '&')
            for (const auto& [name, c] : kEntities)
                if (s.compare(i, std::char_traits<char>::length(name), name) == 0) {
                    out += c;
                    i += std::char_traits<char>::length(name) - 1;
                    replaced = true;
                    break;
                }
        if (!replaced) out += s[i];
    }
    return out;
}

// The position after the '>' that closes the markup starting at `from`, skipping quoted
// values (and, for declarations, an internal subset in brackets); npos when it never closes.
size_t markupEnd(const std::string& text, size_t from) {
    char quote = 0;
    int brackets = 0;
    for (size_t i = from; i < text.size(); ++i) {
        char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++brackets;
        } else if (c == ']') {
            --brackets;
        } else if (c == '>' && brackets <= 0) {
            return i + 1;
        }
    }
    return std::string::npos;
}

int stepValue(const std::string& step) {
    static const std::pair<const char*, int> kSteps[] = {{"C", 0}, {"D", 2}, {"E", 4}, {"F", 5},
                                                         {"G", 7}, {"A", 9}, {"B", 11}};
    for (const auto& [name, value] : kSteps)
        if (step == name) return value;
    return -1;
}

using Tokens = std::vector<XmlToken>;

bool isTag(const XmlToken& t, const char* name) {
    return t.kind != XmlToken::Kind::Text && t.kind != XmlToken::Kind::End && t.name == name;
}

// Reads the note whose start tag is at `i`; leaves `i` on its end tag (or where it stops).
// Returns nothing for a note without pitch and rest, and for a grace note, which takes no time.
std::optional<ExportNote> readNote(const Tokens& tokens, size_t& i) {
    ExportNote note;
    bool pitched = false, grace = false, inPitch = false, durationSeen = false;
    std::string step, open;
    std::int16_t alter = 0;
    for (++i; i < tokens.size(); ++i) {
        const XmlToken& t = tokens[i];
        if (t.kind == XmlToken::Kind::End && t.name == "note") break;
        if (t.kind == XmlToken::Kind::Start && t.name == "note") {
            --i; // an unclosed note ends where the next one starts
            break;
        }
        if (t.kind == XmlToken::Kind::End) {
            if (t.name == "pitch") inPitch = false;
            open.clear();
            continue;
        }
        if (t.kind == XmlToken::Kind::Start) open = t.name;
        if (isTag(t, "pitch") && !pitched && !note.rest)
            pitched = inPitch = t.kind == XmlToken::Kind::Start;
        if (isTag(t, "rest") && !pitched) note.rest = true;
        if (isTag(t, "grace")) grace = true;
        if (isTag(t, "tie") && t.attribute("type") == "start") note.tieStart = true;
        if (t.kind != XmlToken::Kind::Text) continue;
        if (inPitch && open == "step") {
            step = t.text;
        } else if (inPitch && open == "alter") {
            alter = toInt16(numericPrefix(t.text));
        } else if (inPitch && open == "octave") {
            // A step other than C to B leaves the pitch as it was before.
            if (int sv = stepValue(step); sv >= 0)
                note.pitch = toInt16(numericPrefix(t.text) * 12 + sv + alter);
        } else if (open == "duration" && !durationSeen) {
            note.duration = toInt32(numericPrefix(t.text));
            durationSeen = true;
        }
    }
    if (grace || (!pitched && !note.rest)) return std::nullopt;
    return note;
}

} // namespace

std::optional<std::string> XmlToken::attribute(const std::string& key) const {
    size_t i = 0;
    while (i < attrs.size()) {
        while (i < attrs.size() && isSpace(attrs[i]))
            ++i;
        size_t nameStart = i;
        while (i < attrs.size() && attrs[i] != '=' && !isSpace(attrs[i]))
            ++i;
        std::string attrName = attrs.substr(nameStart, i - nameStart);
        while (i < attrs.size() && isSpace(attrs[i]))
            ++i;
        if (i >= attrs.size() || attrs[i] != '=') {
            if (attrName.empty()) ++i;
            continue;
        }
        ++i;
        while (i < attrs.size() && isSpace(attrs[i]))
            ++i;
        if (i >= attrs.size() || (attrs[i] != '"' && attrs[i] != '\'')) return std::nullopt;
        char quote = attrs[i++];
        size_t end = attrs.find(quote, i);
        if (end == std::string::npos) return std::nullopt;
        if (attrName == key) return decodeEntities(attrs.substr(i, end - i));
        i = end + 1;
    }
    return std::nullopt;
}

std::vector<XmlToken> scanXml(const std::string& text) {
    std::vector<XmlToken> tokens;
    scanXml(text, [&tokens](XmlToken&& t) { tokens.push_back(std::move(t)); });
    return tokens;
}

void scanXml(const std::string& text, const std::function<void(XmlToken&&)>& take) {
    size_t i = 0;
    auto addText = [&take](std::string_view raw) {
        std::string t = trim(raw);
        if (!t.empty()) take({XmlToken::Kind::Text, "", "", decodeEntities(t)});
    };
    while (i < text.size()) {
        if (text[i] != '<') {
            size_t next = std::min(text.find('<', i), text.size());
            addText(std::string_view(text).substr(i, next - i));
            i = next;
            continue;
        }
        size_t end;
        if (text.compare(i, 4, "<!--") == 0) {
            end = text.find("-->", i + 4);
            if (end != std::string::npos) end += 3;
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            end = text.find("]]>", i + 9);
            if (end != std::string::npos) {
                take({XmlToken::Kind::Text, "", "", text.substr(i + 9, end - i - 9)});
                end += 3;
            }
        } else if (text.compare(i, 2, "<?") == 0) {
            end = text.find("?>", i + 2);
            if (end != std::string::npos) end += 2;
        } else if (text.compare(i, 2, "<!") == 0) {
            end = markupEnd(text, i + 2);
        } else {
            end = markupEnd(text, i + 1);
            if (end != std::string::npos) {
                std::string inner = trim(std::string_view(text).substr(i + 1, end - i - 2));
                XmlToken t;
                if (!inner.empty() && inner[0] == '/') {
                    t.kind = XmlToken::Kind::End;
                    t.name = trim(std::string_view(inner).substr(1));
                } else {
                    t.kind = XmlToken::Kind::Start;
                    if (!inner.empty() && inner.back() == '/') {
                        t.kind = XmlToken::Kind::Empty;
                        inner.pop_back();
                    }
                    size_t n = 0;
                    while (n < inner.size() && !isSpace(inner[n]))
                        ++n;
                    t.name = inner.substr(0, n);
                    t.attrs = trim(std::string_view(inner).substr(n));
                }
                take(std::move(t));
            }
        }
        if (end == std::string::npos) break; // damaged markup: nothing after it is read
        i = end;
    }
}

MusicXmlNotes readMusicXmlNotes(const std::vector<std::string>& lines, Dialogs& dialogs,
                                const std::string& xmlText, const std::string& patternText) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return readMusicXmlText(text, dialogs, xmlText, patternText);
}

MusicXmlNotes readMusicXmlText(const std::string& text, Dialogs& dialogs,
                               const std::string& xmlText, const std::string& patternText) {
    // Only the notes and the first divisions are read: the tokens of the rest (layout, parts'
    // names, credits) are not kept.
    Tokens tokens;
    bool inNote = false, divisionsKept = false, keepNext = false;
    scanXml(text, [&](XmlToken&& t) {
        const bool start = t.kind == XmlToken::Kind::Start;
        const bool divisions = start && !divisionsKept && t.name == "divisions";
        if (start && t.name == "note") inNote = true;
        const bool keep = inNote || divisions || keepNext;
        if (t.kind == XmlToken::Kind::End && t.name == "note") inNote = false;
        keepNext = divisions;
        divisionsKept = divisionsKept || divisions;
        if (keep) tokens.push_back(std::move(t));
    });
    const std::string unchanged = " - " + patternText + " bleibt unverändert.";

    MusicXmlNotes out;
    bool divisionsSeen = false;
    for (size_t i = 0; i < tokens.size() && !divisionsSeen; ++i) {
        if (tokens[i].kind != XmlToken::Kind::Start || tokens[i].name != "divisions") continue;
        divisionsSeen = true;
        if (i + 1 < tokens.size() && tokens[i + 1].kind == XmlToken::Kind::Text)
            out.divisions = toInt16(numericPrefix(tokens[i + 1].text));
    }
    // Every duration is divided by the divisions: without them no duration can be read.
    if (!divisionsSeen)
        failCommand(dialogs, "In " + xmlText +
                                 " steht keine Angabe <divisions> (Teilung der Viertelnote)" +
                                 unchanged);
    if (out.divisions <= 0)
        failCommand(dialogs, "In " + xmlText + " ist <divisions> " + plainText(out.divisions) +
                                 ", die Notenlängen lassen sich so nicht lesen" + unchanged);

    bool tie = false;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != XmlToken::Kind::Start || tokens[i].name != "note") continue;
        auto note = readNote(tokens, i);
        if (!note) continue;
        ++out.rows;
        if (!note->rest) {
            if (tie) --out.rows;
            tie = note->tieStart;
        }
        if (out.rows > Pattern::kLast)
            failCommand(dialogs, xmlText + " enthält mehr als " + plainText(Pattern::kLast) +
                                     " Noten, so viele fasst ein Pattern nicht" + unchanged);
        out.notes.push_back(*note);
    }
    return out;
}

int applyNotes(const MusicXmlNotes& xml, Overwrite overwrite, std::int16_t& currentPitch,
               Pattern& buffer) {
    auto units = [&xml](std::int64_t d) {
        return static_cast<double>(toInt32(static_cast<double>(d) / xml.divisions * 2000));
    };
    bool tie = false;
    std::int64_t sum = 0; // tied notes of the longest durations add up beyond 32 bits
    size_t j = 0;
    for (const ExportNote& note : xml.notes) {
        ++j;
        if (note.rest) {
            if (overwrite.pitches) buffer.Tonhoehe[j] = currentPitch;
            if (overwrite.durations) buffer.Tondauer[j] = units(note.duration);
            if (overwrite.volumes) buffer.Lautstaerke[j] = 1;
            continue;
        }
        if (note.pitch) currentPitch = *note.pitch;
        if (!tie) {
            sum = note.duration;
            if (overwrite.pitches) buffer.Tonhoehe[j] = currentPitch;
            if (overwrite.durations) buffer.Tondauer[j] = units(sum);
            if (overwrite.volumes) buffer.Lautstaerke[j] = 100;
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

void CapellaLesen(const std::filesystem::path& xmlPath, const std::filesystem::path& patternPath,
                  ImportContext& ctx) {
    const std::string xmlText = utf8FromPath(xmlPath);
    const std::string patternText = utf8FromPath(patternPath);
    // The export is read first, so that a missing or unreadable one asks nothing in vain.
    auto read = readFirstBytes(ctx.files, xmlPath, kMusicXmlBytes);
    if (!read) failMissing(ctx.dialogs, xmlPath, xmlText);
    if (read->more)
        failCommand(ctx.dialogs, xmlText + " ist größer als " +
                                     plainText(static_cast<int>(kMusicXmlBytes >> 20)) +
                                     " MB, so große Partituren liest der Import nicht - " +
                                     patternText + " bleibt unverändert.");
    const MusicXmlNotes xml =
        readMusicXmlText(textWithLineFeeds(decodeFileText(std::move(read->bytes))), ctx.dialogs,
                         xmlText, patternText);

    Overwrite overwrite;
    if (!ctx.keineFrage) {
        overwrite.pitches = ctx.dialogs.ask(
            "Vorsicht", "Die TONHÖHEN werden mit Werten aus Capella überschrieben - ok?");
        overwrite.volumes =
            ctx.dialogs.ask("Vorsicht", "Die LAUTSTÄRKEN werden mit 100 überschrieben - ok?");
        overwrite.durations = ctx.dialogs.ask(
            "Vorsicht", "Die TONDAUERN werden mit Werten aus Capella überschrieben - ok?");
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
    ctx.zuordnung.add("Pattern von der Capelladatei");
    ctx.zuordnung.add("Datei " + patternText);
    ctx.zuordnung.add("");
    for (const auto& line : lines)
        ctx.zuordnung.add(line);
    ctx.zuordnung.add("");
}

} // namespace tonfex
