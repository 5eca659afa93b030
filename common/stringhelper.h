#pragma once

#include <string>
#include <vector>

namespace stringhelper {

// The non-empty pieces between delimiters, in order.
std::vector<std::string> splitString(const std::string& text, char delimiter);
std::vector<std::wstring> splitString(const std::wstring& text, wchar_t delimiter);

// Character by character, in place.
void lowercase(std::string& text);
void uppercase(std::string& text);
void lowercase(std::wstring& text);
void uppercase(std::wstring& text);

} // namespace stringhelper
