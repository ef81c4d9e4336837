#include "framework/SysUtilsLocale.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdint>
#include <cstring>

namespace fw {

char DecimalSeparator = DefaultDecimalSeparator;
char ThousandSeparator = DefaultThousandSeparator;

namespace {

constexpr char NoBreakSpace = '\xA0';

// Decodes the first UTF-8 code point of text; false for a malformed one.
bool DecodeFirstCodePoint(const unsigned char* text, std::uint32_t& codePoint)
{
    const unsigned char lead = text[0];
    int length = 0;
    if (lead < 0x80) {
        codePoint = lead;
        length = 1;
    } else if ((lead & 0xE0) == 0xC0) {
        codePoint = lead & 0x1F;
        length = 2;
    } else if ((lead & 0xF0) == 0xE0) {
        codePoint = lead & 0x0F;
        length = 3;
    } else if ((lead & 0xF8) == 0xF0) {
        codePoint = lead & 0x07;
        length = 4;
    } else {
        return false;
    }
    for (int i = 1; i < length; ++i) {
        // A terminator here fails the test too, so nothing past it is read.
        if ((text[i] & 0xC0) != 0x80) {
            return false;
        }
        codePoint = (codePoint << 6) | (text[i] & 0x3F);
    }
    return true;
}

// The 1252 byte for a code point, or 0 when the code page lacks it.
char CodePage1252From(std::uint32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    // Locales group digits with thin or narrow spaces, which 1252 can only show as a
    // no-break space.
    if ((codePoint >= 0x2000 && codePoint <= 0x200A) || codePoint == 0x202F || codePoint == 0x205F) {
        return NoBreakSpace;
    }
    if (codePoint == 0x2019) {
        return '\x92';  // the apostrophe some locales group with
    }
    return 0;
}

}  // namespace

char SeparatorFromLocaleText(const char* text, bool utf8, char fallback)
{
    if (text == nullptr || text[0] == 0) {
        return fallback;
    }
    if (!utf8) {
        return text[0];
    }
    std::uint32_t codePoint = 0;
    if (!DecodeFirstCodePoint(reinterpret_cast<const unsigned char*>(text), codePoint)) {
        return fallback;
    }
    const char converted = CodePage1252From(codePoint);
    return converted != 0 ? converted : fallback;
}

void ReadLocaleSeparators(const char* localeName)
{
    DecimalSeparator = DefaultDecimalSeparator;
    ThousandSeparator = DefaultThousandSeparator;
    if (localeName == nullptr) {
        return;
    }
    const locale_t numeric = newlocale(LC_NUMERIC_MASK | LC_CTYPE_MASK, localeName, locale_t{});
    if (numeric == locale_t{}) {
        return;
    }
    const bool utf8 = std::strcmp(nl_langinfo_l(CODESET, numeric), "UTF-8") == 0;
    DecimalSeparator = SeparatorFromLocaleText(nl_langinfo_l(RADIXCHAR, numeric), utf8, DefaultDecimalSeparator);
    ThousandSeparator = SeparatorFromLocaleText(nl_langinfo_l(THOUSEP, numeric), utf8, DefaultThousandSeparator);
    freelocale(numeric);
}

void ReadLocaleSeparators() { ReadLocaleSeparators(""); }

}  // namespace fw
