#include "hostoutreach.h"

#include "host/consoletext.h"
#include "host/tserver.h"
#include "network/gameaddress.h"
#include "network/hostpublication.h"
#include "network/portmapper.h"

namespace velmora {

HostOutreach::~HostOutreach()
{
    mapper.reset(); // the router's port is closed again
    publication.reset();
}

std::unique_ptr<HostOutreach> reachOut(const TServer& server, const OutreachOptions& options,
                                       const std::function<void(const QString&)>& print)
{
    auto outreach = std::make_unique<HostOutreach>();
    if (options.publish) {
        outreach->publication = std::make_unique<net::HostPublication>(server, options.title);
        QObject::connect(outreach->publication.get(), &net::HostPublication::established, [print](const QString& name) {
            print(QStringLiteral("announced on the local network as \"%1\"").arg(consoleSafe(name)));
        });
        QObject::connect(outreach->publication.get(), &net::HostPublication::unavailable, print);
    }
    if (options.openPort) {
        outreach->mapper = std::make_unique<net::PortMapper>(server.port());
        outreach->mapper->setGateway(options.router);
        QObject::connect(outreach->mapper.get(), &net::PortMapper::opened,
                         [print](const QString& address, quint16 port) {
                             print(QStringLiteral("port %1 is open on the router: players from the internet join "
                                                  "with %2")
                                       .arg(port)
                                       .arg(net::invitationFor({address, port})));
                         });
        QObject::connect(outreach->mapper.get(), &net::PortMapper::failed, print);
        outreach->mapper->start();
    }
    return outreach;
}

} // namespace velmora
