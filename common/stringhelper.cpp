#include "common/stringhelper.h"

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <sstream>

namespace stringhelper {

namespace {

template<typename Char>
std::vector<std::basic_string<Char>> splitPieces(const std::basic_string<Char>& text, Char delimiter)
{
    std::vector<std::basic_string<Char>> pieces;
    std::basic_istringstream<Char> stream(text);
    std::basic_string<Char> piece;
    while (std::getline(stream, piece, delimiter)) {
        if (!piece.empty())
            pieces.push_back(piece);
    }
    return pieces;
}

// The <cctype> conversions take an unsigned char value: a negative char
// (any byte above 127) must not reach them as it is.
char lowerChar(char c)
{
    return char(std::tolower(static_cast<unsigned char>(c)));
}

char upperChar(char c)
{
    return char(std::toupper(static_cast<unsigned char>(c)));
}

wchar_t lowerWide(wchar_t c)
{
    return wchar_t(std::towlower(std::wint_t(c)));
}

wchar_t upperWide(wchar_t c)
{
    return wchar_t(std::towupper(std::wint_t(c)));
}

} // namespace

std::vector<std::string> splitString(const std::string& text, char delimiter)
{
    return splitPieces(text, delimiter);
}

std::vector<std::wstring> splitString(const std::wstring& text, wchar_t delimiter)
{
    return splitPieces(text, delimiter);
}

void lowercase(std::string& text)
{
    std::transform(text.begin(), text.end(), text.begin(), lowerChar);
}

void uppercase(std::string& text)
{
    std::transform(text.begin(), text.end(), text.begin(), upperChar);
}

void lowercase(std::wstring& text)
{
    std::transform(text.begin(), text.end(), text.begin(), lowerWide);
}

void uppercase(std::wstring& text)
{
    std::transform(text.begin(), text.end(), text.begin(), upperWide);
}

} // namespace stringhelper
