#include "resources/AppResources.h"

namespace resources {

void RegisterAppResources()
{
    static const bool registered = [] {
        RegisterLayout_TFORM1();
        RegisterMainIcon();
        RegisterMainIconImage1();
        RegisterMainIconImage2();
        RegisterMainIconImage3();
        RegisterMainIconImage4();
        return true;
    }();
    (void)registered;
}

}  // namespace resources
