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
    return std::thread([] {
        FcInit();
        // The sorted fallback list Qt asks for when the first text is laid
        // out: sorting once here brings the fonts' details into memory, and
        // Qt's own sort then takes a fraction of the time.
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
        if (!pattern)
            return;
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        if (FcFontSet* sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result))
            FcFontSetDestroy(sorted);
        FcPatternDestroy(pattern);
    });
}

} // namespace velmora::art
