#include "scoreboardhelp.h"

#include "art/artwork.h"
#include "art/palette.h"
#include "game/constants.h"

#include <QPainter>
#include <QToolButton>

namespace velmora {

namespace {

constexpr int kMargin = 14;
constexpr int kCell = 19;
constexpr int kGap = 6;
const char* const kLightMeaning[4] = {"Not hit yet", "Hit once", "Hit twice", "Closed: hit three times"};

QFont headingFont(QFont font)
{
    font.setPixelSize(15);
    font.setBold(true);
    return font;
}

QFont textFont(QFont font)
{
    font.setPixelSize(12);
    return font;
}

} // namespace

struct ScoreBoardHelp::Block {
    enum Kind { Heading, Paragraph, Headings, Light } kind;
    QRect rect;
    QString text;
    int marks = 0;
};

ScoreBoardHelp::ScoreBoardHelp(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("panel_scoreinstructions"));
    setGeometry(kGeometry);
    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("button_close"));
    close->setText(QStringLiteral("X"));
    close->setToolTip(QStringLiteral("Close"));
    close->setGeometry(width() - 26, 4, 22, 22);
    connect(close, &QToolButton::clicked, this, &QWidget::hide);
    hide();
}

QList<ScoreBoardHelp::Block> ScoreBoardHelp::layoutBlocks() const
{
    const int textWidth = width() - 2 * kMargin;
    const QFontMetrics heading(headingFont(font()));
    const QFontMetrics text(textFont(font()));
    QList<Block> blocks;
    int y = 30;
    // A block of wrapped text takes the height its lines need at the font in use.
    const auto add = [&](Block::Kind kind, const QFontMetrics& metrics, const QString& words, int gapAfter) {
        const QRect wanted(kMargin, y, textWidth, 10000);
        const int height = metrics.boundingRect(wanted, Qt::TextWordWrap | Qt::AlignHCenter, words).height();
        blocks.append({kind, QRect(kMargin, y, textWidth, height), words});
        y += height + gapAfter;
    };
    add(Block::Heading, heading, QStringLiteral("How To Read the Score Board"), 2 * kGap);
    add(Block::Paragraph, text, QStringLiteral("Each seat has a board of seven targets: 15 to 20 and B, the bull."),
        kGap);
    blocks.append({Block::Headings, QRect(kMargin, y, 7 * kCell, kCell), {}});
    y += kCell + 2 * kGap;
    add(Block::Paragraph, text, QStringLiteral("Under each target a light shows its marks:"), kGap);
    const int rowHeight = qMax(kCell, text.height());
    for (int marks = 0; marks <= 3; ++marks) {
        blocks.append(
            {Block::Light, QRect(kMargin, y, textWidth, rowHeight), QString::fromLatin1(kLightMeaning[marks]), marks});
        y += rowHeight + kGap;
    }
    y += kGap;
    add(Block::Paragraph, text,
        QStringLiteral("Once you have closed a target, every further hit on it scores its value (25 for the "
                       "bull) as long as an opponent still has it open."),
        2 * kGap);
    add(Block::Paragraph, text, QStringLiteral("Close all seven targets without being behind in points to win."), 0);
    return blocks;
}

QList<QRect> ScoreBoardHelp::blockRects() const
{
    QList<QRect> rects;
    for (const Block& block : layoutBlocks())
        rects.append(block.rect);
    return rects;
}

void ScoreBoardHelp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), art::palette::textLime);
    painter.fillRect(rect().adjusted(3, 3, -3, -3), Qt::black);
    painter.setPen(art::palette::textLime);
    const qreal dpr = devicePixelRatioF();
    for (const Block& block : layoutBlocks()) {
        switch (block.kind) {
        case Block::Heading:
            painter.setFont(headingFont(font()));
            painter.drawText(block.rect, Qt::TextWordWrap | Qt::AlignHCenter, block.text);
            break;
        case Block::Paragraph:
            painter.setFont(textFont(font()));
            painter.drawText(block.rect, Qt::TextWordWrap, block.text);
            break;
        case Block::Headings:
            for (int column = 0; column < game::kTargetCount; ++column)
                painter.drawPixmap(block.rect.left() + column * kCell, block.rect.top(),
                                   art::scoreHeading(column, dpr));
            break;
        case Block::Light: {
            const int cellTop = block.rect.top() + (block.rect.height() - kCell) / 2;
            painter.drawPixmap(block.rect.left(), cellTop, art::scoreLight(block.marks, dpr));
            painter.setFont(textFont(font()));
            painter.drawText(block.rect.adjusted(kCell + 9, 0, 0, 0), Qt::AlignVCenter, block.text);
            break;
        }
        }
    }
}

} // namespace velmora
