#include "core/spokenwords.h"

#include "game/constants.h"

#include <QStringList>

namespace velmora::spoken {

QString dartResult(const DartResult& result)
{
    switch (result.kind()) {
    case DartResult::Kind::Empty:
        return QStringLiteral("nothing");
    case DartResult::Kind::Bull:
        return QStringLiteral("bull");
    case DartResult::Kind::DoubleBull:
        return QStringLiteral("double bull");
    case DartResult::Kind::Sum:
        break;
    }
    const QString sum = QString::number(result.sum());
    return result.target() ? sum : sum + QStringLiteral(", a miss");
}

QString dartHit(const DartResult& result)
{
    switch (result.kind()) {
    case DartResult::Kind::Empty:
        return QStringLiteral("is empty");
    case DartResult::Kind::Bull:
        return QStringLiteral("hits the bull");
    case DartResult::Kind::DoubleBull:
        return QStringLiteral("hits the double bull");
    case DartResult::Kind::Sum:
        break;
    }
    return (result.target() ? QStringLiteral("hits %1") : QStringLiteral("misses with %1")).arg(result.sum());
}

QString target(int target)
{
    return target == game::kBull ? QStringLiteral("bull") : QString::number(target);
}

QString marks(int count)
{
    switch (count) {
    case 0:
        return QStringLiteral("no marks");
    case 1:
        return QStringLiteral("one mark");
    case 2:
        return QStringLiteral("two marks");
    default:
        return QStringLiteral("closed");
    }
}

QString face(int face)
{
    return face == 0 ? QStringLiteral("blank") : QString::number(face);
}

QString faces(const QList<int>& faces)
{
    QStringList words;
    for (int value : faces)
        words << face(value);
    return words.join(QStringLiteral(", "));
}

QString board(const rules::Marks& marks)
{
    QStringList words;
    for (int t = game::kFirstTarget; t < game::kFirstTarget + game::kTargetCount; ++t)
        if (const int count = rules::marksOn(marks, t); count > 0)
            words << target(t) + QLatin1Char(' ') + spoken::marks(count);
    return words.isEmpty() ? spoken::marks(0) : words.join(QStringLiteral(", "));
}

} // namespace velmora::spoken
