#include "inifile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace velmora {

namespace {

// The other program may write its own code page: text that is not UTF-8 reads as Latin-1.
QString decode(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

std::optional<QString> sectionName(const QByteArray& line)
{
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith('['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return decode(trimmed.mid(1, close - 1).trimmed());
}

// The key of a "key=value" line; comments and other lines have none.
std::optional<QString> keyName(const QByteArray& line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith(';') || trimmed.startsWith('#') || trimmed.startsWith('['))
        return std::nullopt;
    const qsizetype equals = trimmed.indexOf('=');
    if (equals <= 0)
        return std::nullopt;
    return decode(trimmed.left(equals).trimmed());
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QByteArray lineFor(const QString& key, QString value)
{
    for (QChar& c : value) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0))
            c = QLatin1Char(' ');
    }
    return key.toUtf8() + '=' + value.toUtf8();
}

} // namespace

IniFile::ReadResult IniFile::read(const QString& path)
{
    parse({});
    QFile file(path);
    if (!file.exists())
        return ReadResult::Missing;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes)
        return ReadResult::Unreadable;
    // Read one byte past the limit: a file that grows meanwhile is still caught.
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (bytes.size() > kMaxBytes || file.error() != QFileDevice::NoError)
        return ReadResult::Unreadable;
    parse(bytes);
    return ReadResult::Read;
}

void IniFile::parse(const QByteArray& bytes)
{
    m_lines.clear();
    m_newline = "\n";
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            m_lines.append({bytes.mid(start), {}});
            break;
        }
        const bool crlf = end > start && bytes.at(end - 1) == '\r';
        const qsizetype textEnd = crlf ? end - 1 : end;
        m_lines.append({bytes.mid(start, textEnd - start), crlf ? QByteArray("\r\n") : QByteArray("\n")});
        start = end + 1;
    }
    // New lines follow the file's own habit.
    for (const Line& line : std::as_const(m_lines)) {
        if (!line.ending.isEmpty()) {
            m_newline = line.ending;
            break;
        }
    }
}

QByteArray IniFile::toBytes() const
{
    QByteArray bytes;
    for (const Line& line : m_lines)
        bytes += line.text + line.ending;
    return bytes;
}

int IniFile::findSection(const QString& section) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines.at(i).text);
        if (name && sameName(*name, section))
            return i;
    }
    return -1;
}

int IniFile::sectionEnd(int header) const
{
    for (int i = header + 1; i < m_lines.size(); ++i) {
        if (sectionName(m_lines.at(i).text))
            return i;
    }
    return int(m_lines.size());
}

int IniFile::findKey(int header, const QString& key) const
{
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const auto name = keyName(m_lines.at(i).text);
        if (name && sameName(*name, key))
            return i;
    }
    return -1;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const
{
    const int header = findSection(section);
    const int line = header < 0 ? -1 : findKey(header, key);
    if (line < 0)
        return std::nullopt;
    const QByteArray& text = m_lines.at(line).text;
    return decode(text.mid(text.indexOf('=') + 1).trimmed());
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    const QByteArray text = lineFor(key, value);
    int header = findSection(section);
    if (header < 0) {
        if (!m_lines.isEmpty() && m_lines.last().ending.isEmpty())
            m_lines.last().ending = m_newline;
        m_lines.append({'[' + section.toUtf8() + ']', m_newline});
        m_lines.append({text, m_newline});
        return;
    }
    const int existing = findKey(header, key);
    if (existing >= 0) {
        m_lines[existing].text = text;
        return;
    }
    // After the section's last key, so blank lines and comments before the next section stay there.
    int after = header;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        if (keyName(m_lines.at(i).text))
            after = i;
    }
    if (m_lines.at(after).ending.isEmpty())
        m_lines[after].ending = m_newline;
    m_lines.insert(after + 1, {text, m_newline});
}

bool IniFile::write(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = toBytes();
    // commit() does not see an error met while flushing its buffer (a full
    // disk): it would put a cut-short file in place. Flush and check first.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace velmora
