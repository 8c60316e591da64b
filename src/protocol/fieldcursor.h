#pragma once

#include "decoded.h"
#include "game/dartresult.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace velmora::protocol {

// Decimal digits only (no sign, no blanks, at most nine of them) within
// [min, max]; none otherwise.
std::optional<int> parseNumber(QStringView text, int min, int max);

// Walks the fields of a message after its command word. Each leading field
// ends at the next "+", which the sender writes and the receiver relies on;
// the last field is the whole remainder, so it may itself hold "+".
// The first field that breaks the format is remembered and every later read
// yields a default value, so a decoder reads all its fields in order and
// asks once at the end whether they were good.
class FieldCursor {
public:
    explicit FieldCursor(QStringView rest)
        : m_rest(rest)
    {
    }

    // The next "+"-ended field.
    QString text(const char* what);
    int number(const char* what, int min, int max);
    DartResult dartResult(const char* what);

    // The remainder, as the message's last field.
    QString lastText() const { return m_rest.toString(); }
    int lastNumber(const char* what, int min, int max);
    DartResult lastDartResult(const char* what);

    bool ok() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    // Marks the message as malformed (the first reason wins).
    void fail(const QString& why);

    // The decoded value, or the first error met on the way.
    template <class T> Decoded<T> finish(T value) const
    {
        if (!ok())
            return Failure{m_error.toStdString()};
        return Decoded<T>(std::move(value));
    }

private:
    std::optional<QStringView> take(const char* what);
    int checkNumber(QStringView text, const char* what, int min, int max);
    DartResult checkDartResult(QStringView text, const char* what);

    QStringView m_rest;
    QString m_error;
};

} // namespace velmora::protocol
