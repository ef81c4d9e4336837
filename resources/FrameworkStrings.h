#pragma once

namespace resources {

// Puts the framework's captions and messages into the string table; calling it again
// registers the same texts again.
void RegisterFrameworkStrings();

}  // namespace resources
