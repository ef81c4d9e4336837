#include "framework/ResStrings.h"

#include <mutex>

#include "desktop/Resources.h"
#include "resources/FrameworkStrings.h"

namespace fw {

std::string LoadResString(int id)
{
    // The table is filled on first use rather than by a static initialiser, which a static
    // library would lose.
    static std::once_flag registered;
    std::call_once(registered, resources::RegisterFrameworkStrings);
    return desktop::LoadString(static_cast<desktop::UINT>(id)).value_or(std::string());
}

}  // namespace fw
