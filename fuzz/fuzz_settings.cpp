// The settings file on files built from lines: sections and keys (ours and
// the lobby's, in any letter case, with spaces about them), comments, blank
// lines and junk, ended by LF, CR LF, a stray CR or nothing. Checked:
//  - the file reads and writes back byte for byte;
//  - each value we set replaces the first line of that key in the first
//    section of ours, or is added after the section's last key (the section
//    at the end of the file), and every other line comes back byte for byte;
//  - our keys read back: what was set, else what the file held.
//
// Input: a byte of flags (bit 0: the last line has no ending), then a
// sequence of lines, each an operation byte (low three bits the kind, bits 3
// to 5 a variant, the top two the ending) and the bytes it takes; kind 7 is
// not a line but a value to set. An input starting with '[' or ';' is a
// file instead, read as it is.

#include "choices.h"
#include "records/inifile.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

using namespace velmora;
using fuzz::Choices;

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

constexpr std::array kOurKeys{"Textsize",       "Top",           "Left",      "Width",     "Height",
                              "Botspeed",       "Points",        "Turnsound", "Textcolor", "Playsounds",
                              "Playvoiceovers", "ChatterSounds", "Phrase1",   "Phrase10",  "LobbyInstallerUrl",
                              "LobbyPath"};
constexpr std::array kOtherKeys{"Name", "Path", "Textsize2", "Text size", "Bot", "Gr\303\266\303\237e", "\xe9t\xe9"};
constexpr std::array kSections{"Velmora", "Lobby", "Velmora2", "Velmor", "Vel mora", "", "Sound"};
constexpr std::array kValues{"",          "750",  " 12 ",       "cllime",
                             "a=b",       "$FF",  "Way To Go!", "\xc3\xa9t\xc3\xa9",
                             "\xe9t\xe9", "true", "-1",         "http://example.com/x?y=1"};
constexpr std::array kSpaces{"", " ", "\t", "  \t", "\v\f"};
const QString kOurs = QStringLiteral("Velmora");

// A name in the letter case the mask says.
QByteArray spelled(const char* name, std::uint8_t mask)
{
    QByteArray text(name);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool upper = (mask >> (i % 8)) & 1;
        text[i] = upper ? char(std::toupper(static_cast<unsigned char>(text[i])))
                        : char(std::tolower(static_cast<unsigned char>(text[i])));
    }
    return text;
}

QString decoded(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A line as built: its bytes and what it is meant to be.
struct Line {
    enum Role { Other, Section, Key } role = Other;
    QByteArray text;
    QByteArray ending;
    QString name; // of the section or key
};

// Bytes of junk of any kind but a line break, and not ending in a CR (that
// would make the line's ending CR LF). Plain junk has no '=' and no brackets,
// so it is neither a key nor a section.
QByteArray junk(Choices& in, bool plain)
{
    QByteArray text;
    for (unsigned n = in.pick(16); n > 0; --n) {
        const char c = char(in.byte());
        if (c != '\n' && !(plain && (c == '=' || c == '[' || c == ']')))
            text += c;
    }
    while (text.endsWith('\r'))
        text.chop(1);
    return text;
}

Line sectionLine(Choices& in, unsigned variant)
{
    const char* name = kSections[in.pick(kSections.size())];
    const QByteArray spelling = spelled(name, in.byte());
    const QByteArray inner = kSpaces[variant & 1 ? in.pick(kSpaces.size()) : 0];
    QByteArray text =
        QByteArray(kSpaces[variant & 2 ? in.pick(kSpaces.size()) : 0]) + '[' + inner + spelling + inner + ']';
    if (variant & 4)
        text += " ; " + junk(in, false);
    return {Line::Section, text, {}, decoded(spelling)};
}

Line keyLine(Choices& in, unsigned variant, bool ours)
{
    const char* name = ours ? kOurKeys[in.pick(kOurKeys.size())] : kOtherKeys[in.pick(kOtherKeys.size())];
    const QByteArray spelling = spelled(name, in.byte());
    const QByteArray value = variant & 4 ? junk(in, false) : QByteArray(kValues[in.pick(kValues.size())]);
    const QByteArray pad = kSpaces[variant & 3 ? in.pick(kSpaces.size()) : 0];
    return {Line::Key, pad + spelling + pad + '=' + pad + value, {}, decoded(spelling)};
}

// Lines that are neither sections nor keys: comments, blank lines, junk,
// a value without a key, an unclosed section.
Line otherLine(Choices& in, unsigned kind, unsigned variant)
{
    if (kind == 3)
        return {Line::Other, kSpaces[variant % kSpaces.size()] + QByteArray(variant & 4 ? "#" : ";") + junk(in, false)};
    if (kind == 4)
        return {Line::Other, kSpaces[variant % kSpaces.size()]};
    if (kind == 5)
        return {Line::Other, junk(in, true)};
    return {Line::Other, (variant & 1 ? "=" : "[Velmora") + junk(in, true)};
}

struct Setting {
    QString key;
    QString value;
};

struct Built {
    std::vector<Line> lines;
    std::vector<Setting> settings;
    QByteArray bytes;
};

Built build(Choices& in)
{
    Built built;
    const bool lastWithoutEnding = in.byte() & 1;
    while (!in.done() && built.lines.size() < 200) {
        const std::uint8_t op = in.byte();
        const unsigned kind = op & 7;
        const unsigned variant = (op >> 3) & 7;
        if (kind == 7) {
            built.settings.push_back({QString::fromLatin1(spelled(kOurKeys[in.pick(kOurKeys.size())], in.byte())),
                                      QString::fromUtf8(kValues[in.pick(kValues.size())]) +
                                          (variant & 1 ? QString::fromUtf8("\r\n\0x", 4) : QString())});
            continue;
        }
        Line line = kind == 0   ? sectionLine(in, variant)
                    : kind <= 2 ? keyLine(in, variant, kind == 1)
                                : otherLine(in, kind, variant);
        // LF, CR LF, a CR kept in the line before CR LF, LF.
        static const std::array<const char*, 4> endings{"\n", "\r\n", "\r\r\n", "\n"};
        const char* ending = endings[op >> 6];
        if (std::strlen(ending) == 3) {
            line.text += '\r';
            ending = "\r\n";
        }
        line.ending = ending;
        built.lines.push_back(line);
    }
    if (lastWithoutEnding && !built.lines.empty()) {
        built.lines.back().ending.clear();
        if (built.lines.back().text.isEmpty()) // no line at all
            built.lines.pop_back();
    }
    for (const Line& line : built.lines)
        built.bytes += line.text + line.ending;
    return built;
}

// What setting a value should do to the lines, by their meaning.
void applySetting(std::vector<Line>& lines, const QByteArray& newline, const QString& section, const Setting& setting)
{
    QString value = setting.value;
    for (QChar& c : value) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0))
            c = QLatin1Char(' ');
    }
    const QByteArray text = setting.key.toUtf8() + '=' + value.toUtf8();
    const Line added{Line::Key, text, newline, setting.key};
    auto header = std::find_if(lines.begin(), lines.end(),
                               [](const Line& l) { return l.role == Line::Section && sameName(l.name, kOurs); });
    if (header == lines.end()) {
        if (!lines.empty() && lines.back().ending.isEmpty())
            lines.back().ending = newline;
        lines.push_back({Line::Section, '[' + section.toUtf8() + ']', newline, section});
        lines.push_back(added);
        return;
    }
    const auto end = std::find_if(header + 1, lines.end(), [](const Line& l) { return l.role == Line::Section; });
    auto after = header;
    for (auto at = header + 1; at != end; ++at) {
        if (at->role != Line::Key)
            continue;
        if (sameName(at->name, setting.key)) {
            at->text = text;
            return;
        }
        after = at;
    }
    if (after->ending.isEmpty())
        after->ending = newline;
    lines.insert(after + 1, added);
}

