#include "resources/AppResources.h"

namespace resources {

void RegisterAppResources()
{
    static const bool registered = [] {
        RegisterLayout_TFORM1();
        RegisterFormulaPicture150();
        RegisterFormulaPicture200();
        RegisterFormulaPicture300();
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
