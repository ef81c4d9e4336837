#pragma once

// Message texts of the run-time library, kept in one place so that the string table can
// serve them later. Where the table number of an entry is already fixed it stands beside it.

namespace fw {

inline constexpr int SInvalidIntegerId = 65520;
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";

inline constexpr const char* SInvalidOp = "Invalid floating point operation";
inline constexpr const char* SZeroDivide = "Floating point division by zero";
inline constexpr const char* SOperationAborted = "Operation aborted";
inline constexpr const char* SNoTimers = "Not enough timers available";
inline constexpr const char* SWindowClass = "Error creating window class";

}  // namespace fw
