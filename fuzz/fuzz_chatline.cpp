// The chat line parser on any line a host may relay: runs must cover the
// text exactly, in order, whatever the smileys, links and colour suffixes.

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
    (void)parseReceivedChat(text);
    return 0;
}
