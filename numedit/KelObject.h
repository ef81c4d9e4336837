#pragma once

// TKelObject: the family's persistent sub-object (bevel, caret, text effects). It belongs to
// the control that created it and tells that control about every change through OnChange.

#include "framework/ClassesComponent.h"

namespace numedit {

class TKelObject : public fw::TPersistent {
public:
    explicit TKelObject(fw::TPersistent* owner) : owner_(owner) {}

    static const fw::TClassInfo& Info();
    const fw::TClassInfo& ClassInfo() const override { return Info(); }

    fw::TPersistent* GetOwner() override { return owner_; }

    // Set by the owner; called with this object as sender.
    fw::TNotifyEvent OnChange;

protected:
    virtual void Changed();

    // Stores value in field; true when that changed it.
    template <class T>
    static bool Store(T& field, const T& value)
    {
        if (field == value) {
            return false;
        }
        field = value;
        return true;
    }

private:
    fw::TPersistent* owner_ = nullptr;
};

}  // namespace numedit
