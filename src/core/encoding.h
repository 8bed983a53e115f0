// Conversion between the files' Windows-1252 text and the program's UTF-8 strings.
#pragma once

#include <string>
#include <string_view>

namespace tonfex {

// Whether no byte has its high bit set: such text reads the same in Windows-1252 and UTF-8.
bool isAscii(std::string_view bytes);
// Windows-1252 bytes to UTF-8. Bytes that 1252 leaves undefined map to U+FFFD.
std::string utf8FromCp1252(std::string_view bytes);
// UTF-8 to Windows-1252; characters 1252 cannot hold become "?" (see fitsCp1252).
std::string cp1252FromUtf8(std::string_view text);
// Whether valid UTF-8 `text` holds only characters Windows-1252 has.
bool fitsCp1252(std::string_view text);
// True when `bytes` hold valid UTF-8 with at least one multi-byte sequence (or a BOM):
// such a file was saved by a UTF-8 editor and is read as UTF-8.
bool looksLikeUtf8(std::string_view bytes);
// `bytes` without its leading byte order marks (an editor may write one more than once).
std::string_view withoutByteOrderMarks(std::string_view bytes);
// Decodes a file's bytes: UTF-8 when it looks so (BOM removed), else Windows-1252. Plain
// ASCII is handed back as it is, without a copy when the bytes are moved in.
std::string decodeFileText(std::string bytes);

} // namespace tonfex
