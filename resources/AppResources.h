#pragma once

// The program's own resources, in the library app_resources: the main window's layout
// "TFORM1" (compiled from layouts/Form1.layout, with the formula picture drawn at build time),
// the formula picture drawn for denser screens (bitmaps "FORMULA150", "FORMULA200" and
// "FORMULA300", at 1.5, 2 and 3 times the layout's), and the program's icon "MAINICON" with its
// images "#1".."#4" (drawn from the face pictures).
void RegisterLayout_TFORM1();
void RegisterFormulaPicture150();
void RegisterFormulaPicture200();
void RegisterFormulaPicture300();
void RegisterMainIcon();
void RegisterMainIconImage1();
void RegisterMainIconImage2();
void RegisterMainIconImage3();
void RegisterMainIconImage4();

namespace resources {

// Registers all of the above; later calls do nothing.
void RegisterAppResources();

}  // namespace resources
