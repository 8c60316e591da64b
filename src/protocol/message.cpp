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

QString FieldReader::take()
{
    const qsizetype plus = m_rest.indexOf(u'+');
    if (plus < 0)
        return {};
    QString field = m_rest.left(plus);
    m_rest.remove(0, plus + 1);
    return field;
}

int FieldReader::takeNumber(int min, int max)
{
    return parseNumber(take(), min, max);
}

int FieldReader::restAsNumber(int min, int max) const
{
    return parseNumber(m_rest, min, max);
}

int parseNumber(const QString& text, int min, int max, const char* what)
{
    // Nine digits always fit an int; anything longer is out of every range we use.
    if (text.isEmpty() || text.size() > 9)
        throw ProtocolError(std::string("not a valid ") + what + ": \"" + text.left(20).toStdString() + "\"");
    int value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            throw ProtocolError(std::string("not a valid ") + what + ": \"" + text.left(20).toStdString() + "\"");
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value < min || value > max)
        throw ProtocolError(std::string(what) + " out of range: " + std::to_string(value));
    return value;
}

} // namespace velmora
