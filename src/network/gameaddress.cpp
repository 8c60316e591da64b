#include "gameaddress.h"

#include <QUrl>

#include <algorithm>
#include <arpa/inet.h>

namespace velmora::net {

namespace {

constexpr QLatin1StringView kScheme("velmora://");
constexpr qsizetype kMaxHostName = 253;
constexpr qsizetype kMaxLabel = 63;

Failure fail(const QString& text)
{
    return Failure{text.toStdString()};
}

// Part of what was typed, quoted in a reason: short enough for one line.
QString quoted(QStringView text)
{
    constexpr qsizetype kMaxQuoted = 40;
    const QString shown =
        text.size() > kMaxQuoted ? text.left(kMaxQuoted).toString() + QStringLiteral("...") : text.toString();
    return u'"' + shown + u'"';
}

bool isAsciiAlnum(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// 1 to 65535 in plain digits.
Result<quint16> parsePort(QStringView digits)
{
    const QString reason = QStringLiteral("The port must be a number from 1 to 65535.");
    if (digits.isEmpty() || digits.size() > 5)
        return fail(reason);
    uint port = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return fail(reason);
        port = port * 10 + uint(c.unicode() - u'0');
    }
    if (port == 0 || port > 65535)
        return fail(reason);
    return quint16(port);
}

Result<QString> parseIPv6(QStringView text)
{
    // Without a zone ("%eth0"): a link-local address means nothing to a
    // friend. A character outside ASCII turns into one inet_pton refuses.
    in6_addr address{};
    if (::inet_pton(AF_INET6, text.toString().toLatin1().constData(), &address) != 1)
        return fail(QStringLiteral("%1 is not an IPv6 address.").arg(quoted(text)));
    return text.toString();
}

// Dotted digits are an IPv4 address or nothing; "10.1" is not taken as one.
Result<QString> parseIPv4(QStringView text)
{
    const auto parts = text.split(u'.');
    bool ok = parts.size() == 4;
    for (QStringView part : parts)
        ok = ok && !part.isEmpty() && part.size() <= 3 && part.toUInt() <= 255;
    if (!ok)
        return fail(QStringLiteral("%1 is not an IPv4 address.").arg(quoted(text)));
    return text.toString();
}

// Labels of letters, digits and hyphens; a name in another script goes in
// its ASCII form, as resolvers want it.
Result<QString> parseHostName(QStringView text)
{
    QString name = text.toString();
    const bool ascii = std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii) {
        name = QString::fromLatin1(QUrl::toAce(name, QUrl::AceTransitionalProcessing));
        if (name.isEmpty())
            return fail(QStringLiteral("%1 is not a valid host name.").arg(quoted(text)));
    }
    const QString what = QStringLiteral("A host name may only hold letters, digits, hyphens and dots.");
    if (name.size() > kMaxHostName)
        return fail(QStringLiteral("The host name is too long (at most %1 characters).").arg(kMaxHostName));
    QStringView labels(name);
    if (labels.endsWith(u'.'))
        labels.chop(1);
    for (QStringView label : labels.split(u'.')) {
        if (label.isEmpty() || label.size() > kMaxLabel || label.startsWith(u'-') || label.endsWith(u'-'))
            return fail(what);
        for (QChar c : label)
            if (!isAsciiAlnum(c) && c != u'-')
                return fail(what);
    }
    return name;
}

Result<QString> parseHost(QStringView text)
{
    if (text.isEmpty())
        return fail(QStringLiteral("No host is given."));
    const bool dotted = std::all_of(text.begin(), text.end(), [](QChar c) { return c == u'.' || c.isDigit(); });
    return dotted ? parseIPv4(text) : parseHostName(text);
}

Result<GameAddress> withPort(Result<QString> host, QStringView port)
{
    if (!host)
        return Failure{host.error()};
    if (port.isNull())
        return GameAddress{host.value(), std::nullopt};
    Result<quint16> number = parsePort(port);
    if (!number)
        return Failure{number.error()};
    return GameAddress{host.value(), number.value()};
}

// HOST, HOST:PORT, [IPV6], [IPV6]:PORT or a bare IPv6 address.
Result<GameAddress> parseHostAndPort(QStringView text)
{
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close < 0)
            return fail(QStringLiteral("The IPv6 address has no closing \"]\"."));
        const QStringView rest = text.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(u':'))
            return fail(QStringLiteral("Only \":PORT\" may follow \"]\"."));
        return withPort(parseIPv6(text.mid(1, close - 1)), rest.isEmpty() ? QStringView() : rest.mid(1));
    }
    const qsizetype colons = text.count(u':');
    if (colons > 1)
        return withPort(parseIPv6(text), {});
    if (colons == 1) {
        const qsizetype colon = text.indexOf(u':');
        return withPort(parseHost(text.left(colon)), text.mid(colon + 1));
    }
    return withPort(parseHost(text), {});
}

// The scheme's name, when the text starts with one ("http" of "http://x").
QStringView schemeOf(QStringView text)
{
    const qsizetype end = text.indexOf(QLatin1StringView("://"));
    if (end <= 0)
        return {};
    const QStringView name = text.left(end);
    const bool plain = std::all_of(name.begin(), name.end(),
                                   [](QChar c) { return isAsciiAlnum(c) || c == u'+' || c == u'-' || c == u'.'; });
    return plain ? name : QStringView();
}

} // namespace

QString GameAddress::toString() const
{
    const QString shownHost = isIPv6() ? u'[' + host + u']' : host;
    if (!port)
        return host;
    return shownHost + u':' + QString::number(*port);
}

Result<GameAddress> parseGameAddress(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return fail(QStringLiteral("Enter a host name, an address or an invitation."));
    if (text.size() > kMaxAddressText)
        return fail(QStringLiteral("That is too long for an address (at most %1 characters).").arg(kMaxAddressText));
    for (QChar c : text)
        if (c.isSpace() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return fail(QStringLiteral("An address may not hold spaces or control characters."));
    const QStringView scheme = schemeOf(text);
    if (scheme.isNull())
        return parseHostAndPort(text);
    if (scheme.compare(kScheme.chopped(3), Qt::CaseInsensitive) != 0)
        return fail(QStringLiteral("An invitation starts with velmora://, not %1://.").arg(scheme.left(20)));
    QStringView rest = text.mid(kScheme.size());
    if (rest.endsWith(u'/'))
        rest.chop(1);
    if (rest.isEmpty())
        return fail(QStringLiteral("The invitation names no host."));
    for (QChar c : {u'/', u'?', u'#', u'@'})
        if (rest.contains(c))
            return fail(QStringLiteral("An invitation holds only velmora://HOST or velmora://HOST:PORT."));
    if (!rest.startsWith(u'[') && rest.count(u':') > 1)
        return fail(QStringLiteral("In an invitation an IPv6 address goes in brackets: velmora://[ADDRESS]:PORT."));
    return parseHostAndPort(rest);
}

QString invitationFor(const GameAddress& address)
{
    GameAddress explicitPort = address;
    explicitPort.port = address.portOr(protocol::kGamePort);
    return kScheme + explicitPort.toString();
}

} // namespace velmora::net
