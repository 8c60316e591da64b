#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace velmora {

// Messages are single-byte text: "CMD_word+field+field" and the terminator byte.
namespace protocol {

inline constexpr char kTerminator = '\xFF';
inline constexpr char kSeparator = '+';
// Longest entry the inbound queue keeps; longer messages are cut.
inline constexpr int kMaxEntryLength = 4096;
// The version text both sides compare at login.
inline constexpr const char* kVersion = "2.0.17";
inline constexpr quint16 kGamePort = 7772;

// Bytes that would break a message apart (the terminator) or a queue entry
// (line breaks, NUL) never travel inside a field: each becomes a space.
QString sanitizeField(QString text);

enum class Trailing { No, Yes };

// command + "+" + fields joined by "+" (+ a trailing "+") + terminator, as Latin-1.
// Every field is sanitized first.
QByteArray encode(const char* command, const QStringList& fields = {}, Trailing trailing = Trailing::No);

// Latin-1 conversions between the wire and the program's text.
inline QString fromWire(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}
inline QByteArray toWire(const QString& text)
{
    return text.toLatin1();
}

} // namespace protocol

// A received message that breaks the message format (a field that should be
// a number but is not, a number out of range). Its handling ends; the game
// state is left as it was.
class ProtocolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An entry cut at its first "+" into the command word and the rest.
struct CommandLine {
    QString command; // empty when the entry has no "+"
    QString rest;
};
CommandLine splitCommand(const QString& entry);

// Takes a message's leading fields one at a time. The last field of every
// command is the whole remainder, so it may itself contain "+".
class FieldReader {
public:
    explicit FieldReader(QString rest)
        : m_rest(std::move(rest))
    {
    }

    // The text before the next "+", removed together with the "+". When no
    // "+" is left the field is empty and the remainder stays as it is.
    QString take();
    // take() as a decimal number; throws ProtocolError unless it is one
    // within [min, max].
    int takeNumber(int min, int max);
    // The whole remainder as a number within [min, max].
    int restAsNumber(int min, int max) const;
    const QString& rest() const { return m_rest; }

private:
    QString m_rest;
};

// Decimal digits only: no sign, no blanks. Throws ProtocolError otherwise or
// when the value lies outside [min, max]; `what` names the field.
int parseNumber(const QString& text, int min, int max, const char* what = "number");

} // namespace velmora
