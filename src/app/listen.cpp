#include "app/listen.h"
#include "app/app.h"
#include "app/launchers.h"
#include "core/numbers.h"
#include "core/workfolder.h"

#include <cmath>

namespace tonfex {

namespace {
std::string oneDecimal(double value, char decimal) {
    return plainText(std::round(value * 10) / 10, decimal);
}
} // namespace

void App::Vorhoeren(const std::filesystem::path& project, const std::filesystem::path& wav) {
    c.Daten.add("Vorhören: " + utf8FromPath(project) + " wird ohne REAPER berechnet ...");
    const ListenSummary done = renderToWav(project, wav, [&](int shifted, int total) {
        c.Text1.setText("Vorhören: " + plainText(shifted) + " von " + plainText(total) +
                        " Samples verschoben");
        platform.events.process();
    }, platform.files);
    if (!done.error.empty()) failCommand(platform.dialogs, done.error);
    c.Daten.add("Geschrieben: " + utf8FromPath(wav));
    std::string line =
        "Länge " + oneDecimal(done.seconds, decimal) + " s, " + plainText(done.items) + " Items";
    if (done.shifts > 0)
        line += ", " + plainText(done.shifts) + " verschobene Samples (" + plainText(done.reused) +
                " Items nehmen ein schon verschobenes)";
    c.Daten.add(line + ", Spitzenpegel " + oneDecimal(done.peakDb, decimal) + " dBFS");
    if (done.gainDb < 0)
        c.Daten.add("Die Mischung wäre übersteuert: ihr Pegel ist um " +
                    oneDecimal(-done.gainDb, decimal) + " dB gesenkt.");
}

std::filesystem::path App::Vorhoeren_Click(const std::vector<std::string>& args) {
    // Names without a folder lie in the working folder.
    const std::filesystem::path project =
        folder.dir / pathFromUtf8(args.empty() ? std::string(names::project) : args[0]);
    std::filesystem::path wav;
    if (args.size() > 1) {
        wav = folder.dir / pathFromUtf8(args[1]);
    } else {
        wav = project;
        wav.replace_filename(pathFromUtf8(utf8FromPath(project.stem()) + "-Vorhoeren.wav"));
    }
    Vorhoeren(project, wav);
    return wav;
}

void App::Hoeren_Click() {
    const std::filesystem::path wav = Vorhoeren_Click({});
    startProgram(*this, playerCommand(utf8FromPath(wav), environment), false);
}

} // namespace tonfex
