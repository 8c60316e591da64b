#pragma once

#include "mappingfailure.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <memory>

namespace velmora::net {

class NatPmpMapper;
class UpnpMapper;

// Opens the game's TCP port on the home router, only when the player asks:
// the same port outside as inside and never another, the lease renewed at
// half its life while the game runs and removed when the mapper goes. It
// asks with NAT-PMP first and, when no NAT-PMP router answers or it refuses,
// with UPnP IGD. Says what the outside address is, or plainly why nothing
// was opened (no router answered, the router refused, the router's own
// outside address is not public). Nothing waits on the GUI thread.
class PortMapper : public QObject {
    Q_OBJECT
public:
    explicit PortMapper(quint16 port, QObject* parent = nullptr);
    ~PortMapper() override;

    // The NAT-PMP router to ask; by default the system's default gateway.
    void setGateway(const QHostAddress& gateway) { m_gateway = gateway; }
    // The UPnP IGD to ask, by its description URL, instead of searching the
    // network by SSDP; and its lease (tests).
    void setUpnpDescriptionUrl(const QString& url) { m_upnpUrl = url; }
    void setUpnpLeaseSeconds(quint32 seconds) { m_upnpLease = seconds; }
    void start();
    // Removes the mapping (one request, not waited for).
    void stop();

signals:
    void opened(const QString& externalAddress, quint16 port);
    void renewed();
    void failed(const QString& reason);

private:
    void natPmpFailed(MappingFailure why, const QString& reason);
    void upnpFailed(MappingFailure why, const QString& reason);

    quint16 m_port;
    QHostAddress m_gateway;
    QString m_upnpUrl;
    quint32 m_upnpLease = kLeaseSeconds;
    std::unique_ptr<NatPmpMapper> m_natpmp;
    std::unique_ptr<UpnpMapper> m_upnp;
    bool m_started = false;
    MappingFailure m_natpmpFailure = MappingFailure::NoAnswer;
    QString m_natpmpReason;
};

} // namespace velmora::net
