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
    if (m_started)
        return;
    m_started = true;
    if (!m_natpmp) {
        m_natpmp = std::make_unique<NatPmpMapper>(m_port);
        m_natpmp->setGateway(m_gateway);
        connect(m_natpmp.get(), &NatPmpMapper::opened, this, &PortMapper::opened);
        connect(m_natpmp.get(), &NatPmpMapper::renewed, this, &PortMapper::renewed);
        connect(m_natpmp.get(), &NatPmpMapper::failed, this, &PortMapper::natPmpFailed);
    }
    m_natpmp->start();
}

void PortMapper::stop()
{
    // Each removes its own mapping. Both stay: stop() may come from a slot
    // that one of them is calling; the UPnP worker finishes its removal
    // even when its mapper goes first.
    m_started = false;
    if (m_natpmp)
        m_natpmp->stop();
    if (m_upnp)
        m_upnp->stop();
}

void PortMapper::natPmpFailed(MappingFailure why, const QString& reason)
{
    if (why == MappingFailure::NotPublic) {
        m_started = false;
        emit failed(reason);
        return;
    }
    m_natpmpFailure = why;
    m_natpmpReason = reason;
    if (!m_upnp) {
        m_upnp = std::make_unique<UpnpMapper>(m_port);
        m_upnp->setDescriptionUrl(m_upnpUrl);
        m_upnp->setLeaseSeconds(m_upnpLease);
        connect(m_upnp.get(), &UpnpMapper::opened, this, &PortMapper::opened);
        connect(m_upnp.get(), &UpnpMapper::renewed, this, &PortMapper::renewed);
        connect(m_upnp.get(), &UpnpMapper::failed, this, &PortMapper::upnpFailed);
    }
    m_upnp->start();
}

void PortMapper::upnpFailed(MappingFailure why, const QString& reason)
{
    m_started = false;
    if (why != MappingFailure::NoAnswer)
        emit failed(reason);
    else if (m_natpmpFailure == MappingFailure::Refused)
        emit failed(m_natpmpReason);
    else
        emit failed(QStringLiteral("No router answered the request to open port %1 (neither NAT-PMP nor UPnP IGD).")
                        .arg(m_port));
}

} // namespace velmora::net
