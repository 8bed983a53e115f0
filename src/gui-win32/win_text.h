// Texts between the program (UTF-8) and the Windows controls (UTF-16).
#pragma once

#include <string>

namespace tonfex {

std::wstring toWide(const std::string& utf8);
std::string fromWide(const std::wstring& wide);

} // namespace tonfex
