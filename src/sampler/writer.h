// The REAPER project writer: lays the melody out as sample items on 1 to 8 tracks between the
// two template heads and writes "Tonfex.rpp" whole.
#pragma once

#include "controls/models.h"
#include "core/workfolder.h"
#include "melody/melody.h"
#include "platform/platform.h"
#include "sampler/tuning.h"
#include "settings/settings.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tonfex {

// Reaperstart's colour once a project is ready.
inline constexpr Rgb kProjectReady{170, 254, 120};

// What one writer run reads and changes.
struct ProjectRun {
    Settings& s;
    Melody& melody;
    const std::vector<std::string>& Sampletabelle;
    std::int32_t Samplezahl;
    SamplerState& state;
    double& Tempoteiler; // shared with the player
    int tones;           // the tones the player has just read from the melody file
    std::int16_t Versuche;
    ListBox& Daten;
    Button& Reaperstart;
    Platform& platform;
    const WorkFolder& folder;
    TextBox* progress = nullptr; // shows "Ton i von n" while the items are written
};

// Projektschreiber: writes the whole project, puts the render file name on the clipboard and
// lists the items in Daten. A missing template head, too many tones or a tempo divisor that is
// not above 0 end the command with a message; the old project then stays as it was.
void Projektschreiber(ProjectRun& run);
// Ends the command with the writer's message when a template head is missing, so that a
// command can stop before it changes anything.
void requireTemplateHeads(Files& files, Dialogs& dialogs, const WorkFolder& folder);

// ddmmyy-hhmm-ss from the date and time texts.
std::string renderStamp(const LocalTime& now);
// The RENDER_FILE line of a template head that names the default render file.
std::string templateRenderLine(const WorkFolder& folder);
// Whether a head line is a RENDER_FILE line naming "Test-001.wav", in whatever folder: a
// copied or moved working folder renders into itself.
bool isTemplateRenderLine(std::string_view line);
// The track template's centred VOLPAN line and its replacement for track 1..8.
extern const char* const kCentredTrackVolpan;
const std::string& panLine(int track);

// Sets the tempo divisor as the writer decides it; keeps the old value when no rule applies.
void writerTempo(const Settings& s, double& Tempoteiler);

} // namespace tonfex
