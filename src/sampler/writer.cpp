#include "sampler/writer.h"

#include "core/encoding.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "core/textfile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

namespace tonfex {

const char* const kCentredTrackVolpan =
    "    VOLPAN 1.00000000000000 0.00000000000000 -1.00000000000000";

const std::string& panLine(int track) {
    static const std::vector<std::string> lines = {
        "    VOLPAN 1.00000000000000 -0.13800000000000 -1.00000000000000",
        "    VOLPAN 1.00000000000000 0.13600000000000 -1.00000000000000",
        "    VOLPAN 1.00000000000000 -0.37400000000000 -1.00000000000000",
        "    VOLPAN 1.00000000000000 0.41000000000000 -1.00000000000000",
        "    VOLPAN 1.00000000000000 -0.72600000000000 -1.00000000000000",
        "    VOLPAN 1.00000000000000 0.72400000000000 -1.00000000000000",
        "    VOLPAN 1.00000000000000 -0.88400000000000 -1.00000000000000",
        "    VOLPAN 1.00000000000000 0.88200000000000 -1.00000000000000",
    };
    return lines[static_cast<size_t>(std::clamp(track, 1, 8) - 1)];
}

std::string renderStamp(const LocalTime& now) {
    std::string date = dateText(now), time = timeText(now);
    auto last2 = [](const std::string& t) { return t.size() >= 2 ? t.substr(t.size() - 2) : t; };
    return date.substr(0, 2) + date.substr(3, 2) + last2(date) + "-" + time.substr(0, 2) +
           time.substr(3, 2) + "-" + last2(time);
}

std::string templateRenderLine(const WorkFolder& folder) {
    return "  RENDER_FILE \"" + folder.text("Test-001.wav") + "\"";
}

bool isTemplateRenderLine(std::string_view line) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) return false;
    line.remove_prefix(start);
    constexpr std::string_view key = "RENDER_FILE ";
    if (line.substr(0, key.size()) != key) return false;
    line.remove_prefix(key.size());
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"')
        line = line.substr(1, line.size() - 2);
    // Either separator: a folder made on Windows names its file with "\".
    const size_t slash = line.find_last_of("/\\");
    return line.substr(slash == std::string_view::npos ? 0 : slash + 1) == "Test-001.wav";
}

void writerTempo(const Settings& s, double& Tempoteiler) {
    const double tfm = s.tfm();
    const double tempo = static_cast<double>(s.TEMPO);
    if (tfm == 1 || tfm == 0.1 || tfm == 0.2 || tfm == 2) Tempoteiler = tempo;
    if (s.ORIGINALSAMPLEABSTAND == 0) Tempoteiler = tempo / 1000;
    if (tfm > 2) Tempoteiler = tempo;
}

namespace {

// Appends `value` and two blanks.
void appendField(std::string& out, long value) {
    char buf[24];
    out.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr);
    out += "  ";
}

// The project text on its way to the file, in Windows-1252: one buffer that is written out
// whenever it is full, so that a project of any size needs no more memory than the buffer.
class ProjectText {
public:
    explicit ProjectText(WholeFileWriter& file)
        : file_(file), buffer_(std::make_unique_for_overwrite<char[]>(kBufferBytes)) {}

    void put(std::string_view text) {
        if (used_ + text.size() > capacity_) makeRoom(text.size());
        std::memcpy(buffer_.get() + used_, text.data(), text.size());
        used_ += text.size();
    }
    // REAPER reads a project as UTF-8, the program's own text form: sample names and
    // folders with umlauts reach it unchanged.
    void line(std::string_view text) {
        put(text);
        put("\r\n");
    }
    void number(double value) {
        number_.clear();
        appendPrintText(number_, value);
        put(number_);
    }
    void flush() {
        file_.write({buffer_.get(), used_});
        used_ = 0;
    }

private:
    // 64 KB: few writes per project, and small enough for the allocator to reuse from one
    // project to the next instead of mapping fresh pages; never filled before it is written.
    static constexpr size_t kBufferBytes = size_t{64} * 1024;
    void makeRoom(size_t n);

    WholeFileWriter& file_;
    std::unique_ptr<char[]> buffer_;
    size_t capacity_ = kBufferBytes;
    size_t used_ = 0;
    std::string number_;
};

