#include "lobbychecks.h"

namespace velmora::lobby {

Result<QString> checkPlayerName(const QString& typed)
{
    const QString name = typed.trimmed();
    if (name.isEmpty())
        return Failure{"Type your name first."};
    if (name.size() > kMaxPlayerName)
        return Failure{
            QStringLiteral("Your name is too long: at most %1 characters.").arg(kMaxPlayerName).toStdString()};
    for (QChar c : name) {
        const bool control = c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
        if (control || c == u'+' || c == QChar(0xFF))
            return Failure{"Your name may not hold \"+\" or control characters."};
    }
    return name;
}

} // namespace velmora::lobby
