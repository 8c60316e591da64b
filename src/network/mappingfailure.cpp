#include "mappingfailure.h"

#include <QHostAddress>

namespace velmora::net {

bool isPublicAddress(const QHostAddress& address)
{
    bool ok = false;
    const quint32 a = address.toIPv4Address(&ok);
    if (!ok)
        return false;
    const auto in = [a](quint32 net, int bits) { return (a >> (32 - bits)) == (net >> (32 - bits)); };
    return !(in(0x00000000, 8) || in(0x0A000000, 8) || in(0x64400000, 10) || in(0x7F000000, 8) || in(0xA9FE0000, 16) ||
             in(0xAC100000, 12) || in(0xC0A80000, 16) || in(0xE0000000, 3));
}

QString notPublicReason(const QHostAddress& outside)
{
    const quint32 a = outside.toIPv4Address();
    if (a == 0)
        return QStringLiteral("The router has no outside address: it is not connected to the internet, "
                              "so players from the internet cannot reach this game.");
    if ((a >> 22) == (0x64400000u >> 22))
        return QStringLiteral("The router's own outside address %1 is not public (the provider shares it: "
                              "carrier-grade NAT), so players from the internet cannot reach this game.")
            .arg(outside.toString());
    return QStringLiteral("The router's own outside address %1 is not public (it sits behind another "
                          "router), so players from the internet cannot reach this game.")
        .arg(outside.toString());
}

} // namespace velmora::net
