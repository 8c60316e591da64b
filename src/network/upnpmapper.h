#pragma once

#include "mappingfailure.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

namespace velmora::net {

// Opens the game's TCP port on an Internet Gateway Device with UPnP: finds
// it by SSDP, reads its outside address, maps the same port outside as
// inside to this computer with a lease renewed at half its life (or for good
// where the router takes no lease), and removes the mapping when stopped or
// destroyed. UPnP's calls block, so they run in order on a worker thread of
// the mapper's own; the answers come back through the event loop.
class UpnpMapper : public QObject {
    Q_OBJECT
public:
    // How long a mapper being destroyed waits for its worker to remove the
    // mapping; past that the worker finishes on its own.
    static constexpr int kRemoveWithinMs = 2000;

    explicit UpnpMapper(quint16 port, QObject* parent = nullptr);
    ~UpnpMapper() override;

    // Asks the device described at this URL instead of searching by SSDP.
    void setDescriptionUrl(const QString& url) { m_descriptionUrl = url; }
    void setLeaseSeconds(quint32 seconds) { m_lease = seconds; }
    void start();
    // Removes the mapping (queued on the worker, not waited for).
    void stop();

signals:
    void opened(const QString& externalAddress, quint16 port);
    void renewed();
    void failed(MappingFailure why, const QString& reason);

private:
    struct Worker;
    void takeOpened(const QString& externalAddress, quint32 lease);
    void takeRenewed(bool ok, const QString& reason);
    void takeFailure(MappingFailure why, const QString& reason);
    void renew();
    void scheduleRenewal();

    quint16 m_port;
    quint32 m_lease = kLeaseSeconds;
    quint32 m_granted = 0; // 0: for good
    QString m_descriptionUrl;
    std::shared_ptr<Worker> m_worker;
    QTimer m_renew;
    bool m_running = false;
};

} // namespace velmora::net
