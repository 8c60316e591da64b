#include "message.h"

namespace velmora {

namespace protocol {

QString sanitizeField(QString text)
{
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == 0xFF || u == u'\r' || u == u'\n' || u == 0)
            c = u' ';
    }
    return text;
}

QByteArray encode(const char* command, const QStringList& fields, Trailing trailing)
{
    QByteArray out(command);
    out += kSeparator;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += kSeparator;
        out += toWire(sanitizeField(fields[i]));
    }
    if (trailing == Trailing::Yes)
        out += kSeparator;
    out += kTerminator;
    return out;
}

} // namespace protocol

CommandLine splitCommand(const QString& entry)
{
    const qsizetype plus = entry.indexOf(u'+');
    if (plus < 0)
        return {};
    return {entry.left(plus), entry.mid(plus + 1)};
}

} // namespace velmora
