#include "resources/DiceResources.h"

#include <mutex>

namespace resources {

void RegisterDiceResources()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterDiceFace1();
        RegisterDiceFace2();
        RegisterDiceFace3();
        RegisterDiceFace4();
        RegisterDiceFace5();
        RegisterDiceFace6();
        RegisterDiceHandCursor();
        RegisterDiceDragCursor();
    });
}

}  // namespace resources
