#pragma once

// The framework's user-visible texts live in the program's string table, by number, so that
// they can be looked up like any other resource. A ResString names one entry and reads as
// its text wherever a std::string is wanted.

#include <string>

namespace fw {

// The entry's text; empty when the table has no such entry.
std::string LoadResString(int id);

struct ResString {
    int id = 0;
    operator std::string() const { return LoadResString(id); }
    std::string Text() const { return LoadResString(id); }
};

// Edit context menu
inline constexpr ResString SEditPaste{65320};
inline constexpr ResString SEditCopy{65321};
inline constexpr ResString SEditCut{65322};
inline constexpr ResString SEditUndo{65323};
inline constexpr ResString SEditSelectAll{65324};
inline constexpr ResString SEditDelete{65325};

// Message dialog
inline constexpr ResString SMsgDlgAll{65360};
inline constexpr ResString SMsgDlgNoToAll{65361};
inline constexpr ResString SMsgDlgYesToAll{65362};
inline constexpr ResString SMsgDlgWarning{65380};
inline constexpr ResString SMsgDlgError{65381};
inline constexpr ResString SMsgDlgInformation{65382};
inline constexpr ResString SMsgDlgConfirm{65383};
inline constexpr ResString SMsgDlgYes{65384};
inline constexpr ResString SMsgDlgNo{65385};
inline constexpr ResString SMsgDlgOK{65386};
inline constexpr ResString SMsgDlgCancel{65387};
inline constexpr ResString SMsgDlgHelp{65388};
inline constexpr ResString SMsgDlgAbort{65389};
inline constexpr ResString SMsgDlgRetry{65390};
inline constexpr ResString SMsgDlgIgnore{65391};

// Run-time library
inline constexpr ResString SInvalidOp{65401};
inline constexpr ResString SZeroDivide{65402};
inline constexpr ResString SOperationAborted{65403};
inline constexpr ResString SNoTimers{65404};
inline constexpr ResString SWindowClass{65405};
inline constexpr ResString SThreadCreateError{65406};
inline constexpr ResString SNoDateEntered{65407};
inline constexpr ResString SNoTimeEntered{65408};
inline constexpr ResString SInvalidInteger{65520};

// Graphics
inline constexpr ResString SInvalidBitmap{65410};
inline constexpr ResString SVMetafiles{65411};
inline constexpr ResString SVEnhMetafiles{65412};
inline constexpr ResString SVIcons{65413};
inline constexpr ResString SVBitmaps{65414};
inline constexpr ResString SPortableNetworkGraphics{65415};
inline constexpr ResString SPngStreamsUnsupported{65416};
inline constexpr ResString SMetafilesUnsupported{65417};
inline constexpr ResString SNoCanvasHandle{65418};
inline constexpr ResString SInvalidIcon{65419};

// Components, streams and the layout reader
inline constexpr ResString SAssignError{65420};
inline constexpr ResString SDuplicateName{65421};
inline constexpr ResString SListIndexError{65422};
inline constexpr ResString SReadError{65423};
inline constexpr ResString SWriteError{65424};
inline constexpr ResString SResNotFound{65425};
inline constexpr ResString SInvalidImage{65426};
inline constexpr ResString SInvalidPropertyValue{65427};
inline constexpr ResString SPropertyException{65428};
inline constexpr ResString SClassNotFound{65429};
inline constexpr ResString SUnknownProperty{65430};
inline constexpr ResString SInvalidPropertyPath{65431};
inline constexpr ResString SReadOnlyProperty{65432};

// Controls, forms and the application
inline constexpr ResString SCannotFocus{65433};
inline constexpr ResString SVisibleChanged{65434};
inline constexpr ResString SWindowClassNotRegistered{65435};
inline constexpr ResString SDuplicateApplication{65436};
inline constexpr ResString SApplicationError{65437};
inline constexpr ResString SUnknownException{65438};
inline constexpr ResString SParentRequired{65439};
inline constexpr ResString SWindowCreate{65440};
inline constexpr ResString SControlParentSetToSelf{65441};

}  // namespace fw
