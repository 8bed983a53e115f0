#include "ui/picture.h"

#include "app/commands.h"
#include "core/workfolder.h"
#include "platform/real.h"

namespace tonfex::ui {

namespace {
// A picture side in pixels: 100 to 10000, else 0.
int side(const std::string& text) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    int value = std::stoi(text);
    return value >= 100 && value <= 10000 ? value : 0;
}
} // namespace

int runBild(const std::string& folderName, const std::vector<std::string>& args,
            std::ostream& out, const PngPainter& png) {
    if (args.empty() || args.size() == 2 || args.size() > 3) {
        out << "tonfex: Aufruf: tonfex bild " << findCommand("bild")->arguments
            << " [BREITE HÖHE]\n";
        return 2;
    }
    int width = 1600, height = 500;
    if (args.size() == 3) {
        width = side(args[1]);
        height = side(args[2]);
        if (width == 0 || height == 0) {
            out << "tonfex: Breite und Höhe sind ganze Zahlen von 100 bis 10000\n";
            return 2;
        }
    }
    const WorkFolder folder = workFolderNamed(folderName);
    DiskFiles files;
    PianoRoll roll = readPianoRoll(files, folder, systemDecimalSeparator());
    if (!roll.error.empty()) {
        out << "[FEHLER] " << roll.error << '\n';
        return 1;
    }
    std::string bytes = png(roll, width, height);
    if (bytes.empty()) {
        out << "[FEHLER] Das Bild konnte nicht erzeugt werden.\n";
        return 1;
    }
    std::string error = files.writeWhole(pathFromUtf8(args[0]), bytes);
    if (!error.empty()) {
        out << "[FEHLER] Das Bild " << args[0] << " konnte nicht geschrieben werden: " << error
            << '\n';
        return 1;
    }
    out << "Bild " << args[0] << ": " << roll.tones.size() << " Töne, " << width << " x " << height
        << " Pixel\n";
    if (roll.corrected > 0)
        out << roll.corrected << " Werte außerhalb der Grenzen sind wie beim Abspielen ersetzt.\n";
    return 0;
}

} // namespace tonfex::ui
