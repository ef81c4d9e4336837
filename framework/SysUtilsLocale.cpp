#include "framework/SysUtilsLocale.h"

#include <optional>
#include <string>

#include "desktop/Locale.h"

namespace fw {

char DecimalSeparator = DefaultDecimalSeparator;
char ThousandSeparator = DefaultThousandSeparator;

namespace {

char FirstCharacterOf(desktop::UINT item, char fallback)
{
    const std::optional<std::string> text = desktop::GetLocaleInfo(desktop::LOCALE_USER_DEFAULT, item);
    return text && !text->empty() ? text->front() : fallback;
}

}  // namespace

void GetFormatSettings()
{
    ThousandSeparator = FirstCharacterOf(desktop::LOCALE_STHOUSAND, DefaultThousandSeparator);
    DecimalSeparator = FirstCharacterOf(desktop::LOCALE_SDECIMAL, DefaultDecimalSeparator);
}

}  // namespace fw
