#pragma once

// Message parameters carry pointers, handles and points packed into integers. These are the
// only places that pack and unpack them: senders build a message's parameters with them and
// the typed message records (ControlsMessages.h) read them back, so no sender or handler
// spells out the platform's packing.

#include <cstdint>
#include <type_traits>

#include "desktop/Types.h"

namespace fw {

template <class T>
desktop::WPARAM PointerToWParam(T* pointer)
{
    return reinterpret_cast<desktop::WPARAM>(pointer);
}

template <class T>
desktop::LPARAM PointerToLParam(T* pointer)
{
    return reinterpret_cast<desktop::LPARAM>(pointer);
}

// A handle or pointer given back as a message's result (a WM_CTLCOLOR* brush).
template <class T>
desktop::LRESULT PointerToResult(T* pointer)
{
    return reinterpret_cast<desktop::LRESULT>(pointer);
}

// The pointer a sender packed; Pointer names the pointer type (TWinControl*, desktop::HDC …).
template <class Pointer>
Pointer WParamToPointer(desktop::WPARAM value)
{
    static_assert(std::is_pointer_v<Pointer>);
    return reinterpret_cast<Pointer>(value);
}

template <class Pointer>
Pointer LParamToPointer(desktop::LPARAM value)
{
    static_assert(std::is_pointer_v<Pointer>);
    return reinterpret_cast<Pointer>(value);
}

// A point travels as two signed 16-bit halves, x in the low one.
constexpr desktop::LPARAM PointToLParam(desktop::POINT p)
{
    return desktop::MAKELPARAM(desktop::WORD(std::int16_t(p.x)), desktop::WORD(std::int16_t(p.y)));
}

constexpr desktop::POINT LParamToPoint(desktop::LPARAM value)
{
    return {desktop::GET_X_LPARAM(value), desktop::GET_Y_LPARAM(value)};
}

}  // namespace fw
