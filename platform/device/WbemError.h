#pragma once

#include "platform/framework/Exception.h"

#include <cstdint>

namespace lumora {

// The management service's own result codes, with the texts it reports for them.
enum TWbemErrorCode : std::uint32_t {
    wbemErrNotFound = 0x80041002,
    wbemErrTypeMismatch = 0x80041005,
    wbemErrInvalidParameter = 0x80041008,
    wbemErrInvalidNamespace = 0x8004100E,
    wbemErrInvalidClass = 0x80041010,
    wbemErrInvalidQuery = 0x80041017,
    wbemErrInvalidQueryType = 0x80041018,
    wbemErrInvalidMethod = 0x8004102E,
    wbemErrInvalidObjectPath = 0x8004103A,
    wbemErrServerUnavailable = 0x800706BA,
};

// A failed call into the management object model. The message is the text
// the service gives for its result code, so the error box reads as it would
// for any other caller of the service.
class EWbemError : public Exception {
public:
    explicit EWbemError(TWbemErrorCode code) : Exception(TextOf(code)), code_(code) {}

    TWbemErrorCode ErrorCode() const noexcept { return code_; }

    static QString TextOf(TWbemErrorCode code)
    {
        switch (code) {
        case wbemErrNotFound: return QStringLiteral("Not found");
        case wbemErrTypeMismatch: return QStringLiteral("Type mismatch");
        case wbemErrInvalidParameter: return QStringLiteral("Invalid parameter");
        case wbemErrInvalidNamespace: return QStringLiteral("Invalid namespace");
        case wbemErrInvalidClass: return QStringLiteral("Invalid class");
        case wbemErrInvalidQuery: return QStringLiteral("Invalid query");
        case wbemErrInvalidQueryType: return QStringLiteral("Invalid query language");
        case wbemErrInvalidMethod: return QStringLiteral("Invalid method");
        case wbemErrInvalidObjectPath: return QStringLiteral("Invalid object path");
        case wbemErrServerUnavailable: return QStringLiteral("The RPC server is unavailable.");
        }
        return QStringLiteral("Generic failure");
    }

private:
    TWbemErrorCode code_;
};

} // namespace lumora
