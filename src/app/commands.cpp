#include "app/commands.h"

#include "help/help.h"

#include <algorithm>
#include <string>

namespace tonfex {

namespace {
// A whole number written with digits only, or -1.
int wholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoi(text);
}

// One optional whole number from `low` to `high`.
auto optionalNumber(const char* name, int low, int high, const std::string& range) {
    return [=](const std::vector<std::string>& args) -> std::string {
        if (args.size() > 1) return "zu viele Argumente";
        if (args.empty()) return "";
        const int n = wholeNumber(args[0]);
        return n >= low && n <= high ? "" : std::string(name) + " muss " + range + " sein.";
    };
}

// The explanation page SEITE, or without one the page of the set rule.
void showRulePage(App& app, const Call& call) {
    const int page = call.arguments.empty() ? -1 : wholeNumber(call.arguments[0]);
    app.Ubersicht_Click();
    for (int i = 0; page >= 0 && i <= help::lastPage() && app.erklaIndex != static_cast<float>(page);
         ++i)
        app.erklaplus_Click();
    // A rule without a page (TFm 0.2) left the list empty at the asked index.
    if (page >= 0 && app.c.inidat.count() == 0) {
        app.erklaminus_Click();
        app.erklaplus_Click();
    }
}

// The chooser of stored presets, or with ZEILE the preset of that line loaded.
void loadPreset(App& app, const Call& call) {
    const int line = call.arguments.empty() ? 0 : wholeNumber(call.arguments[0]);
    app.Load_Click();
    if (line == 0) return;
    if (line > app.c.Lini.count())
        failCommand(app.platform.dialogs, "Die Auswahl hat " + std::to_string(app.c.Lini.count()) +
                                              " Zeilen, keine Zeile " + call.arguments[0] + ".");
    app.Lini_Click(line - 1);
}

std::string oneOptionalFile(const std::vector<std::string>& args) {
    return args.size() > 1 ? "zu viele Argumente" : "";
}

std::string helpLine(const Command& command) {
    const std::string name =
        command.verb + (command.arguments.empty() ? "" : " " + command.arguments);
    return "  " + name + std::string(name.size() < 16 ? 16 - name.size() : 1, ' ') +
           command.help + "\n";
}
} // namespace

std::string argumentError(const Command& command, const std::vector<std::string>& args) {
    if (command.checkArguments) return command.checkArguments(args);
    return args.empty() ? "" : "erwartet kein Argument: " + args[0];
}

