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

} // namespace velmora::spoken
