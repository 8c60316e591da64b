#include "weblink.h"

#include <QRegularExpression>
#include <QStringList>

namespace velmora {

namespace {

bool isPlausibleHost(const QString& host)
{
    if (host.isEmpty())
        return false;
    if (host.contains(QLatin1Char(':')))
        return true; // an IPv6 address, already checked by QUrl
    const QStringList labels = host.split(QLatin1Char('.'));
    for (const QString& label : labels) {
        if (label.isEmpty() || label.size() > 63)
            return false;
        for (const QChar c : label) {
            const bool ok =
                (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') || c == QLatin1Char('_');
            if (!ok)
                return false;
        }
    }
    return true;
}

} // namespace

std::optional<QUrl> webAddressFor(const QString& linkText)
{
    QString text = linkText;
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    if (text.left(7).compare(QLatin1String("http://"), Qt::CaseInsensitive) == 0)
        text.remove(0, 7);
    if (text.isEmpty())
        return std::nullopt;

    // Only the web leaves the program: a word that names another scheme (file:, a program...)
    // is refused, and a word without one is a web address.
    static const QRegularExpression schemePrefix(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]*://"));
    if (!schemePrefix.match(text).hasMatch())
        text.prepend(QLatin1String("http://"));
    const QUrl url(text, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return std::nullopt;
    if (!isPlausibleHost(url.host(QUrl::FullyEncoded)))
        return std::nullopt;
    return url;
}

} // namespace velmora
