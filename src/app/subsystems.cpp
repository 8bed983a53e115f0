// The window's calls into the subsystems. Each subsystem's module fills in its call; until
// then the call leaves the melody and the window as they are.
#include "app/app.h"

#include "core/errors.h"
#include "generation/rules.h"
#include "midi/player.h"
#include "sampler/catalog.h"
#include "sampler/writer.h"

namespace tonfex {

namespace {

RuleContext ruleContext(App& app) {
    return RuleContext{app.s,      app.melody,    app.c,        app.platform,
                       app.folder, app.Regelname, app.Versuche, app.Samplezahl};
}

// Runs a rule; when it ends the command, the Generate button loses its busy colour.
template <class Rule> void runRule(App& app, Rule rule) {
    try {
        rule();
    } catch (const CommandEnd&) {
        app.c.Text1.visible = false;
        app.c.Dateiherstellung.back = colors::lightYellow;
        throw;
    }
}

} // namespace

void App::Regel01() {
    runRule(*this, [this] {
        RuleContext ctx = ruleContext(*this);
        ::tonfex::Regel01(ctx);
    });
}
void App::Regel02() {
    runRule(*this, [this] {
        RuleContext ctx = ruleContext(*this);
        ::tonfex::Regel02(ctx);
    });
}
void App::Randi06() {
    runRule(*this, [this] {
        RuleContext ctx = ruleContext(*this);
        PatternTables tables{Patternpuffer, Pattern01, Pattern02, Pattern01Datei, Pattern02Datei};
        ::tonfex::Randi06(ctx, tables);
    });
}
void App::HCLeser() {
    ::tonfex::HCLeser(platform.files, platform.dialogs, folder, Sampletabelle, Samplezahl);
}
void App::Katalogleser() {
    ::tonfex::Katalogleser(platform.files, platform.dialogs, platform.clock, folder, s.sound(),
                           decimal, Sampletabelle, Samplezahl);
}
void App::Katalogliste() {
    ::tonfex::Katalogliste(Sampletabelle, Samplezahl, c.Zuordnung);
}
void App::MidiAllOff() {
    ::tonfex::MidiAllOff(midi.out);
}
void App::Spielschleife() {
    ::tonfex::Spielschleife({s, melody, Tempoteiler, stopPressed, Versuche, c.Daten, c.txtNot, c.Text5,
                             platform.clock, platform.events, soundingTone},
                            midi);
}
void App::Projektschreiber() {
    ProjectRun run{s,         melody,   Sampletabelle, Samplezahl,    samplerState, Tempoteiler,
                   tonesRead, Versuche, c.Daten,       c.Reaperstart, platform,     folder,
                   &c.Text1};
    // Text1 shows the items as they are written, and afterwards what it showed before.
    struct Restore {
        TextBox& box;
        bool visible;
        ~Restore() { box.visible = visible; }
    } restore{c.Text1, c.Text1.visible};
    c.Text1.visible = true;
    ::tonfex::Projektschreiber(run);
}

} // namespace tonfex
