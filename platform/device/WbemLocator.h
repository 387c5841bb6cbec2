#pragma once

#include "platform/device/WbemServices.h"

#include <memory>
#include <vector>

namespace lumora {

// The locator: hands out connections to the namespaces of the local computer. Each
// provider answers one namespace.
class TSWbemLocator {
public:
    explicit TSWbemLocator(std::vector<std::shared_ptr<WbemProvider>> providers) : providers_(std::move(providers)) {}
    explicit TSWbemLocator(std::shared_ptr<WbemProvider> provider) : providers_{std::move(provider)} {}

    // Connects to a namespace (letter case ignored, as the service does) on
    // server "." or "" (this computer). Another server raises "The RPC server
    // is unavailable.", an unknown namespace "Invalid namespace". User,
    // password, locale and authority name the caller on remote computers and
    // are not used on this one.
    WbemServices ConnectServer(const QString& server, const QString& namespaceName, const QString& user = {},
                               const QString& password = {}, const QString& locale = {},
                               const QString& authority = {}, int securityFlags = 0) const;

private:
    std::vector<std::shared_ptr<WbemProvider>> providers_;
};

} // namespace lumora