const std::vector<Command>& commandTable() {
    static const std::string last = std::to_string(help::lastPage()); // the last rule's page
    // The verbs first, in the order of the help; then the controls without a verb.
    static const std::vector<Command> table = {
        {.verb = "neu",
         .control = "Dateiherstellung",
         .help = "neue Melodie nach TONFINDUNGSMETHODE berechnen, schreiben und abspielen",
         .run = [](App& a, const Call&) { a.Dateiherstellung_Click(); },
         .redrawsMelody = true},
        {.verb = "play",
         .control = "Startknopf",
         .help = "die Melodiedatei Tonfex.txt abspielen",
         .run = [](App& a, const Call&) { a.Startknopf_Click(); },
         .redrawsMelody = true},
        {.verb = "ini",
         .control = "Kurzubersicht",
         .help = "Übersicht der aktuellen Einstellungen zeigen",
         .shows = kShowsPage,
         .run = [](App& a, const Call&) { a.Kurzubersicht_Click(); }},
        {.verb = "mid",
         .control = "MID",
         .help = "die Melodiedatei als Standard-MIDI-Datei Tonfex.mid schreiben",
         .run = [](App& a, const Call&) { a.MidiDatei_Click(); }},
        {.verb = "nk",
         .control = "TonfexCap",
         .help = "Notenkonvertierung: aus Tonfex.txt wird Tonfex-Cap.xml (MusicXML)",
         .run = [](App& a, const Call&) { a.TonfexCap_Click(); },
         .redrawsMelody = true},
        {.verb = "xml01",
         .control = "Capellanotenwandeln",
         .help = "Tonfex-01.xml (MusicXML) in das Pattern Tonfex-Cap-PT.txt wandeln",
         .run = [](App& a, const Call&) { a.Capellanotenwandeln_Click(); }},
        {.verb = "xml02",
         .control = "Capellanotenwandeln2",
         .help = "Tonfex-02.xml (MusicXML) in das Pattern Tonfex-Cap-02.txt wandeln",
         .run = [](App& a, const Call&) { a.Capellanotenwandeln2_Click(); }},
        {.verb = "midi01",
         .control = "Midiwandeln",
         .arguments = "[DATEI.mid]",
         .help = "MIDI-Datei (sonst Tonfex-01.mid) in das Pattern Tonfex-Cap-PT.txt "
                 "wandeln",
         .run = [](App& a, const Call& e) {
             a.Midiwandeln_Click(1, e.arguments.empty() ? "" : e.arguments[0]);
         },
         .checkArguments = oneOptionalFile},
        {.verb = "midi02",
         .control = "Midiwandeln2",
         .arguments = "[DATEI.mid]",
         .help = "MIDI-Datei (sonst Tonfex-02.mid) in das Pattern Tonfex-Cap-02.txt "
                 "wandeln",
         .run = [](App& a, const Call& e) {
             a.Midiwandeln_Click(2, e.arguments.empty() ? "" : e.arguments[0]);
         },
         .checkArguments = oneOptionalFile},
        {.verb = "regel",
         .control = "Ubersicht",
         .arguments = "[SEITE]",
         .help = "Erläuterung der eingestellten Regel zeigen (SEITE 0: Testmodus, 1 bis " + last +
                 ": Regel)",
         .shows = kShowsPage,
         .run = showRulePage,
         .checkArguments =
             optionalNumber("SEITE", 0, help::lastPage(), "eine Zahl von 0 bis " + last)},
        {.verb = "e-nk",
         .control = "Ubersicht_Notenschreiben",
         .help = "Übersicht der Einstellungen für den Notenexport (Tonfex-Cap.xml) zeigen",
         .shows = kShowsPage,
         .run = [](App& a, const Call&) { a.Ubersicht_Notenschreiben_Click(); }},
        {.verb = "neue-regel",
         .control = "NeueRegelInfo",
         .help = "Anleitung zum Einbau neuer Regeln zeigen",
         .shows = kShowsPage,
         .run = [](App& a, const Call&) { a.NeueRegelInfo_Click(); }},
        {.verb = "sm",
         .control = "Samplemix",
         .help = "Samplemix: Tonfex.ini durch die Vorlage ersetzen (mit Sicherheitsfrage)",
         .shows = kShowsPage | kShowsProgramInfo,
         .run = [](App& a, const Call&) { a.Samplemix_Click(); }},
        {.verb = "store",
         .control = "Speichern",
         .help = "Tonfex.ini, Tonfex-HCR.rpp und die Capelladateien als Preset speichern",
         .run = [](App& a, const Call&) { a.Speichern_Click(); }},
        {.verb = "load",
         .control = "Load",
         .arguments = "[ZEILE]",
         .help = "gespeicherte Presets nummeriert zeigen; mit ZEILE das Preset dieser Zeile laden",
         .shows = kShowsPage | kShowsProgramInfo | kShowsPresets,
         .run = loadPreset,
         .checkArguments = optionalNumber("ZEILE", 1, 999999, "eine Zahl ab 1")},
        {.verb = "vorhoeren",
         .arguments = "[PROJEKT] [DATEI]",
         .help = "REAPER-Projekt (sonst Tonfex.rpp) ohne REAPER als WAV berechnen (Linux)",
         .run = [](App& a, const Call& call) { a.Vorhoeren_Click(call.arguments); },
         .checkArguments = [](const std::vector<std::string>& args) -> std::string {
             return args.size() > 2 ? "zu viele Argumente" : "";
         }},
        {.verb = "vorgaben",
         .help = "fehlende Vorgabedateien in den Arbeitsordner schreiben (vorhandene bleiben)",
         .run = [](App& a, const Call&) { a.VorgabenSchreiben(); },
         .startsWindow = false},
        // Drawn by the front end that has a painter, which also checks its arguments.
        {.verb = "bild",
         .arguments = "DATEI.png",
         .help = "Bild der Melodiedatei als PNG schreiben (wahlweise dahinter BREITE HÖHE)",
         .startsWindow = false},

        // Play and the lists beside it.
        {.control = "Stopp", .run = [](App& a, const Call&) { a.Stopp_Click(); }},
        {.control = "inidat", .run = [](App& a, const Call& e) { a.inidat_Click(e.line()); }},
        {.control = "KeineFrage", .run = [](App& a, const Call&) { a.KeineFrage_Click(); }},
        {.control = "Zuordnung", .run = [](App& a, const Call&) { a.Zuordnung_Click(); }},
        {.control = "Daten", .run = [](App& a, const Call&) { a.Daten_Click(); }},
        // Power button, end, the launchers (each opens one file), overviews, presets.
        {.control = "Command1",
         .run = [](App& a, const Call&) { a.Command1_Click(); },
         .redrawsMelody = true},
        {.control = "Ende", .run = [](App& a, const Call&) { a.Ende_Click(); }},
        {.control = "Reaperstart",
         .run = [](App& a, const Call&) { a.openInReaper(a.folder.text(names::project)); }},
        {.control = "Hoeren", .run = [](App& a, const Call&) { a.Hoeren_Click(); }},
        {.control = "Reaperstart2",
         .run = [](App& a, const Call&) { a.openInReaper(a.folder.text(names::sampleProject)); }},
        {.control = "Command2",
         .run = [](App& a, const Call&) { a.openInEditor(a.folder.text(names::ini)); }},
        {.control = "Inidateischau",
         .run = [](App& a, const Call&) { a.openInEditor(a.folder.text(names::ini)); }},
        {.control = "Command3",
         .run = [](App& a, const Call&) { a.openInEditor(a.folder.text(names::melody)); }},
        {.control = "Dateischau",
         .run = [](App& a, const Call&) { a.openInEditor(a.folder.text(names::melody)); }},
        {.control = "Command4",
         .run = [](App& a, const Call&) { a.openInEditor(utf8FromPath(a.proginfoPath())); }},
        {.control = "Command5",
         .run = [](App& a, const Call&) { a.openInEditor(a.folder.text(names::sampleList)); }},
        {.control = "Command6",
         .run = [](App& a, const Call&) { a.openInEditor(a.folder.text(names::statistics)); }},
        {.control = "Command7",
         .run = [](App& a, const Call&) { a.openInEditor(a.folder.text(names::patternLog)); }},
        {.control = "Command8",
         .run = [](App& a, const Call&) { a.openInEditor(a.folder.text(names::durations)); }},
        {.control = "Command9",
         .run = [](App& a, const Call&) { a.openInEditor(a.folder.text(names::sampleListing)); }},
        {.control = "Command10",
         .run = [](App& a, const Call&) { a.openInEditor(a.folder.text(names::presetLog)); }},
        {.control = "Patti",
         .run = [](App& a, const Call&) { a.openInEditor(a.folder.text(names::pattern01)); }},
        {.control = "Patti02",
         .run = [](App& a, const Call&) { a.openInEditor(a.folder.text(names::pattern02)); }},
        {.control = "CapellaStart",
         .run = [](App& a, const Call&) { a.openInNotation(a.folder.text(names::capella01)); }},
        {.control = "CapellaStart02",
         .run = [](App& a, const Call&) { a.openInNotation(a.folder.text(names::capella02)); }},
        {.control = "Infos", .run = [](App& a, const Call&) { a.Infos_Click(); }},
        {.control = "erklaplus", .run = [](App& a, const Call&) { a.erklaplus_Click(); }},
        {.control = "erklaminus", .run = [](App& a, const Call&) { a.erklaminus_Click(); }},
        {.control = "List2", .run = [](App& a, const Call&) { a.List2_Click(); }},
        {.control = "Label5", .run = [](App& a, const Call&) { a.Label5_MouseMove(); }},
        {.control = "Lini", .run = [](App& a, const Call& e) { a.Lini_Click(e.line()); }},
        {.control = "Command11", .run = [](App& a, const Call&) { a.parkSampleProject(); }},
        {.control = "Command12", .run = [](App& a, const Call&) { a.restoreSampleProject(); }},
        {.control = "Command13", .run = [](App& a, const Call&) { a.parkProject(); }},
        // Live controls (the window has stored the new value in the model before the call).
        {.control = "VScroll1", .run = [](App& a, const Call&) { a.VScroll1_Change(); }},
        {.control = "neutral", .run = [](App& a, const Call&) { a.neutral_Click(); }},
        {.control = "Bender",
         .run = [](App& a, const Call& e) { a.Bender_MouseMove(static_cast<float>(e.value)); }},
        {.control = "lst_sound_list",
         .run = [](App& a, const Call& e) { a.lst_sound_list_Click(e.line()); }},
        {.control = "List1", .run = [](App& a, const Call& e) { a.List1_Click(e.line()); }},
    };
    return table;
}

const Command* findCommand(std::string_view verb) {
    const auto& table = commandTable();
    auto it = std::find_if(table.begin(), table.end(),
                           [&](const Command& c) { return !verb.empty() && c.verb == verb; });
    return it == table.end() ? nullptr : &*it;
}

const Command* findControl(std::string_view control) {
    const auto& table = commandTable();
    auto it = std::find_if(table.begin(), table.end(), [&](const Command& c) {
        return !control.empty() && c.control == control;
    });
    return it == table.end() ? nullptr : &*it;
}

std::string verbHelp(bool withPicture) {
    std::string text;
    for (const auto& command : commandTable())
        if (!command.verb.empty() && (command.run || withPicture)) text += helpLine(command);
    return text;
}

} // namespace tonfex
