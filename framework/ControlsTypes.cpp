#include "framework/ControlsTypes.h"

#include <array>
#include <utility>

#include "desktop/Input.h"
#include "framework/ClassesTypeInfo.h"
#include "framework/ResStrings.h"
#include "framework/SysUtilsExceptions.h"

namespace fw {

namespace {

constexpr std::array<std::pair<const char*, TCursor>, 22> kCursorNames{{
    {"crDefault", crDefault},     {"crNone", crNone},           {"crArrow", crArrow},
    {"crCross", crCross},         {"crIBeam", crIBeam},         {"crSizeNESW", crSizeNESW},
    {"crSizeNS", crSizeNS},       {"crSizeNWSE", crSizeNWSE},   {"crSizeWE", crSizeWE},
    {"crUpArrow", crUpArrow},     {"crHourGlass", crHourGlass}, {"crDrag", crDrag},
    {"crNoDrop", crNoDrop},       {"crHSplit", crHSplit},       {"crVSplit", crVSplit},
    {"crMultiDrag", crMultiDrag}, {"crSQLWait", crSQLWait},     {"crNo", crNo},
    {"crAppStart", crAppStart},   {"crHelp", crHelp},           {"crHandPoint", crHandPoint},
    {"crSizeAll", crSizeAll},
}};

bool KeyDown(int vk) { return desktop::GetKeyState(vk) < 0; }

}  // namespace

bool IdentToCursor(std::string_view ident, std::int32_t& cursor)
{
    for (const auto& [name, value] : kCursorNames) {
        if (SameText(ident, name)) {
            cursor = value;
            return true;
        }
    }
    return false;
}

TShiftState KeysToShiftState(desktop::WPARAM keys)
{
    TShiftState shift = 0;
    if ((keys & desktop::MK_SHIFT) != 0) shift |= ssShift;
    if ((keys & desktop::MK_CONTROL) != 0) shift |= ssCtrl;
    if ((keys & desktop::MK_LBUTTON) != 0) shift |= ssLeft;
    if ((keys & desktop::MK_RBUTTON) != 0) shift |= ssRight;
    if ((keys & desktop::MK_MBUTTON) != 0) shift |= ssMiddle;
    if (KeyDown(desktop::VK_MENU)) shift |= ssAlt;
    return shift;
}

TShiftState KeyDataToShiftState(desktop::LPARAM keyData)
{
    constexpr desktop::LPARAM altBit = desktop::LPARAM(1) << 29;
    TShiftState shift = 0;
    if (KeyDown(desktop::VK_SHIFT)) shift |= ssShift;
    if (KeyDown(desktop::VK_CONTROL)) shift |= ssCtrl;
    if ((keyData & altBit) != 0) shift |= ssAlt;
    return shift;
}

void CreateSubClass(TCreateParams& params, const std::string& standardClassName)
{
    desktop::WNDCLASS standard;
    if (!desktop::GetClassInfo(standardClassName, &standard)) {
        throw EOutOfResources(FormatMessage1(SWindowClassNotRegistered, standardClassName));
    }
    params.WindowClass.style = standard.style;
    params.WindowClass.lpfnWndProc = standard.lpfnWndProc;
    params.WindowClass.cbClsExtra = standard.cbClsExtra;
    params.WindowClass.cbWndExtra = standard.cbWndExtra;
    params.WindowClass.hCursor = standard.hCursor;
    params.WindowClass.hbrBackground = standard.hbrBackground;
}

}  // namespace fw
