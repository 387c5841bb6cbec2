#include "platform/device/WbemLocator.h"

#include "platform/device/WbemError.h"

namespace lumora {

WbemServices TSWbemLocator::ConnectServer(const QString& server, const QString& namespaceName, const QString&,
                                        const QString&, const QString&, const QString&, int) const
{
    if (!server.isEmpty() && server != u".")
        throw EWbemError(wbemErrServerUnavailable);
    for (const std::shared_ptr<WbemProvider>& provider : providers_) {
        if (provider && SameWbemName(provider->Namespace(), namespaceName))
            return WbemServices(provider);
    }
    throw EWbemError(wbemErrInvalidNamespace);
}

} // namespace lumora
