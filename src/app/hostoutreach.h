#pragma once

#include <QHostAddress>
#include <QString>
#include <functional>
#include <memory>

namespace velmora {

class TServer;
namespace net {
class HostPublication;
class PortMapper;
} // namespace net

// How a dedicated host makes itself known: announced on the local network
// (unless told not to) and, when asked, its port opened on the home router.
struct OutreachOptions {
    QString title;
    bool publish = true;
    bool openPort = false;
    QHostAddress router; // null: the default gateway
};

// Both live while the host listens; dropping this withdraws the
// announcement and closes the router's port again.
struct HostOutreach {
    std::unique_ptr<net::PortMapper> mapper;
    std::unique_ptr<net::HostPublication> publication;
    ~HostOutreach();
};

// Starts what the options ask for; `print` gets each line for the console.
std::unique_ptr<HostOutreach> reachOut(const TServer& server, const OutreachOptions& options,
                                       const std::function<void(const QString&)>& print);

} // namespace velmora
