#pragma once

// Typed records of the edit messages the family's edits answer (EM_GETSEL, EM_SETSEL …), in
// the manner of the framework's records: a view of the raw message, parameters by name.

#include <cstdint>

#include "framework/ControlsMessages.h"

namespace numedit {

// A message whose WParam and LParam are two plain integers (EM_SETSEL, EM_LIMITTEXT,
// EM_SETMODIFY, EM_SETREADONLY, EM_SETPASSWORDCHAR).
class TEMValues : public fw::TMessageRecord {
public:
    using fw::TMessageRecord::TMessageRecord;

    std::intptr_t First() const { return static_cast<std::intptr_t>(WParam()); }
    std::intptr_t Second() const { return static_cast<std::intptr_t>(LParam()); }
};

// EM_GETSEL: optional pointers that receive the selection's start and end.
class TEMGetSel : public fw::TMessageRecord {
public:
    using fw::TMessageRecord::TMessageRecord;

    desktop::DWORD* StartPtr() const { return fw::WParamToPointer<desktop::DWORD*>(WParam()); }
    desktop::DWORD* EndPtr() const { return fw::LParamToPointer<desktop::DWORD*>(LParam()); }
};

// EM_GETRECT: the RECT to fill, may be null.
class TEMGetRect : public fw::TMessageRecord {
public:
    using fw::TMessageRecord::TMessageRecord;

    desktop::RECT* Rect() const { return fw::LParamToPointer<desktop::RECT*>(LParam()); }
};

// EM_REPLACESEL: whether the edit may be undone, and the zero-terminated text.
class TEMReplaceSel : public fw::TMessageRecord {
public:
    using fw::TMessageRecord::TMessageRecord;

    bool CanUndo() const { return WParam() != 0; }
    const char* Text() const { return fw::LParamToPointer<const char*>(LParam()); }
};

// EM_GETLINE: the buffer that receives the line.
class TEMGetLine : public fw::TMessageRecord {
public:
    using fw::TMessageRecord::TMessageRecord;

    std::intptr_t Line() const { return static_cast<std::intptr_t>(WParam()); }
    char* Buffer() const { return fw::LParamToPointer<char*>(LParam()); }
};

// EM_POSFROMCHAR: the POINT to fill (may be null) and the character index.
class TEMPosFromChar : public fw::TMessageRecord {
public:
    using fw::TMessageRecord::TMessageRecord;

    desktop::POINT* Point() const { return fw::WParamToPointer<desktop::POINT*>(WParam()); }
    std::intptr_t Index() const { return static_cast<std::intptr_t>(LParam()); }
};

// EM_CHARFROMPOS: a client point.
class TEMCharFromPos : public fw::TMessageRecord {
public:
    using fw::TMessageRecord::TMessageRecord;

    desktop::POINT Pos() const { return fw::LParamToPoint(LParam()); }
};

}  // namespace numedit
