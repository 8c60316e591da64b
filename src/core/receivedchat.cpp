#include "core/receivedchat.h"

#include "media/colourtext.h"
#include "protocol/catalogue.h"

namespace velmora {

ReceivedChat decodeReceivedChat(int sender, QStringView line, bool action)
{
    ReceivedChat chat;
    chat.sender = sender;
    chat.action = action;
    chat.colour = colours::clWhite;
    const protocol::ColouredLine parts = protocol::splitColour(line);
    if (parts.colour) {
        if (const std::optional<quint32> colour = colourFromText(parts.colour->toString()))
            chat.colour = *colour;
    }
    const QStringView shown = parts.shown;
    // The name part ends at the first colon, whatever the colon belongs to.
    const qsizetype colon = shown.indexOf(QLatin1Char(':'));
    chat.name = shown.left(colon + 1).toString();
    chat.text = shown.mid(colon + 1).toString();
    return chat;
}

} // namespace velmora
