#include "app/commands.h"

namespace tonfex {

const std::vector<Command>& commandTable() {
    static const std::vector<Command> table = {
        {"neu", "", "neue Melodie nach TONFINDUNGSMETHODE berechnen, schreiben und abspielen",
         false, [](App& app, const std::vector<std::string>&) { app.Dateiherstellung_Click(); }},
        {"play", "", "die Melodiedatei Tonfex.txt abspielen", false,
         [](App& app, const std::vector<std::string>&) { app.Startknopf_Click(); }},
        {"ini", "", "Übersicht der aktuellen Einstellungen zeigen", true,
         [](App& app, const std::vector<std::string>&) { app.Kurzubersicht_Click(); }},
        {"nk", "", "Notenkonvertierung: aus Tonfex.txt wird Tonfex-Cap.xml (MusicXML)", false,
         [](App& app, const std::vector<std::string>&) { app.TonfexCap_Click(); }},
        {"xml01", "", "Tonfex-01.xml (MusicXML) in das Pattern Tonfex-Cap-PT.txt wandeln", false,
         [](App& app, const std::vector<std::string>&) { app.Capellanotenwandeln_Click(); }},
        {"xml02", "", "Tonfex-02.xml (MusicXML) in das Pattern Tonfex-Cap-02.txt wandeln", false,
         [](App& app, const std::vector<std::string>&) { app.Capellanotenwandeln2_Click(); }},
    };
    return table;
}

const Command* findCommand(const std::string& verb) {
    for (const auto& command : commandTable())
        if (command.verb == verb) return &command;
    return nullptr;
}

} // namespace tonfex
