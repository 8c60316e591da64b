#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace velmora {

// An initialisation file shared with another program: sections in square
// brackets, "key=value" lines. Only the lines we set change; every other
// byte (foreign sections and keys, comments, blank lines, line endings, their
// order) is written back as it was read. Section and key names match in any
// letter case; the first match counts.
//
// Hand-written: QSettings re-sorts, escapes and drops comments, and no
// maintained Debian library keeps foreign lines byte for byte.
class IniFile {
public:
    // Bigger files are not ours to rewrite: they are neither read nor replaced.
    static constexpr qint64 kMaxBytes = 1024 * 1024;

    enum class ReadResult { Read, Missing, Unreadable };

    // A missing file reads as empty. A file that cannot be read whole leaves
    // the contents empty and reports Unreadable.
    ReadResult read(const QString& path);
    void parse(const QByteArray& bytes);
    QByteArray toBytes() const;

    std::optional<QString> value(const QString& section, const QString& key) const;
    // Replaces the first matching line, or adds one at the end of the section
    // (the section at the end of the file). Line breaks in the value become spaces.
    void setValue(const QString& section, const QString& key, const QString& value);

    // Replaces the file at once through a temporary file in its folder; on
    // failure the old file stays whole and false is returned.
    bool write(const QString& path) const;

private:
    struct Line {
        QByteArray text;
        QByteArray ending; // "\n", "\r\n", or empty for a last line without one
    };

    int findSection(const QString& section) const;
    int sectionEnd(int header) const;
    int findKey(int header, const QString& key) const;

    QList<Line> m_lines;
    QByteArray m_newline = "\n";
};

} // namespace velmora
