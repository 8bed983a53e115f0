#include "sampler/writer.h"

#include "core/encoding.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "core/textfile.h"

#include <algorithm>
#include <charconv>
#include <cmath>

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

void writerTempo(const Settings& s, double& Tempoteiler) {
    const double tfm = s.tfm();
    const double tempo = static_cast<double>(s.TEMPO);
    if (tfm == 1 || tfm == 0.1 || tfm == 0.2 || tfm == 2) Tempoteiler = tempo;
    if (s.ORIGINALSAMPLEABSTAND == 0) Tempoteiler = tempo / 1000;
    if (tfm > 2) Tempoteiler = tempo;
}

void appendPrinted(std::string& out, double value) {
    if (value == 0 || !std::isfinite(value)) {
        out += " 0 ";
        return;
    }
    char buf[40];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string_view text(buf, static_cast<size_t>(end - buf));
    if (ec != std::errc() || text.find('e') != std::string_view::npos) {
        out += printText(value); // exponent range: the general conversion does the work
        return;
    }
    bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.size() > 1 && text[0] == '0' && text[1] == '.') text.remove_prefix(1);
    out += negative ? '-' : ' ';
    out += text;
    out += ' ';
}

namespace {

void line(std::string& out, std::string_view text) {
    out += text;
    out += "\r\n";
}

void printedLine(std::string& out, std::string_view head, double value) {
    out += head;
    appendPrinted(out, value);
    out += "\r\n";
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

std::vector<std::string> readHead(const ProjectRun& run, std::string_view name) {
    auto lines = readTextLines(run.platform.files, run.folder.path(name));
    if (!lines)
        failCommand(run.platform.dialogs,
                    "Die Projektvorlage " + run.folder.text(name) + " ist nicht vorhanden! " +
                        run.folder.text(names::project) + " bleibt unverändert.");
    return std::move(*lines);
}

void Itemschreiber(ProjectRun& run, const std::vector<std::string>& trackHead, std::string& out) {
    Settings& s = run.s;
    Melody& melody = run.melody;
    run.Reaperstart.back = colors::lightGrey;
    if (s.SAMPLETUNING == 3)
        for (const char* text : {"", "Zufalls-Sampletranspositionen", "werden berechnet:", ""})
            run.Daten.add(text);

    // Sample lengths and the lowest tone: the melody just read, row Tonhoehe(i) of the catalog.
    const int N = run.tones;
    std::int16_t lowest = 127;
    for (int i = 1; i <= N; ++i) {
        const auto at = static_cast<size_t>(i);
        const std::string& entry =
            catalogEntry(run.Sampletabelle, run.Samplezahl, melody.Tonhoehe[at]);
        run.state.Samplelaenge[at] =
            numericPrefix(Eintragsleser(entry, entryName(entry)).DT) * 4800;
        lowest = std::min(lowest, melody.Tonhoehe[at]);
    }

    // Fades as REAPER reads them: always with a decimal point.
    const std::string fadeIn =
        "    FADEIN 1 " + plainText(s.SAMPLEEINSCHWING * 0.001, '.') + " 0.000000";
    const std::string fadeOut =
        "    FADEOUT 1 " + plainText(s.SAMPLEAUSSCHWING * 0.001, '.') + " 0.000000";
    const double T = run.Tempoteiler;
    const int tracks = s.TRACKZAHL >= 1 && s.TRACKZAHL <= 8 ? s.TRACKZAHL : 8;
    if (tracks == 1) s.AUTOPAN = 0;
    run.state.Itemzahl = 0;

    const Timing timing(run, T);
    SampleChooser chooser(s, melody, run.Sampletabelle, run.Samplezahl, lowest, run.state,
                          run.platform, run.Daten);
    for (int t = 1; t <= tracks; ++t) {
        for (const auto& head : trackHead)
            line(out, s.AUTOPAN == 1 && head == kCentredTrackVolpan ? panLine(t) : head);
        double x = timing.trackStart(t);
        for (long i = t; i <= N && melody.Tonhoehe[static_cast<size_t>(i)] > 0; i += tracks) {
            const auto at = static_cast<size_t>(i);
            ++run.state.Itemzahl;
            if (s.ORIGINALSAMPLEABSTAND == 1) melody.Tondauer[at] = run.state.Samplelaenge[at];
            const ToneSample tone = chooser.choose(static_cast<int>(i));

            line(out, "  <ITEM");
            printedLine(out, "      POSITION ", x);
            line(out, "    SNAPOFFS 0");
            if (s.ORIGINALSAMPLEDAUER == 0)
                printedLine(out, "    LENGTH ", timing.u(i) + s.UBERLAPPUNG);
            else if (s.ORIGINALSAMPLEDAUER == 1)
                printedLine(out, "    LENGTH ", numericPrefix(tone.fields.DT));
            line(out, "    LOOP 0");
            line(out, "    ALLTAKES 0");
            line(out, "    SEL 0");
            line(out, fadeIn);
            line(out, fadeOut);
            line(out, "    MUTE 0");
            line(out, "    IGUID {03903699-9D42-4A72-8688-E4ABE569A5E4}");
            if (s.SAMPLENUMMER == 0) {
                line(out, "    NAME " + tone.NAME + ".wav");
            } else if (s.SAMPLENUMMER == 1) {
                printedLine(out, "    NAME ", static_cast<double>(i));
            } else if (s.SAMPLENUMMER == 2) {
                line(out, "    NAME " +
                              (tone.fields.INF.empty() ? tone.NAME + ".wav" : tone.fields.INF));
            }
            const float v = static_cast<float>(melody.Lautstaerke[at] / 127.0);
            out += "    VOLPAN ";
            appendPrinted(out, static_cast<double>(v) * numericPrefix(tone.fields.LT1));
            out += " 0.000000 ";
            appendPrinted(out, numericPrefix(tone.fields.LT2));
            line(out, " -1.000000");
            printedLine(out, "    SOFFS ", tone.start);
            if (s.SAMPLETUNING >= 0 && s.SAMPLETUNING <= 4) {
                out += "    PLAYRATE 1.00000000000000 1 ";
                appendPrinted(out, tone.pitch);
                line(out, " -65536");
            }
            line(out, "    CHANMODE 0");
            line(out, "    GUID {9628E193-CA29-4783-A547-73A6C9A1E198}");
            line(out, "    <SOURCE WAVE");
            line(out, "      FILE " + tone.NAME + ".wav");
            line(out, "    >");
            line(out, "   >");

            x += timing.advance(i, tracks);
        }
        line(out, "  >");
    }
    run.Reaperstart.back = kProjectReady;
    if (s.SAMPLETUNING == 3) run.Daten.add("");
}

} // namespace

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
    const std::vector<std::string> projectHead = readHead(run, names::projectHead01);
    const std::vector<std::string> trackHead = readHead(run, names::projectHead02);
    writerTempo(s, run.Tempoteiler);
    if (!(run.Tempoteiler > 0) || !std::isfinite(run.Tempoteiler))
        failCommand(dialogs, "Für TONFINDUNGSMETHODE " + s.TONFINDUNGSMETHODE +
                                 ", ORIGINALSAMPLEABSTAND " + plainText(s.ORIGINALSAMPLEABSTAND) +
                                 " und TEMPO " + plainTextSingle(s.TEMPO, s.decimal) +
                                 " ergibt sich kein Tempo über 0. " + projectText +
                                 " bleibt unverändert.");

