#include "scoreboardhelp.h"

#include "art/artwork.h"

#include <QPainter>
#include <QToolButton>

namespace velmora {

namespace {

constexpr int kMargin = 14;
const char* const kLightMeaning[4] = {"Not hit yet", "Hit once", "Hit twice", "Closed: hit three times"};

} // namespace

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

void ScoreBoardHelp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 255, 0));
    painter.fillRect(rect().adjusted(3, 3, -3, -3), Qt::black);
    painter.setPen(QColor(0, 255, 0));

    QFont heading = font();
    heading.setPixelSize(15);
    heading.setBold(true);
    painter.setFont(heading);
    painter.drawText(QRect(kMargin, 30, width() - 2 * kMargin, 24), Qt::AlignCenter,
                     QStringLiteral("How To Read the Score Board"));

    QFont text = font();
    text.setPixelSize(12);
    painter.setFont(text);
    const qreal dpr = devicePixelRatioF();
    int y = 70;
    const auto paragraph = [&](const QString& words, int height) {
        painter.drawText(QRect(kMargin, y, width() - 2 * kMargin, height), Qt::TextWordWrap, words);
        y += height;
    };
    paragraph(QStringLiteral("Each seat has a board of seven targets: 15 to 20 and B, the bull."), 34);
    for (int column = 0; column < 7; ++column)
        painter.drawPixmap(kMargin + column * 19, y, art::scoreHeading(column, dpr));
    y += 30;
    paragraph(QStringLiteral("Under each target a light shows its marks:"), 24);
    for (int marks = 0; marks <= 3; ++marks) {
        painter.drawPixmap(kMargin, y, art::scoreLight(marks, dpr));
        painter.drawText(QRect(kMargin + 28, y, width() - 2 * kMargin - 28, 19), Qt::AlignVCenter,
                         QString::fromLatin1(kLightMeaning[marks]));
        y += 26;
    }
    y += 8;
    paragraph(QStringLiteral("Once you have closed a target, every further hit on it scores its value (25 for the "
                             "bull) as long as an opponent still has it open."),
              66);
    paragraph(QStringLiteral("Close all seven targets without being behind in points to win."), 40);
}

} // namespace velmora
