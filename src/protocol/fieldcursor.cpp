#include "fieldcursor.h"

namespace velmora::protocol {

namespace {

// Enough of a hostile field to recognise it in a log line, and no more.
QString excerpt(QStringView text)
{
    return QLatin1Char('"') + text.left(20).toString() + QLatin1Char('"');
}

} // namespace

std::optional<int> parseNumber(QStringView text, int min, int max)
{
    // Nine digits always fit an int; anything longer is out of every range we use.
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

void FieldCursor::fail(const QString& why)
{
    if (m_error.isEmpty())
        m_error = why;
}

std::optional<QStringView> FieldCursor::take(const char* what)
{
    if (!ok())
        return std::nullopt;
    const qsizetype plus = m_rest.indexOf(u'+');
    if (plus < 0) {
        fail(QStringLiteral("missing %1").arg(QLatin1String(what)));
        return std::nullopt;
    }
    const QStringView field = m_rest.left(plus);
    m_rest = m_rest.mid(plus + 1);
    return field;
}

int FieldCursor::checkNumber(QStringView text, const char* what, int min, int max)
{
    if (!ok())
        return min;
    if (const auto value = parseNumber(text, min, max))
        return *value;
    fail(QStringLiteral("%1 is not a number from %2 to %3: %4")
             .arg(QLatin1String(what))
             .arg(min)
             .arg(max)
             .arg(excerpt(text)));
    return min;
}

DartResult FieldCursor::checkDartResult(QStringView text, const char* what)
{
    if (!ok())
        return {};
    if (const auto result = DartResult::parse(text.toLatin1().toStdString()))
        return *result;
    fail(QStringLiteral("%1 is not a dart result: %2").arg(QLatin1String(what), excerpt(text)));
    return {};
}

QString FieldCursor::text(const char* what)
{
    const auto field = take(what);
    return field ? field->toString() : QString();
}

int FieldCursor::number(const char* what, int min, int max)
{
    const auto field = take(what);
    return field ? checkNumber(*field, what, min, max) : min;
}

DartResult FieldCursor::dartResult(const char* what)
{
    const auto field = take(what);
    return field ? checkDartResult(*field, what) : DartResult();
}

int FieldCursor::lastNumber(const char* what, int min, int max)
{
    return checkNumber(m_rest, what, min, max);
}

DartResult FieldCursor::lastDartResult(const char* what)
{
    return checkDartResult(m_rest, what);
}

} // namespace velmora::protocol