    std::string out;
    out.reserve(static_cast<size_t>(run.tones) * 620 + 4096);
    const std::string renderLine = templateRenderLine(run.folder);
    std::string renderName;
    for (const auto& head : projectHead) {
        if (head == renderLine) {
            renderName =
                run.folder.text("Tonfex-" + renderStamp(run.platform.clock.now()) + ".wav");
            // A folder with a blank needs the quotes REAPER reads a path with blanks by.
            line(out, "  RENDER_FILE " + (renderName.find(' ') == std::string::npos
                                              ? renderName
                                              : "\"" + renderName + "\""));
        } else {
            line(out, head);
        }
    }
    run.platform.clipboard.clear();
    run.platform.clipboard.setText(renderName);
    run.Reaperstart.back = kProjectReady;

    Itemschreiber(run, trackHead, out);
    line(out, ">");

    const bool ascii = std::all_of(out.begin(), out.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    std::string error = run.platform.files.writeWhole(run.folder.path(names::project),
                                                      ascii ? out : cp1252FromUtf8(out));
    if (!error.empty())
        failCommand(dialogs, "Das REAPER-Projekt " + projectText +
                                 " konnte nicht geschrieben werden: " + error);

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
        Daten.add(plainText(n) + "  " + plainText(run.melody.Tonhoehe[at]) + "  " +
                  catalogEntry(run.Sampletabelle, run.Samplezahl, row) + "  " +
                  plainText(run.melody.Lautstaerke[at]) + "  " +
                  plainText(run.melody.Tondauer[at], s.decimal));
    }
}

} // namespace tonfex
