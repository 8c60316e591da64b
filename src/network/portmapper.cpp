#include "portmapper.h"

#include "natpmpmapper.h"
#include "upnpmapper.h"

namespace velmora::net {

PortMapper::PortMapper(quint16 port, QObject* parent)
    : QObject(parent)
    , m_port(port)
{
}

PortMapper::~PortMapper()
{
    stop();
}

void PortMapper::start()
{
    if (m_natpmp || m_upnp)
        return;
    m_natpmp = std::make_unique<NatPmpMapper>(m_port);
    m_natpmp->setGateway(m_gateway);
    connect(m_natpmp.get(), &NatPmpMapper::opened, this, &PortMapper::opened);
    connect(m_natpmp.get(), &NatPmpMapper::renewed, this, &PortMapper::renewed);
    connect(m_natpmp.get(), &NatPmpMapper::failed, this, &PortMapper::natPmpFailed);
    m_natpmp->start();
}

void PortMapper::stop()
{
    // Each removes its own mapping; the UPnP worker may still be finishing
    // its removal when its mapper is gone.
    m_natpmp.reset();
    m_upnp.reset();
}

void PortMapper::natPmpFailed(MappingFailure why, const QString& reason)
{
    if (why == MappingFailure::NotPublic) {
        emit failed(reason);
        return;
    }
    m_natpmpFailure = why;
    m_natpmpReason = reason;
    m_upnp = std::make_unique<UpnpMapper>(m_port);
    m_upnp->setDescriptionUrl(m_upnpUrl);
    m_upnp->setLeaseSeconds(m_upnpLease);
    connect(m_upnp.get(), &UpnpMapper::opened, this, &PortMapper::opened);
    connect(m_upnp.get(), &UpnpMapper::renewed, this, &PortMapper::renewed);
    connect(m_upnp.get(), &UpnpMapper::failed, this, &PortMapper::upnpFailed);
    m_upnp->start();
}

void PortMapper::upnpFailed(MappingFailure why, const QString& reason)
{
    if (why != MappingFailure::NoAnswer)
        emit failed(reason);
    else if (m_natpmpFailure == MappingFailure::Refused)
        emit failed(m_natpmpReason);
    else
        emit failed(QStringLiteral("No router answered the request to open port %1 (neither NAT-PMP nor UPnP IGD).")
                        .arg(m_port));
}

} // namespace velmora::net
