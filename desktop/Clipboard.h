// The clipboard with text in code page 1252 (CF_TEXT). With a system clipboard
// (the SDL backend) the text crosses as UTF-8.
#pragma once

#include <optional>
#include <string>

#include "desktop/Types.h"

namespace desktop {

enum : UINT { CF_TEXT = 1 };

bool OpenClipboard(HWND owner);
bool CloseClipboard();
bool EmptyClipboard();
// Only while the clipboard is open, as on the original.
bool SetClipboardText(const std::string& text);
std::optional<std::string> GetClipboardText();
bool IsClipboardFormatAvailable(UINT format);

}  // namespace desktop
