#include "upnpigd.h"

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>

namespace velmora::net {

namespace {

// What the router's map entry is called in its list of mappings.
constexpr char kDescription[] = "Velmora game";

} // namespace

struct UpnpIgd::Handles {
    UPNPUrls urls{};
    IGDdatas data{};
    char lanAddress[64] = {};
    bool allocated = false; // urls to free
    bool found = false;

    ~Handles()
    {
        if (allocated)
            FreeUPNPUrls(&urls);
    }
};

QString UpnpIgd::Result::name() const
{
    const char* text = code > 0 ? strupnperror(code) : nullptr;
    return text ? QString::fromLatin1(text) : QString();
}

UpnpIgd::UpnpIgd()
    : m(std::make_unique<Handles>())
{
}

UpnpIgd::~UpnpIgd() = default;

bool UpnpIgd::find(const QString& descriptionUrl)
{
    if (m->found || m->allocated)
        return m->found;
    if (!descriptionUrl.isEmpty()) {
        m->found = UPNP_GetIGDFromUrl(descriptionUrl.toUtf8().constData(), &m->urls, &m->data, m->lanAddress,
                                      sizeof m->lanAddress) == 1;
        m->allocated = m->found;
        return m->found = m->found && hasConnection();
    }
    int error = 0;
    UPNPDev* devices = upnpDiscover(kDiscoveryMs, nullptr, nullptr, UPNP_LOCAL_PORT_ANY, 0, 2, &error);
    if (!devices)
        return false;
    // 1: a connected IGD; 2: an IGD that says it is not connected (its
    // outside address then tells); 3: some other device, kept by miniupnpc.
    const int kind = UPNP_GetValidIGD(devices, &m->urls, &m->data, m->lanAddress, sizeof m->lanAddress);
    freeUPNPDevlist(devices);
    m->allocated = kind != 0;
    m->found = (kind == 1 || kind == 2) && hasConnection();
    return m->found;
}

// A description without a WAN connection service (or no description at all,
// only an error page) leaves nothing to ask.
bool UpnpIgd::hasConnection() const
{
    return m->data.first.servicetype[0] != '\0' && m->urls.controlURL && m->urls.controlURL[0] != '\0';
}

QString UpnpIgd::localAddress() const
{
    return QString::fromLatin1(m->lanAddress, int(qstrnlen(m->lanAddress, sizeof m->lanAddress)));
}

UpnpIgd::Result UpnpIgd::externalAddress(QString* address)
{
    char text[64] = {};
    const int code = UPNP_GetExternalIPAddress(m->urls.controlURL, m->data.first.servicetype, text);
    *address = QString::fromLatin1(text, int(qstrnlen(text, sizeof text)));
    return {code};
}

UpnpIgd::Result UpnpIgd::addMapping(quint16 port, quint32 leaseSeconds)
{
    const QByteArray number = QByteArray::number(port);
    const QByteArray lease = QByteArray::number(leaseSeconds);
    return {UPNP_AddPortMapping(m->urls.controlURL, m->data.first.servicetype, number.constData(), number.constData(),
                                m->lanAddress, kDescription, "TCP", nullptr, lease.constData())};
}

UpnpIgd::Result UpnpIgd::deleteMapping(quint16 port)
{
    const QByteArray number = QByteArray::number(port);
    return {UPNP_DeletePortMapping(m->urls.controlURL, m->data.first.servicetype, number.constData(), "TCP", nullptr)};
}

} // namespace velmora::net
