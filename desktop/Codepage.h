// Code page 1252, the single-byte text of the whole program, against Unicode.
#pragma once

#include <string>
#include <string_view>

namespace desktop {

// Bytes 0x80..0x9F are the code page's own characters (0x80 is the euro sign);
// its five unassigned bytes and all others map to the same Latin-1 code point.
char32_t Cp1252ToUnicode(unsigned char byte);
// The byte for a code point, or -1 when the code page has none.
int UnicodeToCp1252(char32_t codePoint);

std::string Cp1252ToUtf8(std::string_view text);
// Malformed UTF-8 and characters outside the code page become `replacement`.
std::string Utf8ToCp1252(std::string_view utf8, char replacement = '?');

// Letter case within the code page (A-Z, the accented letters, Š Œ Ž Ÿ).
char LowerCp1252(char c);
char UpperCp1252(char c);
// ASCII letters upper-cased: the case-insensitive key of class, property and resource names.
std::string UpperAscii(std::string_view text);
// The accelerator of a caption: the letter after its first single "&", lower-cased, or 0
// ("&&" is a literal "&").
char MnemonicOf(std::string_view caption);

}  // namespace desktop
