#include "media/colourtext.h"

#include <array>

namespace velmora {

namespace {

struct NamedColour {
    const char* name;
    quint32 value;
};

constexpr std::array<NamedColour, 16> kPlainNames{{
    {"clBlack", colours::clBlack},
    {"clMaroon", colours::clMaroon},
    {"clGreen", colours::clGreen},
    {"clOlive", colours::clOlive},
    {"clNavy", colours::clNavy},
    {"clPurple", colours::clPurple},
    {"clTeal", colours::clTeal},
    {"clGray", colours::clGray},
    {"clSilver", colours::clSilver},
    {"clRed", colours::clRed},
    {"clLime", colours::clLime},
    {"clYellow", colours::clYellow},
    {"clBlue", colours::clBlue},
    {"clFuchsia", colours::clFuchsia},
    {"clAqua", colours::clAqua},
    {"clWhite", colours::clWhite},
}};

// Indexed by the low byte of a system colour value.
constexpr std::array<const char*, 25> kSystemNames{
    "clScrollBar",    "clBackground",     "clActiveCaption", "clInactiveCaption", "clMenu",
    "clWindow",       "clWindowFrame",    "clMenuText",      "clWindowText",      "clCaptionText",
    "clActiveBorder", "clInactiveBorder", "clAppWorkSpace",  "clHighlight",       "clHighlightText",
    "clBtnFace",      "clBtnShadow",      "clGrayText",      "clBtnText",         "clInactiveCaptionText",
    "clBtnHighlight", "cl3DDkShadow",     "cl3DLight",       "clInfoText",        "clInfoBk",
};

// What each system colour is drawn as. The chat is black, so every "text" colour is light and
// every "surface" colour dark; the rest follow the classic desktop scheme.
constexpr std::array<quint32, 25> kSystemDrawn{
    0xC8C8C8, // scroll bar
    0x000000, // background
    0x6A240A, // active caption
    0x808080, // inactive caption
    0x000000, // menu
    0x000000, // window
    0x808080, // window frame
    0xFFFFFF, // menu text
    0xFFFFFF, // window text
    0xFFFFFF, // caption text
    0xC0C0C0, // active border
    0xC0C0C0, // inactive border
    0x808080, // app work space
    0x6A240A, // highlight
    0xFFFFFF, // highlight text
    0x404040, // button face
    0x808080, // button shadow
    0x808080, // gray text
    0xFFFFFF, // button text
    0xC0C0C0, // inactive caption text
    0xFFFFFF, // button highlight
    0x404040, // 3D dark shadow
    0xC0C0C0, // 3D light
    0xFFFFFF, // info text
    0x000000, // info background
};

QColor fromBgr(quint32 v)
{
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

} // namespace

QString colourToText(quint32 colour)
{
    for (const auto& named : kPlainNames) {
        if (named.value == colour)
            return QString::fromLatin1(named.name);
    }
    if (colour >= colours::systemColour && colour < colours::systemColour + kSystemNames.size())
        return QString::fromLatin1(kSystemNames[colour - colours::systemColour]);
    if (colour == colours::clNone)
        return QStringLiteral("clNone");
    return QStringLiteral("$%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<quint32> colourFromText(const QString& text)
{
    for (const auto& named : kPlainNames) {
        if (text.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0)
            return named.value;
    }
    for (std::size_t i = 0; i < kSystemNames.size(); ++i) {
        if (text.compare(QLatin1String(kSystemNames[i]), Qt::CaseInsensitive) == 0)
            return colours::systemColour + quint32(i);
    }
    if (text.compare(QLatin1String("clNone"), Qt::CaseInsensitive) == 0)
        return colours::clNone;

    bool ok = false;
    if (text.startsWith(QLatin1Char('$'))) {
        const QString digits = text.mid(1);
        // toUInt would accept a sign or spaces; a colour in hex is digits only.
        if (digits.isEmpty() || digits.size() > 8)
            return std::nullopt;
        for (const QChar c : digits) {
            const bool hex = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                             (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
                             (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
            if (!hex)
                return std::nullopt;
        }
        const quint32 value = digits.toUInt(&ok, 16);
        return ok ? std::optional<quint32>(value) : std::nullopt;
    }
    // Decimal may be written signed: negative numbers are the same 32 bits read as signed.
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok || text.trimmed() != text || value < -2147483648LL || value > 4294967295LL)
        return std::nullopt;
    return quint32(value);
}

QColor toQColor(quint32 colour)
{
    if ((colour & 0xFF000000) == colours::systemColour) {
        const quint32 index = colour & 0xFF;
        return index < kSystemDrawn.size() ? fromBgr(kSystemDrawn[index]) : QColor(Qt::white);
    }
    // Any other value draws with its low 24 bits, as the desktop did (clNone draws white).
    return fromBgr(colour & 0xFFFFFF);
}

} // namespace velmora
