#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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

// An entry cut at its first "+" into the command word and the rest.
struct CommandLine {
    QString command; // empty when the entry has no "+"
    QString rest;
};
CommandLine splitCommand(const QString& entry);

} // namespace velmora
