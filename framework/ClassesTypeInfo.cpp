#include "framework/ClassesTypeInfo.h"

#include <algorithm>
#include <cctype>

namespace fw {

bool PropertyInfo::IsReadOnly() const
{
    switch (kind) {
        case PropertyKind::Float: return !setFloat;
        case PropertyKind::String: return !setString;
        case PropertyKind::Object: return !setObject;
        case PropertyKind::Method: return !setMethod;
        default: return !setOrdinal;
    }
}

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

namespace {

template <class Item>
const Item* FindIn(const TClassInfo* info, std::string_view name, std::vector<Item> TClassInfo::*list)
{
    for (; info != nullptr; info = info->parent) {
        for (const Item& item : info->*list) {
            if (SameText(item.name, name)) {
                return &item;
            }
        }
    }
    return nullptr;
}

std::vector<const TClassInfo*>& Registry()
{
    static std::vector<const TClassInfo*> classes;
    return classes;
}

}  // namespace

const PropertyInfo* TClassInfo::FindProperty(std::string_view propName) const
{
    return FindIn(this, propName, &TClassInfo::properties);
}

const MethodInfo* TClassInfo::FindMethod(std::string_view methodName) const
{
    return FindIn(this, methodName, &TClassInfo::methods);
}

const FieldInfo* TClassInfo::FindField(std::string_view fieldName) const
{
    return FindIn(this, fieldName, &TClassInfo::fields);
}

bool TClassInfo::InheritsFrom(const TClassInfo& ancestor) const
{
    for (const TClassInfo* info = this; info != nullptr; info = info->parent) {
        if (info == &ancestor) {
            return true;
        }
    }
    return false;
}

void RegisterClass(const TClassInfo& info)
{
    auto& classes = Registry();
    auto same =
        std::find_if(classes.begin(), classes.end(), [&](const TClassInfo* c) { return SameText(c->name, info.name); });
    if (same != classes.end()) {
        *same = &info;
    } else {
        classes.push_back(&info);
    }
}

const TClassInfo* FindClass(std::string_view name)
{
    for (const TClassInfo* info : Registry()) {
        if (SameText(info->name, name)) {
            return info;
        }
    }
    return nullptr;
}

}  // namespace fw
