#include "sampler/catalog.h"

#include "core/errors.h"
#include "core/numbers.h"
#include "core/textfile.h"
#include "melody/melody.h"

#include <algorithm>

namespace tonfex {

namespace {

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Characters (not bytes) of a UTF-8 text: the listing's columns count characters.
size_t columns(std::string_view text) {
    size_t n = 0;
    for (char c : text)
        n += isContinuation(c) ? 0 : 1;
    return n;
}

// Byte length of `text` without its last character.
size_t withoutLastCharacter(std::string_view text) {
    if (text.empty()) return 0;
    size_t end = text.size() - 1;
    while (end > 0 && isContinuation(text[end]))
        --end;
    return end;
}

// Print-statement layout: Tab(n) moves to column n with blanks, or to column n of a new line
// when the text already reaches column n.
class TabLine {
public:
    explicit TabLine(std::vector<std::string>& out) : out_(out) {}
    TabLine& tab(size_t column) {
        if (columns(line_) >= column) {
            out_.push_back(std::move(line_));
            line_.clear();
        }
        line_.append(column - 1 - columns(line_), ' ');
        return *this;
    }
    TabLine& put(std::string_view text) {
        line_ += text;
        return *this;
    }
    void end() {
        out_.push_back(std::move(line_));
        line_.clear();
    }

private:
    std::vector<std::string>& out_;
    std::string line_;
};

constexpr std::string_view kItem = "<ITEM";
constexpr std::string_view kLength = "LENGTH";
constexpr std::string_view kName = "NAME";
constexpr std::string_view kVolpan = "VOLPAN";
constexpr std::string_view kSoffs = "SOFFS";
constexpr std::string_view kPlayrate = "PLAYRATE";

double valueNumber(std::string_view line, size_t at, std::string_view keyword, int index) {
    return runden(1000, numericPrefix(keywordValue(line, at, keyword.size(), index)));
}

} // namespace

namespace {
// Empties the entries the last read filled: a read fills 1..Samplezahl and nothing beyond, so
// the rest of the 100000 entries is empty already and is not looked at.
void clearTable(std::vector<std::string>& table, std::int32_t Samplezahl) {
    const size_t end = std::min(table.size(), static_cast<size_t>(std::max(Samplezahl, 0)) + 1);
    for (size_t k = 0; k < end; ++k)
        table[k].clear();
}
} // namespace

std::vector<std::string> emptySampleTable() {
    return std::vector<std::string>(static_cast<size_t>(kCatalogLast) + 1);
}

const std::string& catalogEntry(const std::vector<std::string>& table, std::int32_t Samplezahl,
                                long k) {
    static const std::string empty;
    if (k < 1 || k > Samplezahl || k > kCatalogLast || static_cast<size_t>(k) >= table.size())
        return empty;
    return table[static_cast<size_t>(k)];
}

std::string keywordValue(std::string_view line, size_t keywordAt, size_t keywordLength, int index) {
    size_t bodyEnd = withoutLastCharacter(line); // the last character is never part of a value
    // The character after the keyword is passed over, a letter of several bytes whole.
    size_t start = keywordAt + keywordLength + 1;
    while (start < line.size() && isContinuation(line[start]))
        ++start;
    for (int k = 1;; ++k) {
        if (start >= bodyEnd) return "";
        size_t end = line.find(' ', start);
        if (end == std::string_view::npos || end > bodyEnd) end = bodyEnd;
        if (k == index) return std::string(line.substr(start, end - start));
        start = end + 1;
    }
}

void splitTakeName(std::string_view t, std::string& NAME, std::string& INF) {
    size_t dot = t.find('.');
    // The name ends at the dot, or without the last character when there is no dot.
    size_t end = dot == std::string_view::npos ? withoutLastCharacter(t) : dot;
    NAME.clear();
    for (char c : t.substr(0, end))
        if (c != '"') NAME += c;
    INF.clear();
    if (dot == std::string_view::npos) return;
    size_t dash = t.find('-', dot + 1);
    if (dash != std::string_view::npos) INF = std::string(t.substr(dash + 1));
}

std::string entryText(const std::string& NAME, const ItemValues& v, const std::string& INF) {
    return NAME + "  " + signBlankText(v.DT) + "  " + signBlankText(v.ZTP) + "  " +
           signBlankText(v.HT) + "  " + signBlankText(v.LT1) + "  " + signBlankText(v.LT2) + "  " +
           INF;
}

ProjectScan scanSampleProject(const std::function<bool(std::string&)>& next,
                              std::vector<std::string>* listing, char decimal) {
    ProjectScan scan;
    std::string line;
    while (next(line)) {
        if (line.find(kItem) == std::string::npos) continue;
        if (scan.entries.size() >= static_cast<size_t>(kCatalogMaxEntries)) {
            scan.tooMany = true;
            return scan;
        }
        // Each keyword is searched from the line after the previous find, across items.
        ItemValues v;
        for (std::string_view keyword : {kLength, kName, kVolpan, kSoffs, kPlayrate}) {
            size_t at = std::string::npos;
            bool found = false;
            while (!found && next(line))
                found = (at = line.find(keyword)) != std::string::npos;
            if (!found) {
                scan.truncated = true;
                scan.missing = keyword;
                return scan;
            }
            if (keyword == kLength) {
                v.DT = valueNumber(line, at, keyword, 1);
            } else if (keyword == kName) {
                v.takeName = keywordValue(line, at, keyword.size(), 1);
            } else if (keyword == kVolpan) {
                v.LT1 = valueNumber(line, at, keyword, 1);
                v.LT2 = valueNumber(line, at, keyword, 3);
            } else if (keyword == kSoffs) {
                v.ZTP = valueNumber(line, at, keyword, 1);
            } else {
                v.HT = valueNumber(line, at, keyword, 3);
            }
        }
        std::string NAME, INF;
        splitTakeName(v.takeName, NAME, INF);
        std::string entry = entryText(NAME, v, INF);
        // 32767 entries of this size keep the catalog and its listing small.
        if (columns(entry) > static_cast<size_t>(kCatalogEntryChars)) {
            scan.tooLong = true;
            return scan;
        }
        scan.entries.push_back(std::move(entry));
        if (listing) {
            TabLine out(*listing);
            out.put(printText(static_cast<double>(scan.entries.size())))
                .tab(8)
                .put(NAME)
                .tab(30)
                .put(printText(v.DT))
                .tab(38)
                .put(printText(v.ZTP))
                .tab(50)
                .put(plainText(v.HT, decimal))
                .tab(58)
                .put(plainText(v.LT1, decimal))
                .tab(66)
                .put(plainText(v.LT2, decimal))
                .tab(74)
                .put(INF)
                .end();
        }
    }
    return scan;
}

std::vector<std::string> listingHead(const LocalTime& now, const std::string& listingText) {
    std::vector<std::string> head = {
        dateText(now) + "  " + timeText(now),
        "Format in " + listingText + ":",
        "",
        "                               Spalte",
        "     ----------------------------------------------------------",
        "       1       2       3       4       5      6      7",
        "       |       |       |       |       |      |      |",
        "       |       |       |       |       |      |    Beschreibung",
        "       |       |       |       |       |      |  (kann entfallen)",
        "       |       |       |       |       |   Samplelautstärke 2",
        "       |       |       |       |    Samplelautstärke 1",
        "       |       |       |     Playrate",
        "       |       |     Samplezeitpunkt in der Original-WAV-Datei",
        "       |     Sampledauer",
        "     Samplename",
        "     ----------------------------------------------------------",
        "",
        "",
    };
    TabLine numbers(head);
    numbers.tab(8).put("1").tab(31).put("2").tab(39).put("3").tab(50).put("4");
    numbers.tab(58).put("5").tab(66).put("6").tab(74).put("7").end();
    TabLine titles(head);
    titles.tab(8).put("NAME").tab(31).put("DT").tab(39).put("ZTP").tab(50).put("HT");
    titles.tab(58).put("LT1").tab(66).put("LT2").tab(74).put("INF").end();
    return head;
}

void Katalogleser(Files& files, Dialogs& dialogs, Clock& clock, const WorkFolder& folder,
                  double sound, char decimal, std::vector<std::string>& table,
                  std::int32_t& Samplezahl) {
    clearTable(table, Samplezahl);
    const auto listingPath = folder.path(names::sampleListing);
    const std::string projectText = folder.text(names::sampleProject);
    auto fail = [&](const std::vector<std::string>& listing, const std::string& message) {
        writeTextLines(files, listingPath, listing); // the listing keeps what was read
        dialogs.tell("FEHLER", message);
        throw ProgramEnd();
    };
    // Line by line: only the entries and the listing are kept, never the whole project.
    LineReader reader(files, folder.path(names::sampleProject), kSampleProjectLineBytes);
    if (!reader.opened()) fail({}, withDefaultsHint(projectText + " ist nicht vorhanden!"));

    std::vector<std::string> listing = listingHead(clock.now(), folder.text(names::sampleListing));
    ProjectScan scan;
    size_t longLine = 0;
    auto next = [&](std::string& line) {
        if (!reader.next(line)) return false;
        if (reader.cut()) longLine = reader.number();
        return longLine == 0;
    };
    if (sound == 3 || sound == 4) scan = scanSampleProject(next, &listing, decimal);
    for (size_t k = 0; k < scan.entries.size(); ++k)
        table[k + 1] = std::move(scan.entries[k]);
    Samplezahl = static_cast<std::int32_t>(scan.entries.size());
    if (reader.failed()) fail(listing, projectText + " ist nicht vorhanden!");
    if (longLine != 0)
        fail(listing, "Die Zeile " + plainText(static_cast<long long>(longLine)) + " von " +
                          projectText + " ist länger als " +
                          plainText(static_cast<long long>(kSampleProjectLineBytes)) +
                          " Bytes; so lange Zeilen liest der Samplekatalog nicht!");
    // A file cut off inside an item is there, but damaged: the message says so.
    if (scan.truncated)
        fail(listing, projectText + " endet mitten im Item " + plainText(Samplezahl + 1) + " (" +
                          scan.missing + " fehlt) - die Samplesammlung ist unvollständig!");
    if (scan.tooMany)
        fail(listing, projectText + " enthält mehr als " + plainText(kCatalogMaxEntries) +
                          " Samples; so viele fasst der Samplekatalog nicht!");
    if (scan.tooLong)
        fail(listing, "Der Eintrag des Items " + plainText(Samplezahl + 1) + " in " + projectText +
                          " ist länger als " + plainText(kCatalogEntryChars) +
                          " Zeichen; so lange Einträge fasst der Samplekatalog nicht!");
    if (std::string error = writeTextLines(files, listingPath, listing); !error.empty())
        dialogs.tell("FEHLER", "Die Sampleübersicht " + folder.text(names::sampleListing) +
                                   " konnte nicht geschrieben werden: " + error);
}

void HCLeser(Files& files, Dialogs& dialogs, const WorkFolder& folder,
             std::vector<std::string>& table, std::int32_t& Samplezahl) {
    const std::string listText = folder.text(names::sampleList);
    auto missing = [&] {
        failCommand(dialogs,
                    withDefaultsHint("Die Sampleliste " + listText + " ist nicht vorhanden!"));
    };
    // A character takes at most four bytes: a line cut there is too long in any case.
    LineReader reader(files, folder.path(names::sampleList), 4 * kCatalogEntryChars + 4);
    if (!reader.opened()) missing();
    std::vector<std::string> lines;
    for (std::string line; reader.next(line);) {
        if (lines.size() == static_cast<size_t>(kCatalogMaxEntries))
            failCommand(dialogs, "Die Sampleliste " + listText + " hat mehr als " +
                                     plainText(kCatalogMaxEntries) +
                                     " Zeilen; so viele fasst der Samplekatalog nicht!");
        // Each tone's line in Daten repeats its entry: a long one would fill the memory.
        if (reader.cut() || columns(line) > static_cast<size_t>(kCatalogEntryChars))
            failCommand(dialogs, "Die Zeile " + plainText(static_cast<long long>(reader.number())) +
                                     " der Sampleliste " + listText + " ist länger als " +
                                     plainText(kCatalogEntryChars) +
                                     " Zeichen; so lange Einträge fasst der Samplekatalog nicht!");
        lines.push_back(std::move(line));
    }
    if (reader.failed()) missing();
    clearTable(table, Samplezahl);
    for (size_t k = 0; k < lines.size(); ++k)
        table[k + 1] = std::move(lines[k]);
    Samplezahl = static_cast<std::int32_t>(lines.size());
}

void Katalogliste(const std::vector<std::string>& table, std::int32_t Samplezahl,
                  ListBox& Zuordnung) {
    for (const char* line : {"", "Tonnummern, zugeordnete", "Samples und deren Tondauern:", ""})
        Zuordnung.add(line);
    // Nothing lies beyond Samplezahl, so the search for the first entry stops there.
    const size_t last = std::min(table.size() - 1, static_cast<size_t>(std::max(Samplezahl, 0)));
    size_t k = 1;
    if (k <= last && table[k].empty()) {
        Zuordnung.add("In den ersten Zeilen von");
        Zuordnung.add("Tonfex-HC.txt steht nichts.");
        Zuordnung.add("");
        while (k <= last && table[k].empty())
            ++k;
    }
    for (; k <= last && !table[k].empty(); ++k)
        Zuordnung.add(plainText(static_cast<long long>(k)) + " = " + table[k]);
    Zuordnung.add("");
}

std::string entryName(std::string_view entry) {
    size_t chars = 0;
    for (size_t i = 0; i < entry.size(); ++i) {
        if (isContinuation(entry[i])) continue;
        if (chars == 99) return std::string(entry.substr(0, i)); // no blank in the first 100
        if (entry[i] == ' ') return std::string(entry.substr(0, i));
        ++chars;
    }
    return std::string(entry);
}

EntryFields Eintragsleser(std::string_view entry, std::string_view name) {
    EntryFields f;
    size_t p = std::min(name.size(), entry.size());
    for (std::string* field : {&f.DT, &f.ZTP, &f.HT, &f.LT1, &f.LT2, &f.INF}) {
        while (p < entry.size() && entry[p] == ' ')
            ++p;
        size_t end = entry.find(' ', p);
        if (end == std::string_view::npos) end = entry.size();
        *field = std::string(entry.substr(p, end - p));
        p = end;
    }
    return f;
}

} // namespace tonfex
