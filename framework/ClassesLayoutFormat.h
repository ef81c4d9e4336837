#pragma once

// The bytes of the binary layout ("TPF0" stream) that the reader and the layout compiler share;
// nothing here needs the rest of the framework.

#include <cstdint>

namespace fw {

// Value tags of the binary layout.
enum class TValueType : std::uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
};

// Prefix byte flags of a component record.
enum TFilerFlag : std::uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };

inline constexpr char FilerSignature[4] = {'T', 'P', 'F', '0'};

}  // namespace fw
