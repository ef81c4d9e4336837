#pragma once

// The layouts of tests/framework/layouts, compiled by layoutc into the library
// framework_test_layouts (tools/layoutc/CMakeLists.txt). Each function registers its layout's
// stream as RT_RCDATA under the layout's file name; the definitions are generated, which is
// why they live outside any namespace. A new layout there adds its line here.
void RegisterLayout_ClassesTest();
void RegisterLayout_StandardForm();
