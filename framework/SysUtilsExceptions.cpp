#include "framework/SysUtilsExceptions.h"

#include "framework/SysUtilsConsts.h"

namespace fw {

Exception::Exception(std::string message) : message_(std::move(message)) {}

EAbort::EAbort() : Exception(SOperationAborted) {}

EInvalidOp::EInvalidOp() : EMathError(SInvalidOp) {}

EZeroDivide::EZeroDivide() : EMathError(SZeroDivide) {}

void Abort() { throw EAbort(); }

std::string FormatMessage1(const std::string& fmt, const std::string& arg)
{
    const std::string::size_type at = fmt.find("%s");
    if (at == std::string::npos) {
        return fmt;
    }
    std::string result = fmt;
    result.replace(at, 2, arg);
    return result;
}

}  // namespace fw
