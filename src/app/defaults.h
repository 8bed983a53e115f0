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

// Creates the folder and every missing default file; returns an error text or "".
std::string ensureWorkFolder(Files& files, const WorkFolder& folder);

} // namespace tonfex
