// The working folder's defaults: created on first start, never over a user's file.
#pragma once

#include "app/app.h"
#include "core/workfolder.h"
#include "platform/platform.h"

#include <string>
#include <vector>

namespace tonfex {

// The duration list: 12 note values from a sixty-fourth to sixteen whole notes.
const std::vector<std::string>& defaultDurationList();
const std::vector<std::string>& defaultProgramDescription();
// Pattern 01 (the steering bass line) and Pattern 02 (the motif it plays) for Regel 03 to 06.
const std::vector<std::string>& defaultPattern01();
const std::vector<std::string>& defaultPattern02();
// One-voice MusicXML exports for the two patterns.
const std::vector<std::string>& defaultExport01();
const std::vector<std::string>& defaultExport02();

// The overview picture that "Infos" shows: "VB\Tonfex\Bilder\Tonfex-00.jpg" in the working
// folder on Windows, "Bilder/Tonfex-00.jpg" elsewhere.
std::filesystem::path overviewPicturePath(const WorkFolder& folder, OsKind os);

// Whether the folder is new to the program: it does not exist or holds none of the default
// files (an empty folder or one with other files only counts as new).
bool isNewWorkFolder(Files& files, const WorkFolder& folder);
// Creates the folder and writes each missing default file, never over an existing one;
// `written` gets the path of each file written. Returns an error text or "".
std::string writeMissingDefaults(Files& files, const WorkFolder& folder,
                                 std::vector<std::string>& written);
// Creates the folder; a folder new to the program gets every default file. In a folder in
// use a missing file is left to the reader that needs it, which names `tonfex vorgaben`.
std::string ensureWorkFolder(Files& files, const WorkFolder& folder);

} // namespace tonfex
