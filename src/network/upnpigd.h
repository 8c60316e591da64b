#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

namespace velmora::net {

// One Internet Gateway Device, found and asked with UPnP through miniupnpc.
// Every call blocks on the network (SSDP, then HTTP and SOAP), each bounded
// by a timeout: use it from a worker thread only, never the GUI's. What the
// router says is returned as it said it; the caller checks it.
class UpnpIgd {
public:
    static constexpr int kDiscoveryMs = 2000;

    // A SOAP action's outcome: 0, a UPnP error code (718 and the like) or
    // one of miniupnpc's own negative codes (no answer, a garbled answer).
    struct Result {
        int code = 0;
        bool ok() const { return code == 0; }
        // The standard name of a UPnP error ("ConflictInMappingEntry"), or "".
        QString name() const;
    };

    UpnpIgd();
    ~UpnpIgd();
    UpnpIgd(const UpnpIgd&) = delete;
    UpnpIgd& operator=(const UpnpIgd&) = delete;

    // Searches the local network by SSDP, or, when descriptionUrl is not
    // empty, reads the device described there. False: no IGD found.
    bool find(const QString& descriptionUrl);
    // This computer's address on the router's side, as the router sees it.
    QString localAddress() const;

    Result externalAddress(QString* address);
    // The game's TCP port, the same outside and inside, to this computer.
    Result addMapping(quint16 port, quint32 leaseSeconds);
    Result deleteMapping(quint16 port);

private:
    bool hasConnection() const;
    struct Handles;
    std::unique_ptr<Handles> m;
};

} // namespace velmora::net
