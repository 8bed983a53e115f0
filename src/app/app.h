// The window's state object and its commands, as plain C++ that any front end drives.
#pragma once

#include "controls/window.h"
#include "core/workfolder.h"
#include "melody/melody.h"
#include "platform/platform.h"
#include "sampler/tuning.h"
#include "settings/settings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tonfex {

enum class OsKind { Windows, Linux };
OsKind hostOs();

class App {
public:
    App(Platform& platform, WorkFolder folder, char decimal, OsKind os = hostOs());

    Platform& platform;
    WorkFolder folder;
    char decimal;
    OsKind os;

    MainControls c;
    IniTable ini;
    Settings s;
    Melody melody;

    std::string versionText = "Tonfex 1.31 vom 29.08.2014";
    double gapFactor = 0.001;
    int reducedHeight = 1025;
    std::string Regelname;
    std::int16_t Versuche = 0;
    std::int32_t Samplezahl = 0;
    std::vector<double> DTC = std::vector<double>(100001);
    double Gerundet = 0;

    std::int16_t StopFlag = 0; // -1 when Stop was pressed
    bool KeineFrageFlag = false;
    bool InidatGross = true;
    bool LinkFlag = false;
    bool List2Gross = false;
    bool PresetGeladen = false;
    bool SamplemixFlag = false;
    bool PlayStarted = false;

    // Start-up and closing.
    void Form_Load();
    void Form_Unload();

    // Settings file.
    void Initial();
    void IniEinlesen();
    void Dateianzeige(const std::filesystem::path& path);
    void inidat_Click(int index);
    void Textscroller(const std::filesystem::path& path);

    // Generation and play.
    void Dateiherstellung_Click();
    void Testmodus();
    void Startknopf_Click();
    void DauernLesen(const std::filesystem::path& path);
    void Neuton();
    void Stopp_Click() { StopFlag = -1; }

    // Calls into the subsystems (rules, sample catalog, MIDI output, project writer).
    void Regel01();
    void Regel02();
    void Randi06();
    void HCLeser();
    void Katalogleser();
    void Katalogliste();
    void MidiAllOff();
    void Spielschleife();
    void Projektschreiber();
    int tonesRead = 0; // rows the last Neuton read

    // The sample catalog, the project writer's kept values and the tempo divisor that the
    // player and the project writer share.
    std::vector<std::string> Sampletabelle = emptySampleTable();
    SamplerState samplerState;
    double Tempoteiler = 0;

    // Overviews.
    void Kurzubersicht_Click();

    void KeineFrage_Click();
    void Zuordnung_Click() { Initial(); }
    void Daten_Click() {}

    // The responsive wait.
    void Verzoegerung(double seconds);
    void runden(double factor, double value);

    // The program-description file (the user manual folder is the working folder).
    std::filesystem::path proginfoPath() const { return folder.path(names::proginfo); }

private:
    void enableAfterPlay();
};

} // namespace tonfex