// Out of line, so that put() stays small enough to be copied into every caller.
void ProjectText::makeRoom(size_t n) {
    flush();
    if (n > capacity_) {
        buffer_ = std::make_unique_for_overwrite<char[]>(n);
        capacity_ = n;
    }
}

// The printed forms of recent values: most numbers of a project repeat from item to item.
// Each slot holds its text inline, so the cache is one block without a string per slot.
class PrintCache {
public:
    void put(ProjectText& out, double value) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        Slot& slot = slots_[(bits * 0x9E3779B97F4A7C15u) >> (64 - kSlotBits)];
        if (slot.length == 0 || slot.bits != bits) {
            text_.clear();
            appendPrintText(text_, value);
            if (text_.size() > sizeof slot.text) { // too long to keep: printed as it is
                out.put(text_);
                return;
            }
            std::memcpy(slot.text, text_.data(), text_.size());
            slot.length = static_cast<std::uint8_t>(text_.size()); // never 0: ends in a blank
            slot.bits = bits;
        }
        out.put({slot.text, slot.length});
    }

private:
    static constexpr int kSlotBits = 11;
    struct Slot {
        std::uint64_t bits = 0;
        std::uint8_t length = 0; // 0: empty
        char text[23];
    };
    std::vector<Slot> slots_ = std::vector<Slot>(size_t{1} << kSlotBits);
    std::string text_;
};

void printedLine(ProjectText& out, PrintCache& cache, std::string_view head, double value) {
    out.put(head);
    cache.put(out, value);
    out.put("\r\n");
}

// Durations in the melody's unit: the melody's own, or the sample lengths with Oga 1.
class Timing {
public:
    Timing(const ProjectRun& run, double T)
        : run_(run), T_(T), gap_(run.s.Samplepause), original_(run.s.ORIGINALSAMPLEABSTAND == 1) {}

    double D(long j) const {
        if (j < 1 || j > Melody::kLast) return 0;
        const auto at = static_cast<size_t>(j);
        return original_ ? run_.state.Samplelaenge[at] : run_.melody.Tondauer[at];
    }
    double u(long j) const { return D(j) / 4800 / T_; }
    double trackStart(int track) const {
        double x = 0;
        for (long k = 1; k < track; ++k)
            x += u(k) + gap_;
        return x;
    }
    // The distance to the next item of the same track, after tone i.
    double advance(long i, int tracks) const {
        if (tracks == 1) return u(i) + 2 * gap_;
        double units = 0;
        for (long j = i; j < i + tracks; ++j)
            units += D(j) + gap_;
        return units / 4800 / T_ + tracks * gap_;
    }

private:
    const ProjectRun& run_;
    double T_;
    double gap_;
    bool original_;
};

// The most bytes of a template head: a head is written once per track, so a larger one would
// make a project of its size times eight.
constexpr size_t kHeadBytes = size_t{4} << 20;

// The head's bytes; a missing or too large head ends the command.
std::string headBytes(Files& files, Dialogs& dialogs, const WorkFolder& folder,
                      std::string_view name) {
    const std::string unchanged = " " + folder.text(names::project) + " bleibt unverändert.";
    auto head = readFirstBytes(files, folder.path(name), kHeadBytes);
    if (!head)
        failCommand(dialogs, withDefaultsHint("Die Projektvorlage " + folder.text(name) +
                                              " ist nicht vorhanden!" + unchanged));
    if (head->more)
        failCommand(dialogs, "Die Projektvorlage " + folder.text(name) +
                                 " ist größer als 4 MB; so große Vorlagen liest das Programm "
                                 "nicht!" + unchanged);
    return std::move(head->bytes);
}

std::vector<std::string> readHead(Files& files, Dialogs& dialogs, const WorkFolder& folder,
                                  std::string_view name) {
    return splitLines(decodeFileText(headBytes(files, dialogs, folder, name)));
}

