#include "chatline.h"

namespace velmora {

namespace {

const QString kSmileyMark = QStringLiteral(":)#");
constexpr int kFirstSmileyCode = 10;

// Builds a line run by run; neighbouring text of one style becomes one run, so a long line
// gives the display few pieces to shape and draw.
class LineBuilder {
public:
    explicit LineBuilder(int style) { m_line.style = style; }

    void text(QStringView text)
    {
        if (text.isEmpty())
            return;
        std::vector<LineRun>& runs = m_line.runs;
        if (!runs.empty() && runs.back().kind == ChatItemKind::Text && runs.back().style == m_line.style)
            runs.back().length += int(text.size());
        else
            runs.push_back({ChatItemKind::Text, m_line.style, int(m_line.text.size()), int(text.size()), -1});
        m_line.text += text;
    }

    void smiley(int picture)
    {
        m_line.runs.push_back({ChatItemKind::Smiley, m_line.style, int(m_line.text.size()), 1, picture});
        m_line.text += ChatLine::SmileyPlaceholder;
    }

    // The text followed by one space, word by word: each word keeps the space after it, and a
    // word that is a link becomes a link run (its space included).
    void words(QStringView text)
    {
        qsizetype pos = 0;
        for (;;) {
            const qsizetype space = text.indexOf(QLatin1Char(' '), pos);
            const bool last = space < 0;
            const QStringView word = text.mid(pos, (last ? text.size() : space + 1) - pos);
            if (isLinkWord(word)) {
                const int start = int(m_line.text.size());
                m_line.text += word;
                if (last)
                    m_line.text += QLatin1Char(' ');
                m_line.runs.push_back(
                    {ChatItemKind::Link, ChatLine::LinkStyle, start, int(m_line.text.size()) - start, -1});
            } else {
                this->text(word);
                if (last)
                    this->text(u" ");
            }
            if (last)
                return;
            pos = space + 1;
        }
    }

    ChatLine take() { return std::move(m_line); }

private:
    ChatLine m_line;
};

// Codes 10 to 27 name pictures 0 to 17; anything else, even nothing at all, shows picture 0.
int smileyPicture(QStringView code)
{
    const auto digit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - '0' : -1; };
    if (code.size() != 2 || digit(code[0]) < 0 || digit(code[1]) < 0)
        return 0;
    const int picture = digit(code[0]) * 10 + digit(code[1]) - kFirstSmileyCode;
    return picture >= 0 && picture < ChatLine::SmileyCount ? picture : 0;
}

ChatLine parseParts(int style, QStringView name, QStringView message)
{
    LineBuilder builder(style);
    builder.text(name);
    builder.text(u" ");

    qsizetype pos = 0;
    qsizetype at;
    while ((at = message.indexOf(kSmileyMark, pos)) >= 0) {
        const QStringView before = message.mid(pos, at - pos);
        const QStringView code = message.mid(at + kSmileyMark.size(), 2);
        pos = at + kSmileyMark.size() + code.size();
        builder.words(before);
        builder.smiley(smileyPicture(code));
    }
    if (pos < message.size())
        builder.words(message.mid(pos));
    return builder.take();
}

ChatLine parseMessage(int style, QStringView message)
{
    // The name part runs to the first colon, whatever the colon belongs to.
    const qsizetype colon = message.indexOf(QLatin1Char(':'));
    return parseParts(style, message.left(colon + 1), message.mid(colon + 1));
}

int senderStyle(int sender)
{
    const bool isSender = sender >= 1 && sender <= ChatLine::MaxSender;
    return isSender ? ChatLine::FirstSenderStyle + sender - 1 : ChatLine::SystemStyle;
}

} // namespace

bool isLinkWord(QStringView word)
{
    return !word.isEmpty() && (word.contains(QLatin1String("http://")) || word.contains(QLatin1String("https://")) ||
                               word.contains(QLatin1String("www.")));
}

ChatLine parseSystemLine(const QString& text)
{
    return parseMessage(ChatLine::SystemStyle, text);
}

ChatLine parsePlayerLine(int sender, const QString& text)
{
    return parseMessage(senderStyle(sender), text);
}

ChatLine parsePlayerLine(int sender, QStringView name, QStringView message)
{
    return parseParts(senderStyle(sender), name, message);
}

} // namespace velmora
