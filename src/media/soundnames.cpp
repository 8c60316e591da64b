#include "media/soundnames.h"

#include "game/dartresult.h"

#include <array>

namespace velmora::sounds {

namespace {

constexpr std::array<const char*, chatterCount + 1> captions{
    "<Cancel>",       "Doh",          "Cough", "Hello",   "Thank You", "Where have you been?",
    "Snoring",        "Sneezing",     "Sorry", "Welcome", "Yeehaa",    "Yippee",
    "Oh No",          "Applause",     "Honk",  "Oooh",    "Razzberry", "Cheer",
    "Woman Laughing", "Man Laughing", "Crying"};

constexpr QLatin1StringView chatterPrefix{"wave"};

} // namespace

QString dartSound(const DartResult& result)
{
    switch (result.kind()) {
    case DartResult::Kind::Bull:
        return QStringLiteral("bull");
    case DartResult::Kind::DoubleBull:
        return QStringLiteral("dbull");
    default:
        if (const auto target = result.target())
            return QStringLiteral("wav") + QString::number(*target);
        return QStringLiteral("miss");
    }
}

QString turnSound(int choice)
{
    return choice == 1 ? QStringLiteral("turnnew") : QStringLiteral("turn");
}

QString chatterSound(int number)
{
    if (number < 1 || number > chatterCount)
        return {};
    return chatterPrefix + QString::number(number);
}

int chatterNumber(QStringView name)
{
    if (!name.startsWith(chatterPrefix, Qt::CaseInsensitive))
        return 0;
    const QStringView digits = name.mid(chatterPrefix.size());
    // Only the canonical spelling: no sign, no leading zero, no spaces.
    if (digits.isEmpty() || digits.size() > 2 || digits.front() == u'0')
        return 0;
    for (const QChar c : digits)
        if (c < u'0' || c > u'9')
            return 0;
    const int number = digits.toInt();
    return number <= chatterCount ? number : 0;
}

QString chatterCaption(int number)
{
    if (number < 0 || number > chatterCount)
        return {};
    return QString::fromLatin1(captions[std::size_t(number)]);
}

bool isVoice(QAnyStringView name)
{
    return !QAnyStringView::equal(name, diceName);
}

} // namespace velmora::sounds