void Itemschreiber(ProjectRun& run, const std::vector<std::string>& trackHead, ProjectText& out) {
    Settings& s = run.s;
    Melody& melody = run.melody;
    run.Reaperstart.back = colors::lightGrey;
    if (s.SAMPLETUNING == 3)
        for (const char* text : {"", "Zufalls-Sampletranspositionen", "werden berechnet:", ""})
            run.Daten.add(text);

    // Sample lengths and the lowest tone: the melody just read, row Tonhoehe(i) of the catalog.
    const int N = run.tones;
    EntryCache entries(run.Sampletabelle, run.Samplezahl);
    std::int16_t lowest = 127;
    for (int i = 1; i <= N; ++i) {
        const auto at = static_cast<size_t>(i);
        run.state.Samplelaenge[at] = entries.row(melody.Tonhoehe[at]).DT * 4800;
        lowest = std::min(lowest, melody.Tonhoehe[at]);
    }

    // Lines 5 to 11 of every item block; the fades as REAPER reads them, with a decimal point.
    const std::string loopToIguid =
        "    LOOP 0\r\n    ALLTAKES 0\r\n    SEL 0\r\n    FADEIN 1 " +
        plainText(s.SAMPLEEINSCHWING * 0.001, '.') + " 0.000000\r\n    FADEOUT 1 " +
        plainText(s.SAMPLEAUSSCHWING * 0.001, '.') +
        " 0.000000\r\n    MUTE 0\r\n    IGUID {03903699-9D42-4A72-8688-E4ABE569A5E4}\r\n";
    const double T = run.Tempoteiler;
    const int tracks = s.TRACKZAHL >= 1 && s.TRACKZAHL <= 8 ? s.TRACKZAHL : 8;
    if (tracks == 1) s.AUTOPAN = 0;
    run.state.Itemzahl = 0;

    const Timing timing(run, T);
    PrintCache printed;
    SampleChooser chooser(s, melody, entries, run.Samplezahl, lowest, run.state, run.platform,
                          run.Daten);
    for (int t = 1; t <= tracks; ++t) {
        for (const auto& head : trackHead)
            out.line(s.AUTOPAN == 1 && head == kCentredTrackVolpan ? panLine(t) : head);
        double x = timing.trackStart(t);
        for (long i = t; i <= N && melody.Tonhoehe[static_cast<size_t>(i)] > 0; i += tracks) {
            const auto at = static_cast<size_t>(i);
            ++run.state.Itemzahl;
            if (run.progress)
                run.progress->setText("Ton " + plainText(run.state.Itemzahl) + " von " +
                                      plainText(N));
            if (s.ORIGINALSAMPLEABSTAND == 1) melody.Tondauer[at] = run.state.Samplelaenge[at];
            const ToneSample tone = chooser.choose(static_cast<int>(i));
            const SampleEntry& e = *tone.entry;

            out.put("  <ITEM\r\n      POSITION ");
            out.number(x); // positions never repeat: no use caching them
            out.put("\r\n    SNAPOFFS 0\r\n");
            if (s.ORIGINALSAMPLEDAUER == 0)
                printedLine(out, printed, "    LENGTH ", timing.u(i) + s.UBERLAPPUNG);
            else if (s.ORIGINALSAMPLEDAUER == 1)
                printedLine(out, printed, "    LENGTH ", e.DT);
            out.put(loopToIguid);
            if (s.SAMPLENUMMER == 1) {
                printedLine(out, printed, "    NAME ", static_cast<double>(i));
            } else if (s.SAMPLENUMMER == 2 && !e.fields.INF.empty()) {
                out.put("    NAME ");
                out.line(e.fields.INF);
            } else if (s.SAMPLENUMMER == 0 || s.SAMPLENUMMER == 2) {
                out.put("    NAME ");
                out.put(e.NAME);
                out.put(".wav\r\n");
            }
            const float v = static_cast<float>(melody.Lautstaerke[at] / 127.0);
            out.put("    VOLPAN ");
            printed.put(out, static_cast<double>(v) * e.LT1);
            out.put(" 0.000000 ");
            printed.put(out, e.LT2);
            out.put(" -1.000000\r\n    SOFFS ");
            printed.put(out, tone.start);
            out.put("\r\n");
            if (s.SAMPLETUNING >= 0 && s.SAMPLETUNING <= 4) {
                out.put("    PLAYRATE 1.00000000000000 1 ");
                printed.put(out, tone.pitch);
                out.put(" -65536\r\n");
            }
            out.put("    CHANMODE 0\r\n"
                    "    GUID {9628E193-CA29-4783-A547-73A6C9A1E198}\r\n"
                    "    <SOURCE WAVE\r\n"
                    "      FILE ");
            out.put(e.NAME);
            out.put(".wav\r\n"
                    "    >\r\n"
                    "   >\r\n");

            x += timing.advance(i, tracks);
        }
        out.line("  >");
    }
    run.Reaperstart.back = kProjectReady;
    if (s.SAMPLETUNING == 3) run.Daten.add("");
}

} // namespace

