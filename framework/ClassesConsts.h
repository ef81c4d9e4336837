#pragma once

// Message texts of the component model, streams and layout reader.

namespace fw {

inline constexpr const char* SAssignError = "Cannot assign a %s to a %s";
inline constexpr const char* SDuplicateName = "A component named %s already exists";
inline constexpr const char* SListIndexError = "List index out of bounds (%s)";
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SResNotFound = "Resource %s not found";
inline constexpr const char* SInvalidImage = "Invalid stream format";
inline constexpr const char* SInvalidPropertyValue = "Invalid property value";
inline constexpr const char* SPropertyException = "Error reading %s%s%s: %s";
inline constexpr const char* SClassNotFound = "Class %s not found";
inline constexpr const char* SUnknownProperty = "Property does not exist";
inline constexpr const char* SInvalidPropertyPath = "Invalid property path";
inline constexpr const char* SReadOnlyProperty = "Property is read-only";

}  // namespace fw
