#include "helpform.h"

#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>

namespace velmora {

namespace {

const char* const overviewText =
    "<p>Velmora is a multi-player dice game for up to four players, who race to close out the board with the "
    "highest score.</p>"
    "<p>Play against others through The Kivonet Lobby, or play a solo game against a computer player, even "
    "offline.</p>";

} // namespace

Thelp::Thelp(QWidget* parent)
    : SideWindow(parent)
{
    setObjectName(QStringLiteral("Thelp"));
    setWindowTitle(QStringLiteral("Velmora - Help"));
    setFixedSize(475, 504);

    auto* overview = new QPushButton(QStringLiteral("Overview"), this);
    overview->setObjectName(QStringLiteral("button_overview"));
    overview->setGeometry(8, 40, 100, 25);
    overview->setStyleSheet(QStringLiteral("QPushButton { color: #00ff00; background-color: black; border: 1px solid "
                                           "#008000; } QPushButton:hover { border-color: #00ff00; }"));
    addDoneButton({8, 470, 100, 25});

    m_caption = addLabel(QStringLiteral("Overview"), {116, 8, 351, 26}, 18, true, Qt::AlignCenter);
    m_caption->setObjectName(QStringLiteral("label_caption"));

    m_overview = new QTextBrowser(this);
    m_overview->setObjectName(QStringLiteral("memo1"));
    m_overview->setGeometry(116, 40, 351, 455);
    m_overview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_overview->setStyleSheet(QStringLiteral("QTextBrowser { color: white; background-color: black; border: 1px "
                                             "solid #008000; }"));
    m_overview->setHtml(QString::fromUtf8(overviewText));

    connect(overview, &QPushButton::clicked, this, [this] {
        m_caption->setText(QStringLiteral("Overview"));
        m_overview->show();
    });
}

QString Thelp::currentCaption() const
{
    return m_caption->text();
}

} // namespace velmora
