#include "readablecaption.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace velmora {

namespace {

// A widget's reading with its name said as a caption. A label without an
// accessible name of its own is named by its text (plain, without the "&" of
// a mnemonic).
class CaptionAccessible : public QAccessibleWidget {
public:
    CaptionAccessible(QWidget* widget, QAccessible::Role role)
        : QAccessibleWidget(widget, role)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const auto* label = qobject_cast<const QLabel*>(widget());
        if (!label || !label->accessibleName().isEmpty())
            return readableCaption(QAccessibleWidget::text(t));
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
        return new CaptionAccessible(static_cast<QLabel*>(object), QAccessible::StaticText);
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

QAccessibleInterface* captionedAccessible(QWidget* widget, QAccessible::Role role)
{
    return new CaptionAccessible(widget, role);
}

void installReadableCaptions()
{
    QAccessible::installFactory(captionAccessible); // Qt keeps each factory once
}

} // namespace velmora
