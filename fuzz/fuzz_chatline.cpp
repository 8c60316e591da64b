// The chat line parser on any line a host may relay: runs must cover the
// text exactly, in order, whatever the smileys and links.

#include "chat/chatline.h"

#include <cstddef>
#include <cstdint>

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)parseSystemLine(text);
    (void)parsePlayerLine(int(size % 12), text);
    (void)parseNumberedLine(text);
    // A name part given apart, cut anywhere.
    const qsizetype cut = text.isEmpty() ? 0 : qsizetype(data[0]) % (text.size() + 1);
    (void)parsePlayerLine(int(size % 12), QStringView(text).left(cut), QStringView(text).mid(cut));
    return 0;
}
