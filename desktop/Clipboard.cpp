#include "desktop/Clipboard.h"

#include <mutex>

#include "desktop/Backend.h"
#include "desktop/Codepage.h"

namespace desktop {

namespace {

struct ClipboardData {
    std::mutex mutex;
    bool open = false;
    HWND owner = nullptr;
    // Kept as UTF-8, as a system clipboard holds it, so both paths convert alike.
    std::optional<std::string> utf8;
};

ClipboardData& Data()
{
    static ClipboardData d;
    return d;
}

bool SystemClipboard() { return HasBackend() && CurrentBackend().HasSystemClipboard(); }

}  // namespace

bool OpenClipboard(HWND owner)
{
    ClipboardData& d = Data();
    std::lock_guard lock(d.mutex);
    if (d.open) return false;
    d.open = true;
    d.owner = owner;
    return true;
}

bool CloseClipboard()
{
    ClipboardData& d = Data();
    std::lock_guard lock(d.mutex);
    const bool was = d.open;
    d.open = false;
    return was;
}

bool EmptyClipboard()
{
    ClipboardData& d = Data();
    std::lock_guard lock(d.mutex);
    if (!d.open) return false;
    d.utf8.reset();
    if (SystemClipboard()) CurrentBackend().SetClipboardUtf8(std::string());
    return true;
}

bool SetClipboardText(const std::string& text)
{
    ClipboardData& d = Data();
    std::lock_guard lock(d.mutex);
    if (!d.open) return false;
    const std::string utf8 = Cp1252ToUtf8(text);
    if (SystemClipboard())
        CurrentBackend().SetClipboardUtf8(utf8);
    else
        d.utf8 = utf8;
    return true;
}

std::optional<std::string> GetClipboardText()
{
    ClipboardData& d = Data();
    std::lock_guard lock(d.mutex);
    std::optional<std::string> utf8 = SystemClipboard() ? CurrentBackend().GetClipboardUtf8() : d.utf8;
    if (!utf8) return std::nullopt;
    return Utf8ToCp1252(*utf8);
}

bool IsClipboardFormatAvailable(UINT format)
{
    if (format != CF_TEXT) return false;
    return GetClipboardText().has_value();
}

}  // namespace desktop
