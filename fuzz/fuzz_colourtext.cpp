// The colour text read from chat lines and the settings file: any text either
// reads as a colour whose own text reads back the same, or is refused.

#include "media/colourtext.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const auto colour = colourFromText(text)) {
        const auto again = colourFromText(colourToText(*colour));
        if (!again || *again != *colour)
            std::abort();
        (void)toQColor(*colour);
    }
    return 0;
}
