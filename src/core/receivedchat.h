#pragma once

#include <QString>
#include <QStringView>

namespace velmora {

// A chat or action line relayed by the host, taken apart once where it
// arrives. The host writes "name chats: text" (an action: "name text"),
// then "|" and the colour text the sender chose.
struct ReceivedChat {
    int sender = 0; // the sender's connection number, 1..9
    // The line as shown, cut at its first "|": the name part runs up to and
    // including the first ":" ("Ann chats:"; empty for "Ann waves"), the
    // text is everything after it, its leading space included.
    QString name;
    QString text;
    quint32 colour = 0xFFFFFF; // 0x00BBGGRR; white when the colour text is missing or unreadable
    bool action = false;
    bool operator==(const ReceivedChat&) const = default;
};

// `line` is the message's last field. A "|" the sender typed ends the line
// there, and leaves the colour unreadable.
ReceivedChat decodeReceivedChat(int sender, QStringView line, bool action);

} // namespace velmora