void requireTemplateHeads(Files& files, Dialogs& dialogs, const WorkFolder& folder) {
    headBytes(files, dialogs, folder, names::projectHead01);
    headBytes(files, dialogs, folder, names::projectHead02);
}

void Projektschreiber(ProjectRun& run) {
    Settings& s = run.s;
    Dialogs& dialogs = run.platform.dialogs;
    const std::string projectText = run.folder.text(names::project);

    // Everything that can stop the run is checked before anything changes.
    if (run.tones > Melody::kMaxTones)
        failCommand(dialogs, "Die Melodie hat " + plainText(run.tones) +
                                 " Töne; ein REAPER-Projekt fasst höchstens " +
                                 plainText(Melody::kMaxTones) + " Items. " + projectText +
                                 " bleibt unverändert.");
    const std::vector<std::string> projectHead =
        readHead(run.platform.files, dialogs, run.folder, names::projectHead01);
    const std::vector<std::string> trackHead =
        readHead(run.platform.files, dialogs, run.folder, names::projectHead02);
    writerTempo(s, run.Tempoteiler);
    if (!(run.Tempoteiler > 0) || !std::isfinite(run.Tempoteiler))
        failCommand(dialogs, "Für TONFINDUNGSMETHODE " + s.TONFINDUNGSMETHODE +
                                 ", ORIGINALSAMPLEABSTAND " + plainText(s.ORIGINALSAMPLEABSTAND) +
                                 " und TEMPO " + plainTextSingle(s.TEMPO, s.decimal) +
                                 " ergibt sich kein Tempo über 0. " + projectText +
                                 " bleibt unverändert.");

    auto file = run.platform.files.writeInPieces(run.folder.path(names::project));
    ProjectText out(*file);
    std::string renderName;
    for (const auto& head : projectHead) {
        if (isTemplateRenderLine(head)) {
            renderName =
                run.folder.text("Tonfex-" + renderStamp(run.platform.clock.now()) + ".wav");
            // A folder with a blank needs the quotes REAPER reads a path with blanks by.
            out.line("  RENDER_FILE " + (renderName.find(' ') == std::string::npos
                                             ? renderName
                                             : "\"" + renderName + "\""));
        } else {
            out.line(head);
        }
    }
    Itemschreiber(run, trackHead, out);
    out.line(">");
    out.flush();
    const std::string error = file->finish();
    if (!error.empty())
        failCommand(dialogs, "Das REAPER-Projekt " + projectText +
                                 " konnte nicht geschrieben werden: " + error);
    // The render name and the ready colour only once the project is on disk.
    run.platform.clipboard.clear();
    run.platform.clipboard.setText(renderName);
    run.Reaperstart.back = kProjectReady;

    ListBox& Daten = run.Daten;
    Daten.add("Anzahl der Schleifendurchläufe");
    Daten.add("im Tonfindungsgenerator: " + plainText(run.Versuche));
    Daten.add("");
    Daten.add("Jetzt Reaper schließen und");
    Daten.add("dann Knopf 'Reaper' drücken.");
    Daten.add("");
    const int ktp = s.KEYTRANSPOSE;
    for (int n = 1; n <= run.state.Itemzahl; ++n) {
        const auto at = static_cast<size_t>(n);
        long row = ktp <= 0               ? run.melody.Tonhoehe[at]
                   : ktp == 2 || ktp == 3 ? run.state.Samplezeile[at]
                                          : 1;
        const std::string& entry = catalogEntry(run.Sampletabelle, run.Samplezahl, row);
        // Number, tone, entry, volume and duration, two blanks apart.
        std::string text;
        text.reserve(entry.size() + 64);
        appendField(text, n);
        appendField(text, run.melody.Tonhoehe[at]);
        text += entry;
        text += "  ";
        appendField(text, run.melody.Lautstaerke[at]);
        appendPlainText(text, run.melody.Tondauer[at], s.decimal);
        Daten.add(std::move(text));
    }
}

} // namespace tonfex
