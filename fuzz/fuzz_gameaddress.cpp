// Addresses and invitations. An address built from its parts (a host name's
// labels, an IPv4 or IPv6 address, a port or none, written plain, bracketed
// or as an invitation, with hostile characters spliced in) is read back as
// what it was built from, or refused with a one-line reason; whatever is
// accepted makes an invitation that reads back the same.

#include "choices.h"
#include "network/gameaddress.h"

#include <QString>
#include <cstdlib>

using namespace velmora::net;

namespace {

const char kLabelChars[] = "abcxyz019-";
const char kHostile[] = {'\0', '\n', ' ', ':', '[', ']', '/', '@', '?', '%', '.', '-', '\x7f'};

QString buildHost(velmora::fuzz::Choices& c, bool& ipv6)
{
    ipv6 = false;
    switch (c.pick(3)) {
    case 0: {
        QStringList labels;
        for (unsigned n = 1 + c.pick(4); n > 0; --n) {
            QString label;
            for (unsigned len = 1 + c.pick(70); len > 0; --len)
                label += QLatin1Char(kLabelChars[c.pick(sizeof kLabelChars - 1)]);
            labels << label;
        }
        return labels.join(u'.');
    }
    case 1:
        return QStringLiteral("%1.%2.%3.%4").arg(c.byte()).arg(c.byte()).arg(c.byte()).arg(c.pick(2) ? c.word() : 1);
    default:
        ipv6 = true;
        return QStringLiteral("%1::%2:%3").arg(c.word(), 0, 16).arg(c.word(), 0, 16).arg(c.word(), 0, 16);
    }
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    velmora::fuzz::Choices c(data, size);
    bool ipv6 = false;
    const QString host = buildHost(c, ipv6);
    const bool withPort = c.pick(2);
    const unsigned port = c.pick(4) == 0 ? c.word() * 2 : c.word();
    QString shown = ipv6 && (withPort || c.pick(2)) ? u'[' + host + u']' : host;
    if (withPort)
        shown += u':' + QString::number(port);
    if (c.pick(2))
        shown = QStringLiteral("velmora://") + shown;
    if (c.pick(4) == 0) // a hostile character somewhere
        shown.insert(c.pick(unsigned(shown.size()) + 1), QLatin1Char(kHostile[c.pick(sizeof kHostile)]));

    const auto parsed = parseGameAddress(shown);
    if (!parsed.ok()) {
        const QString reason = QString::fromStdString(parsed.error());
        check(!reason.isEmpty() && !reason.contains(u'\n') && reason.size() < 200);
        return 0;
    }
    const GameAddress& address = parsed.value();
    for (QChar ch : address.host)
        check(ch.isLetterOrNumber() || ch == u'.' || ch == u'-' || ch == u':');
    check(!address.port || (*address.port >= 1 && address.port <= 65535));
    // What was built whole is read as built.
    if (shown == host || shown.endsWith(host + u':' + QString::number(port)) || shown.endsWith(u'[' + host + u']'))
        check(address.host.compare(host, Qt::CaseInsensitive) == 0 || ipv6);
    const auto again = parseGameAddress(invitationFor(address));
    check(again.ok() && again.value().host == address.host && again.value().port == address.portOr(7772));
    return 0;
}
