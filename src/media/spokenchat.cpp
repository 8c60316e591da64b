#include "spokenchat.h"

#include <QRegularExpression>

namespace velmora::spoken {

QString chatLine(const QString& shown)
{
    // The chat draws a picture for the mark and whatever two characters
    // follow it, known code or not: the same stretch is the word here.
    static const QRegularExpression smiley(QStringLiteral(":\\)#.{0,2}"));
    static const QRegularExpression saying(QStringLiteral("^([^:]*) (chats|says):"));
    static const QRegularExpression pause(QStringLiteral("\\s*[:;](?=\\s|$)"));
    static const QRegularExpression trailingDots(QStringLiteral("\\.{2,}(?=\\s|$|[A-Z])"));
    QString words = shown;
    words.replace(smiley, QStringLiteral(" smiley "));
    words.replace(saying, QStringLiteral("\\1 says"));
    // The solo player is "You", and "You says" is not what anyone says.
    if (words.startsWith(QLatin1String("You says ")))
        words.replace(0, 8, QStringLiteral("You say"));
    words.replace(trailingDots, QStringLiteral(". "));
    words.replace(pause, QStringLiteral(","));
    words = words.simplified();
    if (words.endsWith(QLatin1Char(',')))
        words.chop(1);
    return words;
}

} // namespace velmora::spoken
