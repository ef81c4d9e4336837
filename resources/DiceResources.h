#pragma once

// The die's face pictures (bitmaps "DICE1" … "DICE6") and its cursors ("VO_HANDCUR",
// "VO_DRAGCUR"), drawn at build time by tools/dicefaces, in the library dice_resources that the
// die links. Each function registers one resource; the definitions are generated, which is why
// they live outside the namespace.
void RegisterDiceFace1();
void RegisterDiceFace2();
void RegisterDiceFace3();
void RegisterDiceFace4();
void RegisterDiceFace5();
void RegisterDiceFace6();
void RegisterDiceHandCursor();
void RegisterDiceDragCursor();

namespace resources {

// Registers all of the above; later calls do nothing.
void RegisterDiceResources();

}  // namespace resources
