#include "readablecaption.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace velmora {

namespace {

// A label's reading: its own accessible name, else its text (plain, without
// the "&" of a mnemonic), said as a caption.
class CaptionAccessible : public QAccessibleWidget {
public:
    explicit CaptionAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        const auto* label = static_cast<const QLabel*>(widget());
        if (t != QAccessible::Name || !label->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        QString text = label->text();
        if (Qt::mightBeRichText(text))
            text = QTextDocumentFragment::fromHtml(text).toPlainText();
        else if (label->buddy())
            text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
        return readableCaption(text);
    }
};

QAccessibleInterface* captionAccessible(const QString& key, QObject* object)
{
    if (key == QLatin1StringView(QLabel::staticMetaObject.className()))
        return new CaptionAccessible(static_cast<QLabel*>(object));
    return nullptr;
}

} // namespace

QString readableCaption(const QString& caption)
{
    // A colon or semicolon that ends the text or is followed by a space: not
    // one of an address or a time.
    static const QRegularExpression ending(QStringLiteral("\\s*[:;]\\s*$"));
    static const QRegularExpression inside(QStringLiteral("\\s*[:;](?=\\s)"));
    static const QRegularExpression dash(QStringLiteral("\\s+-\\s+"));
    QString words = caption.trimmed();
    words.remove(ending);
    words.replace(inside, QStringLiteral(","));
    words.replace(dash, QStringLiteral(", "));
    return words;
}

void installReadableCaptions()
{
    QAccessible::installFactory(captionAccessible); // Qt keeps each factory once
}

} // namespace velmora
