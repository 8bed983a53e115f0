#include "app/actions.h"

#include <algorithm>

namespace tonfex {

namespace {
int line(double value) {
    return static_cast<int>(value);
}
} // namespace

const std::vector<ControlAction>& controlActions() {
    static const std::vector<ControlAction> table = {
        // Generate and play.
        {"Dateiherstellung", [](App& a, double) { a.Dateiherstellung_Click(); }},
        {"Startknopf", [](App& a, double) { a.Startknopf_Click(); }},
        {"Stopp", [](App& a, double) { a.Stopp_Click(); }},
        // Overviews and the lists.
        {"Kurzubersicht", [](App& a, double) { a.Kurzubersicht_Click(); }},
        {"inidat", [](App& a, double v) { a.inidat_Click(line(v)); }},
        {"KeineFrage", [](App& a, double) { a.KeineFrage_Click(); }},
        {"Zuordnung", [](App& a, double) { a.Zuordnung_Click(); }},
        {"Daten", [](App& a, double) { a.Daten_Click(); }},

        // Power button, end, launchers, overviews, presets, Samplemix.
        {"Command1", [](App& a, double) { a.Command1_Click(); }},
        {"Ende", [](App& a, double) { a.Ende_Click(); }},
        {"Reaperstart", [](App& a, double) { a.Reaperstart_Click(); }},
        {"Reaperstart2", [](App& a, double) { a.Reaperstart2_Click(); }},
        {"Command2", [](App& a, double) { a.Command2_Click(); }},
        {"Inidateischau", [](App& a, double) { a.Inidateischau_Click(); }},
        {"Command3", [](App& a, double) { a.Command3_Click(); }},
        {"Dateischau", [](App& a, double) { a.Dateischau_Click(); }},
        {"Command4", [](App& a, double) { a.Command4_Click(); }},
        {"Command5", [](App& a, double) { a.Command5_Click(); }},
        {"Command6", [](App& a, double) { a.Command6_Click(); }},
        {"Command7", [](App& a, double) { a.Command7_Click(); }},
        {"Command8", [](App& a, double) { a.Command8_Click(); }},
        {"Command9", [](App& a, double) { a.Command9_Click(); }},
        {"Command10", [](App& a, double) { a.Command10_Click(); }},
        {"Patti", [](App& a, double) { a.Patti_Click(); }},
        {"Patti02", [](App& a, double) { a.Patti02_Click(); }},
        {"CapellaStart", [](App& a, double) { a.CapellaStart_Click(); }},
        {"CapellaStart02", [](App& a, double) { a.CapellaStart02_Click(); }},
        {"Infos", [](App& a, double) { a.Infos_Click(); }},
        {"Ubersicht", [](App& a, double) { a.Ubersicht_Click(); }},
        {"Ubersicht_Notenschreiben", [](App& a, double) { a.Ubersicht_Notenschreiben_Click(); }},
        {"NeueRegelInfo", [](App& a, double) { a.NeueRegelInfo_Click(); }},
        {"erklaplus", [](App& a, double) { a.erklaplus_Click(); }},
        {"erklaminus", [](App& a, double) { a.erklaminus_Click(); }},
        {"List2", [](App& a, double) { a.List2_Click(); }},
        {"Label5", [](App& a, double) { a.Label5_MouseMove(); }},
        {"Speichern", [](App& a, double) { a.Speichern_Click(); }},
        {"Load", [](App& a, double) { a.Load_Click(); }},
        {"Lini", [](App& a, double v) { a.Lini_Click(line(v)); }},
        {"Command11", [](App& a, double) { a.Command11_Click(); }},
        {"Command12", [](App& a, double) { a.Command12_Click(); }},
        {"Command13", [](App& a, double) { a.Command13_Click(); }},
        {"Samplemix", [](App& a, double) { a.Samplemix_Click(); }},
        // MusicXML export and import.
        {"TonfexCap", [](App& a, double) { a.TonfexCap_Click(); }},
        {"Capellanotenwandeln", [](App& a, double) { a.Capellanotenwandeln_Click(); }},
        {"Capellanotenwandeln2", [](App& a, double) { a.Capellanotenwandeln2_Click(); }},
        // Live controls (the window has stored the new value in the model before the call).
        {"VScroll1", [](App& a, double) { a.VScroll1_Change(); }},
        {"neutral", [](App& a, double) { a.neutral_Click(); }},
        {"Bender", [](App& a, double v) { a.Bender_MouseMove(static_cast<float>(v)); }},
        {"lst_sound_list", [](App& a, double v) { a.lst_sound_list_Click(line(v)); }},
        {"List1", [](App& a, double v) { a.List1_Click(line(v)); }},
        // The melody as a Standard MIDI File "Tonfex.mid".
        {"MID", [](App& a, double) { a.MidiDatei_Click(); }},
    };
    return table;
}

const ControlAction* findAction(std::string_view control) {
    const auto& table = controlActions();
    auto it = std::find_if(table.begin(), table.end(),
                           [&](const ControlAction& a) { return a.control == control; });
    return it == table.end() ? nullptr : &*it;
}

bool redrawsMelody(std::string_view control) {
    return control == "Dateiherstellung" || control == "Startknopf" || control == "TonfexCap" ||
           control == "Command1";
}

} // namespace tonfex
