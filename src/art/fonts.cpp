#include "fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include <fontconfig/fontconfig.h>

namespace velmora::art {

QString arialFamily()
{
    static const QString family = [] {
        for (const char* name : {"Arial", "Liberation Sans", "Arimo"}) {
            const QString candidate = QString::fromLatin1(name);
            if (QFontDatabase::hasFamily(candidate))
                return candidate;
        }
        // The face the default font resolves to, named as installed: an alias
        // such as "Sans Serif" would send Qt sorting for a fallback again.
        return QFontInfo(QFont()).family();
    }();
    return family;
}

std::thread preloadFontConfiguration()
{
    return std::thread([] { FcInit(); });
}

} // namespace velmora::art
