#include "numedit/KelObject.h"

#include "framework/ClassesBuilder.h"

namespace numedit {

const fw::TClassInfo& TKelObject::Info()
{
    static const fw::TClassInfo info = fw::ClassBuilder<TKelObject, fw::TPersistent>("TKelObject").Build();
    return info;
}

void TKelObject::Changed()
{
    if (OnChange) {
        OnChange(this);
    }
}

}  // namespace numedit
