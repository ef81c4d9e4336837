#pragma once

// Builds a class's type information once, from member accessors (as dice/VoDice.cpp does):
//   const TClassInfo& TVoDice::Info() {
//       static const TClassInfo info = ClassBuilder<TVoDice, TCustomControl>("TVoDice")
//           .Boolean("Rotate", &TVoDice::Rotate, &TVoDice::SetRotate)
//           .Integer("Value", &TVoDice::Value, &TVoDice::SetValue)
//           .Event("OnChange", [](TVoDice* d, TNotifyEvent e) { d->OnChange = std::move(e); })
//           .Build();
//       return info;
//   }
// Getters and setters are anything std::invoke accepts with a T* (member pointers, lambdas);
// pass nullptr as setter for a read-only property. Besides Integer, Boolean and String there are
// Int64, Char, Enum, Set, Float and Object properties; a form class also names its published
// handlers with Method("Button1Click", &TMyForm::Button1Click) and its component fields with
// Field("Button1", &TMyForm::Button1). Component classes the layout reader must create are made
// known with RegisterClass(TVoDice::Info()).

#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "framework/ClassesComponent.h"
#include "framework/ClassesTypeInfo.h"

namespace fw {

template <class T, class Base>
class ClassBuilder {
public:
    explicit ClassBuilder(std::string name)
    {
        info_.name = std::move(name);
        info_.parent = &Base::Info();
        if constexpr (std::is_base_of_v<TComponent, T> && std::is_constructible_v<T, TComponent*>) {
            if constexpr (!std::is_abstract_v<T>) {
                info_.create = [](TComponent* owner) -> TComponent* { return new T(owner); };
            }
        }
    }

    template <class G, class S>
    ClassBuilder& Integer(std::string name, G get, S set, IdentToInt identToInt = {})
    {
        PropertyInfo& p = Ordinal(std::move(name), PropertyKind::Integer, get, set);
        p.identToInt = std::move(identToInt);
        return *this;
    }
    template <class G, class S>
    ClassBuilder& Int64(std::string name, G get, S set)
    {
        Ordinal(std::move(name), PropertyKind::Int64, get, set);
        return *this;
    }
    template <class G, class S>
    ClassBuilder& Char(std::string name, G get, S set)
    {
        Ordinal(std::move(name), PropertyKind::Char, get, set);
        return *this;
    }
    template <class G, class S>
    ClassBuilder& Enum(std::string name, std::vector<std::string> names, G get, S set)
    {
        Ordinal(std::move(name), PropertyKind::Enumeration, get, set).names = std::move(names);
        return *this;
    }
    template <class G, class S>
    ClassBuilder& Boolean(std::string name, G get, S set)
    {
        return Enum(std::move(name), {"False", "True"}, get, set);
    }
    // The value is a bit mask: bit n for member names[n].
    template <class G, class S>
    ClassBuilder& Set(std::string name, std::vector<std::string> names, G get, S set)
    {
        Ordinal(std::move(name), PropertyKind::Set, get, set).names = std::move(names);
        return *this;
    }
    template <class G, class S>
    ClassBuilder& Float(std::string name, G get, S set)
    {
        PropertyInfo& p = Add(std::move(name), PropertyKind::Float);
        p.getFloat = [get](TObject* o) { return static_cast<long double>(std::invoke(get, Self(o))); };
        if constexpr (!std::is_null_pointer_v<S>) {
            using V = std::decay_t<std::invoke_result_t<G, T*>>;
            p.setFloat = [set](TObject* o, long double v) { std::invoke(set, Self(o), static_cast<V>(v)); };
        }
        return *this;
    }
    template <class G, class S>
    ClassBuilder& String(std::string name, G get, S set)
    {
        PropertyInfo& p = Add(std::move(name), PropertyKind::String);
        p.getString = [get](TObject* o) { return std::string(std::invoke(get, Self(o))); };
        if constexpr (!std::is_null_pointer_v<S>) {
            p.setString = [set](TObject* o, const std::string& v) { std::invoke(set, Self(o), v); };
        }
        return *this;
    }
    // A sub-object (Font, Bevel, a collection) with no setter, or a component reference with one.
    template <class G, class S = std::nullptr_t>
    ClassBuilder& Object(std::string name, G get, S set = nullptr)
    {
        PropertyInfo& p = Add(std::move(name), PropertyKind::Object);
        p.getObject = [get](TObject* o) -> TPersistent* { return std::invoke(get, Self(o)); };
        if constexpr (!std::is_null_pointer_v<S>) {
            using V = std::decay_t<std::invoke_result_t<G, T*>>;
            p.setObject = [set](TObject* o, TComponent* c) {
                V value = dynamic_cast<V>(c);
                if (c != nullptr && value == nullptr) {
                    return false;
                }
                std::invoke(set, Self(o), value);
                return true;
            };
        }
        return *this;
    }
    template <class S>
    ClassBuilder& Event(std::string name, S set)
    {
        Add(std::move(name), PropertyKind::Method).setMethod = [set](TObject* o, TNotifyEvent e) {
            std::invoke(set, Self(o), std::move(e));
        };
        return *this;
    }
    // A published handler of a root: void (T::*)(TObject* sender).
    template <class M>
    ClassBuilder& Method(std::string name, M handler)
    {
        info_.methods.push_back({std::move(name), [handler](TObject* instance) -> TNotifyEvent {
                                     T* self = Self(instance);
                                     return [self, handler](TObject* sender) { std::invoke(handler, self, sender); };
                                 }});
        return *this;
    }
    // A published component field: TButton* T::*.
    template <class F>
    ClassBuilder& Field(std::string name, F T::*field)
    {
        info_.fields.push_back({std::move(name), [field](TObject* owner, TComponent* value) {
                                    Self(owner)->*field = dynamic_cast<F>(value);
                                }});
        return *this;
    }

    TClassInfo Build() { return std::move(info_); }

private:
    static T* Self(TObject* o) { return static_cast<T*>(o); }

    PropertyInfo& Add(std::string name, PropertyKind kind)
    {
        info_.properties.push_back({});
        PropertyInfo& p = info_.properties.back();
        p.name = std::move(name);
        p.kind = kind;
        return p;
    }

    template <class G, class S>
    PropertyInfo& Ordinal(std::string name, PropertyKind kind, G get, S set)
    {
        PropertyInfo& p = Add(std::move(name), kind);
        p.getOrdinal = [get](TObject* o) { return static_cast<std::int64_t>(std::invoke(get, Self(o))); };
        if constexpr (!std::is_null_pointer_v<S>) {
            using V = std::decay_t<std::invoke_result_t<G, T*>>;
            p.setOrdinal = [set](TObject* o, std::int64_t v) { std::invoke(set, Self(o), static_cast<V>(v)); };
        }
        return p;
    }

    TClassInfo info_;
};

}  // namespace fw