// The value our section gives a key, by the lines' meaning.
std::optional<QString> expectedValue(const std::vector<Line>& lines, const QString& key)
{
    auto at = std::find_if(lines.begin(), lines.end(),
                           [](const Line& l) { return l.role == Line::Section && sameName(l.name, kOurs); });
    if (at == lines.end())
        return std::nullopt;
    for (++at; at != lines.end() && at->role != Line::Section; ++at) {
        if (at->role == Line::Key && sameName(at->name, key))
            return decoded(at->text.mid(at->text.indexOf('=') + 1).trimmed());
    }
    return std::nullopt;
}

void checkBuilt(const Built& built, std::uint8_t caseMask)
{
    IniFile file;
    file.parse(built.bytes);
    check(file.toBytes() == built.bytes);
    QByteArray newline = "\n";
    for (const Line& line : built.lines) {
        if (!line.ending.isEmpty()) {
            newline = line.ending;
            break;
        }
    }
    std::vector<Line> expected = built.lines;
    const QString section = QString::fromLatin1(spelled("Velmora", caseMask));
    for (const Setting& setting : built.settings) {
        file.setValue(section, setting.key, setting.value);
        applySetting(expected, newline, section, setting);
    }
    QByteArray bytes;
    for (const Line& line : expected)
        bytes += line.text + line.ending;
    check(file.toBytes() == bytes);
    IniFile again;
    again.parse(bytes);
    for (const char* key : kOurKeys) {
        const QString spelling = QString::fromLatin1(spelled(key, ~caseMask));
        check(again.value(QStringLiteral("VELMORA"), spelling) == expectedValue(expected, spelling));
    }
}

// A file as it is: read and written back byte for byte, then one value set.
void checkRawFile(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    IniFile file;
    file.parse(bytes);
    check(file.toBytes() == bytes);
    file.setValue(QStringLiteral("Velmora"), QStringLiteral("Botspeed"), QStringLiteral("750"));
    IniFile again;
    again.parse(file.toBytes());
    check(again.value(QStringLiteral("velmora"), QStringLiteral("BOTSPEED")) == QStringLiteral("750"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0 && (data[0] == '[' || data[0] == ';')) {
        checkRawFile(data, size);
        return 0;
    }
    Choices in(data, size);
    const std::uint8_t caseMask = size > 0 ? data[0] : 0;
    checkBuilt(build(in), caseMask);
    return 0;
}
