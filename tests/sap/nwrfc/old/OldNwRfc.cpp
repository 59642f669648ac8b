// A release of the library from before the calls Zorv needs: only these two are exported.

#include "sap/nwrfc/NwRfcApi.h"

#include <cstring>

using namespace nwrfc;

extern "C" {

ConnectionHandle RfcOpenConnection(const ConnectionParameter*, unsigned, ErrorInfo* info)
{
    if (info) {
        std::memset(static_cast<void*>(info), 0, sizeof(ErrorInfo));
        info->code = kNotSupported;
        info->group = kExternalRuntimeFailure;
        const char16_t message[] = u"This release of the library is not supported";
        std::memcpy(info->message, message, sizeof(message));
    }
    return nullptr;
}

const SapUc* RfcGetVersion(unsigned* major, unsigned* minor, unsigned* patch)
{
    if (major)
        *major = 720;
    if (minor)
        *minor = 0;
    if (patch)
        *patch = 0;
    return u"720.0.0";
}
}
