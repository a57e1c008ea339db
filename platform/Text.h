#pragma once
// The two string types that cross modules, and the conversions between them.
#include <string>
#include <string_view>

using WideString = std::u16string;  // UTF-16, as Word and Excel hand text over
using AnsiString = std::string;     // system ANSI code page on Windows, UTF-8 on Linux

namespace platform {

// UTF-8 <-> UTF-16; malformed input becomes U+FFFD, never an error.
WideString utf8ToWide(std::string_view text);
std::string wideToUtf8(std::u16string_view text);

// Text files in Unicode announce it by a byte order mark: UTF-8 (EF BB BF) or UTF-16 in either
// byte order (FF FE little-endian, FE FF big-endian).
enum class ByteOrderMark { None, Utf8, Utf16Le, Utf16Be };
ByteOrderMark byteOrderMarkOf(std::string_view bytes);
size_t byteOrderMarkSize(ByteOrderMark mark);  // 0, 3 or 2
// UTF-16 code units as bytes in the given order and back; an odd last byte is dropped.
WideString utf16BytesToWide(std::string_view bytes, bool littleEndian);
std::string wideToUtf16Bytes(std::u16string_view text, bool littleEndian);

// ANSI <-> UTF-16: CP_ACP on Windows, UTF-8 on Linux.
WideString ansiToWide(std::string_view text);
AnsiString wideToAnsi(std::u16string_view text);
// ANSI text (a path, say) put into a UTF-8 message; on Linux it already is UTF-8.
std::string ansiToUtf8(std::string_view text);
// The bytes of the ANSI character text starts with (a lead byte and its trail on a
// double-byte code page, a whole sequence in UTF-8); 1 for a byte that starts none, 0 for "".
size_t ansiCharLength(std::string_view text);

// A fixed single-byte code page (1250, 1252, ...) to UTF-16, the same on both targets.
// Only the code pages our language files use are known; others throw std::invalid_argument.
WideString codePageToWide(std::string_view bytes, int codePage);
std::string wideToCodePage(std::u16string_view text, int codePage);

// Per-unit simple case mapping, identical on both targets (our own table, not the OS's).
// A unit whose case partner is not one BMP unit (ß, ŉ, ligatures, surrogates) maps to itself.
char16_t toUpper(char16_t c);
char16_t toLower(char16_t c);
WideString toUpper(std::u16string_view text);
WideString toLower(std::u16string_view text);
bool isLetter(char16_t c);  // has a case, or is in a caseless script's letter ranges
bool isDigit(char16_t c);   // 0-9 and the other decimal digit blocks of the BMP

}  // namespace platform
