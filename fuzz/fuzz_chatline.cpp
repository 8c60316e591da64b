// The chat line parser on lines built from their parts: a name part, plain
// words, links and smileys. Every character of the parsed text lands in
// exactly one run, the runs stay inside the text in order, a link run is a
// link word and a plain word never is, and each smiley and link built in
// comes out as one run of its own (a smiley with the picture its code names).

#include "chat/chatline.h"
#include "choices.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace velmora;
using velmora::fuzz::Choices;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Plain words hold neither ')' nor 'w' nor 'h', so only the parts put in on
// purpose make smileys and links.
const char kPlain[] = "abcz019 .:/+-#";
const char kCode[] = "0123456789ax";

QString drawn(Choices& in, const char* alphabet, std::size_t size, unsigned maxLength)
{
    QString text;
    for (unsigned n = in.pick(maxLength + 1); n > 0; --n)
        text += QLatin1Char(alphabet[in.pick(unsigned(size - 1))]);
    return text;
}

struct Built {
    QString name;
    QString message;
    int links = 0;
    std::vector<int> pictures; // the smileys' pictures, in order
};

Built build(Choices& in)
{
    Built b;
    if (in.pick(2))
        b.name = drawn(in, kPlain, sizeof kPlain, 8) + QLatin1Char(':');
    for (unsigned parts = in.pick(12); parts > 0; --parts) {
        switch (in.pick(3)) {
        case 0:
            b.message += drawn(in, kPlain, sizeof kPlain, 12);
            break;
        case 1: // a link word ends at its space
            b.message += QLatin1String(in.pick(2) ? "www." : "http://") + drawn(in, "abc.019", 8, 6) + QLatin1Char(' ');
            ++b.links;
            break;
        default: {
            const QString code = drawn(in, kCode, sizeof kCode, 2);
            b.message += QStringLiteral(":)#") + code;
            // Codes 10 to 27 name pictures 0 to 17; anything else shows picture 0.
            bool number = false;
            const int value = code.size() == 2 ? code.toInt(&number) : 0;
            b.pictures.push_back(number && value >= 10 && value <= 27 ? value - 10 : 0);
            // A smiley's code takes the two characters after its mark, whatever they are.
            if (code.size() < 2 && parts > 1)
                b.message += QStringLiteral("  ").left(2 - code.size());
        }
        }
    }
    return b;
}

// Whatever the line: the runs tile the text, in order and in bounds.
void checkRuns(const ChatLine& line)
{
    int at = 0;
    for (const LineRun& run : line.runs) {
        check(run.start == at && run.length > 0 && run.start + run.length <= line.text.size());
        const QStringView text = QStringView(line.text).mid(run.start, run.length);
        switch (run.kind) {
        case ChatItemKind::Link:
            check(run.style == ChatLine::LinkStyle && isLinkWord(text));
            break;
        case ChatItemKind::Smiley:
            check(run.length == 1 && text[0] == ChatLine::SmileyPlaceholder);
            check(run.smiley >= 0 && run.smiley < ChatLine::SmileyCount);
            break;
        case ChatItemKind::Text:
            check(run.style == line.style);
            break;
        }
        at += run.length;
    }
    check(at == line.text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Choices in(data, size);
    const int sender = int(in.pick(12));
    const Built b = build(in);

    // The name given apart: the message's own parts come out one for one.
    const ChatLine line = parsePlayerLine(sender, b.name, b.message);
    checkRuns(line);
    int links = 0;
    std::vector<int> pictures;
    for (const LineRun& run : line.runs) {
        if (run.kind == ChatItemKind::Link)
            ++links;
        else if (run.kind == ChatItemKind::Smiley)
            pictures.push_back(run.smiley);
        else
            for (const QStringView word : QStringView(line.text).mid(run.start, run.length).split(u' '))
                check(!isLinkWord(word));
    }
    check(links == b.links && pictures == b.pictures);

    // The whole line, its name part found by the parser.
    checkRuns(parsePlayerLine(sender, b.name + b.message));
    checkRuns(parseSystemLine(b.name + b.message));
    return 0;
}
