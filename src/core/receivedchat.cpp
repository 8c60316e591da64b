#include "core/receivedchat.h"

#include "media/colourtext.h"

namespace velmora {

ReceivedChat decodeReceivedChat(int sender, QStringView line, bool action)
{
    ReceivedChat chat;
    chat.sender = sender;
    chat.action = action;
    chat.colour = colours::clWhite;
    const qsizetype bar = line.indexOf(QLatin1Char('|'));
    if (bar >= 0) {
        if (const std::optional<quint32> colour = colourFromText(line.mid(bar + 1).toString()))
            chat.colour = *colour;
    }
    const QStringView shown = bar >= 0 ? line.left(bar) : line;
    // The name part ends at the first colon, whatever the colon belongs to.
    const qsizetype colon = shown.indexOf(QLatin1Char(':'));
    chat.name = shown.left(colon + 1).toString();
    chat.text = shown.mid(colon + 1).toString();
    return chat;
}

} // namespace velmora
