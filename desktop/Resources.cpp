#include "desktop/Resources.h"

#include <map>
#include <mutex>

#include "desktop/Codepage.h"

namespace desktop {

namespace {

struct Store {
    std::mutex mutex;
    std::map<std::pair<int, std::string>, std::span<const std::uint8_t>> items;
    std::map<UINT, std::string> strings;
};

// Registration runs from static initialisers in any order, so the store is built on first use.
Store& TheStore()
{
    static auto* s = new Store();
    return *s;
}

std::string Key(const std::string& name) { return UpperAscii(name); }

}  // namespace

void RegisterResource(int type, const std::string& name, std::span<const std::uint8_t> data)
{
    Store& s = TheStore();
    std::lock_guard lock(s.mutex);
    s.items[{type, Key(name)}] = data;
}

std::optional<std::span<const std::uint8_t>> FindResource(int type, const std::string& name)
{
    Store& s = TheStore();
    std::lock_guard lock(s.mutex);
    auto it = s.items.find({type, Key(name)});
    if (it == s.items.end()) return std::nullopt;
    return it->second;
}

std::string ResourceIdName(UINT id) { return "#" + std::to_string(id); }

void RegisterString(UINT id, const std::string& text)
{
    Store& s = TheStore();
    std::lock_guard lock(s.mutex);
    s.strings[id] = text;
}

std::optional<std::string> LoadString(UINT id)
{
    Store& s = TheStore();
    std::lock_guard lock(s.mutex);
    auto it = s.strings.find(id);
    if (it == s.strings.end()) return std::nullopt;
    return it->second;
}

}  // namespace desktop
