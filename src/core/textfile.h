// Text files as the program keeps them: Windows-1252 with CR LF on disk, UTF-8 lines inside.
#pragma once

#include "platform/platform.h"

#include <optional>
#include <string>
#include <vector>

namespace tonfex {

// Splits at CR LF, LF or CR; a last line without a line end counts, a final line end adds none.
std::vector<std::string> splitLines(const std::string& text);
// Each line followed by CR LF, in Windows-1252; in UTF-8 when a line holds a character
// Windows-1252 has not, so that the file reads back exactly (never a "?" in its place).
std::string encodeLines(const std::vector<std::string>& lines);

// The file's lines, or nothing when it cannot be read.
std::optional<std::vector<std::string>> readTextLines(Files& files,
                                                      const std::filesystem::path& path);
// Whole-file write; returns an error text, "" on success.
std::string writeTextLines(Files& files, const std::filesystem::path& path,
                           const std::vector<std::string>& lines);
// Appends in the file's own encoding; a Windows-1252 file that must take a character it
// cannot hold is written again whole, in UTF-8.
std::string appendTextLines(Files& files, const std::filesystem::path& path,
                            const std::vector<std::string>& lines);

} // namespace tonfex
