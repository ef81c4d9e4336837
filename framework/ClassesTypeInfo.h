#pragma once

// Run-time type information: which classes exist, what they publish, and how the layout
// reader finds them by name. Accessors are type-erased over TObject* so any class can publish.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class TObject;
class TPersistent;
class TComponent;

using TNotifyEvent = std::function<void(TObject* sender)>;

enum class PropertyKind { Integer, Char, Enumeration, Float, String, Set, Object, Method, Int64 };

// Maps an identifier such as "clBtnFace" to an integer; returns false for unknown names.
using IdentToInt = std::function<bool(std::string_view ident, std::int32_t& value)>;

struct PropertyInfo {
    std::string name;
    PropertyKind kind = PropertyKind::Integer;
    std::vector<std::string> names{};  // member names of an enumeration or set
    IdentToInt identToInt{};           // optional, integer properties only
    // Integer, Char, Enumeration, Set and Int64 go through the ordinal pair.
    std::function<std::int64_t(TObject*)> getOrdinal{};
    std::function<void(TObject*, std::int64_t)> setOrdinal{};
    std::function<long double(TObject*)> getFloat{};
    std::function<void(TObject*, long double)> setFloat{};
    std::function<std::string(TObject*)> getString{};
    std::function<void(TObject*, const std::string&)> setString{};
    std::function<TPersistent*(TObject*)> getObject{};
    // Component references; false when the component is of the wrong class.
    std::function<bool(TObject*, TComponent*)> setObject{};
    std::function<void(TObject*, TNotifyEvent)> setMethod{};

    bool IsReadOnly() const;
};

// A handler published by a root (form), bound by name to the instance being read.
struct MethodInfo {
    std::string name;
    std::function<TNotifyEvent(TObject* instance)> bind{};
};

// A component field of a root, filled when a component of that name is owned by it.
struct FieldInfo {
    std::string name;
    std::function<void(TObject* owner, TComponent* value)> set{};
};

struct TClassInfo {
    std::string name;
    const TClassInfo* parent = nullptr;
    std::function<TComponent*(TComponent* owner)> create{};  // empty for non-components
    std::vector<PropertyInfo> properties{};
    std::vector<MethodInfo> methods{};
    std::vector<FieldInfo> fields{};

    // Lookups walk the parent chain; names compare case-insensitively.
    const PropertyInfo* FindProperty(std::string_view propName) const;
    const MethodInfo* FindMethod(std::string_view methodName) const;
    const FieldInfo* FindField(std::string_view fieldName) const;
    bool InheritsFrom(const TClassInfo& ancestor) const;
};

bool SameText(std::string_view a, std::string_view b);

void RegisterClass(const TClassInfo& info);
// nullptr when no class of that name was registered.
const TClassInfo* FindClass(std::string_view name);

}  // namespace fw
