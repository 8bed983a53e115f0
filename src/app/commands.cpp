#include "app/commands.h"

#include "help/help.h"

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
} // namespace

std::string argumentError(const Command& command, const std::vector<std::string>& args) {
    if (command.checkArguments) return command.checkArguments(args);
    return args.empty() ? "" : "erwartet kein Argument: " + args[0];
}

const std::vector<Command>& commandTable() {
    static const std::string last = std::to_string(help::lastPage()); // the last rule's page
    static const std::vector<Command> table = {
        {"neu", "", "neue Melodie nach TONFINDUNGSMETHODE berechnen, schreiben und abspielen",
         false, [](App& app, const std::vector<std::string>&) { app.Dateiherstellung_Click(); }},
        {"play", "", "die Melodiedatei Tonfex.txt abspielen", false,
         [](App& app, const std::vector<std::string>&) { app.Startknopf_Click(); }},
        {"ini", "", "Übersicht der aktuellen Einstellungen zeigen", true,
         [](App& app, const std::vector<std::string>&) { app.Kurzubersicht_Click(); }},
        {"mid", "", "die Melodiedatei als Standard-MIDI-Datei Tonfex.mid schreiben", false,
         [](App& app, const std::vector<std::string>&) { app.MidiDatei_Click(); }},
        {"nk", "", "Notenkonvertierung: aus Tonfex.txt wird Tonfex-Cap.xml (MusicXML)", false,
         [](App& app, const std::vector<std::string>&) { app.TonfexCap_Click(); }},
        {"xml01", "", "Tonfex-01.xml (MusicXML) in das Pattern Tonfex-Cap-PT.txt wandeln", false,
         [](App& app, const std::vector<std::string>&) { app.Capellanotenwandeln_Click(); }},
        {"xml02", "", "Tonfex-02.xml (MusicXML) in das Pattern Tonfex-Cap-02.txt wandeln", false,
         [](App& app, const std::vector<std::string>&) { app.Capellanotenwandeln2_Click(); }},
        {"regel", "[SEITE]",
         "Erläuterung der eingestellten Regel zeigen (SEITE 0: Testmodus, 1 bis " + last +
             ": Regel)",
         true,
         [](App& app, const std::vector<std::string>& args) {
             const int page = args.empty() ? -1 : wholeNumber(args[0]);
             app.Ubersicht_Click();
             for (int i = 0;
                  page >= 0 && i <= help::lastPage() && app.erklaIndex != static_cast<float>(page);
                  ++i)
                 app.erklaplus_Click();
             // A rule without a page (TFm 0.2) left the list empty at the asked index.
             if (page >= 0 && app.c.inidat.count() == 0) {
                 app.erklaminus_Click();
                 app.erklaplus_Click();
             }
         },
         true, optionalNumber("SEITE", 0, help::lastPage(), "eine Zahl von 0 bis " + last)},
        {"e-nk", "", "Übersicht der Einstellungen für den Notenexport (Tonfex-Cap.xml) zeigen",
         true,
         [](App& app, const std::vector<std::string>&) { app.Ubersicht_Notenschreiben_Click(); }},
        {"neue-regel", "", "Anleitung zum Einbau neuer Regeln zeigen", true,
         [](App& app, const std::vector<std::string>&) { app.NeueRegelInfo_Click(); }},
        {"sm", "", "Samplemix: Tonfex.ini durch die Vorlage ersetzen (mit Sicherheitsfrage)", true,
         [](App& app, const std::vector<std::string>&) { app.Samplemix_Click(); }},
        {"store", "", "Tonfex.ini, Tonfex-HCR.rpp und die Capelladateien als Preset speichern",
         false, [](App& app, const std::vector<std::string>&) { app.Speichern_Click(); }},
        {"load", "[ZEILE]",
         "gespeicherte Presets nummeriert zeigen; mit ZEILE das Preset dieser Zeile laden", true,
         [](App& app, const std::vector<std::string>& args) {
             const int line = args.empty() ? 0 : wholeNumber(args[0]);
             app.Load_Click();
             if (line == 0) return;
             if (line > app.c.Lini.count())
                 failCommand(app.platform.dialogs, "Die Auswahl hat " +
                                                       std::to_string(app.c.Lini.count()) +
                                                       " Zeilen, keine Zeile " + args[0] + ".");
             app.Lini_Click(line - 1);
         },
         true, optionalNumber("ZEILE", 1, 999999, "eine Zahl ab 1")},
        {"vorgaben", "",
         "fehlende Vorgabedateien in den Arbeitsordner schreiben (vorhandene bleiben)", false,
         [](App& app, const std::vector<std::string>&) { app.VorgabenSchreiben(); }, false},
    };
    return table;
}

const Command* findCommand(const std::string& verb) {
    for (const auto& command : commandTable())
        if (command.verb == verb) return &command;
    return nullptr;
}

} // namespace tonfex
