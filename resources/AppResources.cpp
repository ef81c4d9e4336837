#include "resources/AppResources.h"

namespace resources {

void RegisterAppResources()
{
    static const bool registered = [] {
        RegisterLayout_TFORM1();
        return true;
    }();
    (void)registered;
}

}  // namespace resources
