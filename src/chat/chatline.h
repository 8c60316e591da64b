#pragma once

#include <QColor>
#include <QString>
#include <vector>

namespace velmora {

enum class ChatItemKind { Text, Link, Smiley };

// One run of a parsed line: a stretch of its text in one style, a link word, or a smiley.
struct LineRun {
    ChatItemKind kind = ChatItemKind::Text;
    int style = 0;  // text style; links always use the link style
    int start = 0;  // in ChatLine::text
    int length = 0; // one character for a smiley
    int smiley = -1;
};

// A chat line taken apart into what the display lays out, before any widget sees it.
struct ChatLine {
    // Text styles of the display: 0 system lines, 4 links, 6 to 14 senders 1 to 9.
    static constexpr int SystemStyle = 0;
    static constexpr int LinkStyle = 4;
    static constexpr int FirstSenderStyle = 6;
    static constexpr int MaxSender = 9;
    static constexpr int SmileyCount = 18;
    // The colours of the game's own lines: lime, and silver for the quick instructions.
    static constexpr QColor SystemColour{0x00, 0xFF, 0x00};
    static constexpr QColor InstructionColour{0xC0, 0xC0, 0xC0};
    // Links: a green that reads well on the black display (far above the 4.5 to 1 contrast
    // ordinary text needs), lighter and bluer than the lime of the game's own lines.
    static constexpr QColor LinkColour{0x3C, 0xB3, 0x71};
    // Stands in for a smiley in the text; the display sizes it to the picture.
    static constexpr QChar SmileyPlaceholder = QLatin1Char('O');

    int style = SystemStyle; // the style of the line's own text
    QString text;            // the runs laid end to end
    std::vector<LineRun> runs;
};

// A line the game itself writes: drawn in the system style.
ChatLine parseSystemLine(const QString& text);

// A line from sender 1 to 9 (a connection number); any other number is drawn as a system line.
ChatLine parsePlayerLine(int sender, const QString& text);

// The same with its name part already known ("Ann chats:", or empty): `message` is everything
// after it and is never searched for a name.
ChatLine parsePlayerLine(int sender, QStringView name, QStringView message);

// Whether a word of a chat line is shown and stored as a link.
bool isLinkWord(QStringView word);

} // namespace velmora
