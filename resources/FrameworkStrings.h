#pragma once

namespace resources {

// Puts the framework's captions and messages into the string table; calling it again
// registers the same texts again. Generated from strings/Framework.txt into the library
// framework_resources that the framework links.
void RegisterFrameworkStrings();

}  // namespace resources
