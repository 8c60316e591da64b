#include "downloadform.h"

#include <QLabel>
#include <QPushButton>

namespace velmora {

Tdownload::Tdownload(QWidget* parent)
    : SideWindow(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Tdownload"));
    setWindowTitle(QStringLiteral("Download The Kivonet Lobby"));
    setFixedSize(724, 500);

    addLabel(QStringLiteral("Download The Kivonet Lobby Now to play this  and other exciting games online with other "
                            "players! "),
             {24, 24, 330, 60}, 14, true, Qt::AlignCenter)
        ->setWordWrap(true);
    addLabel(QStringLiteral("To proceed to the game without the ability to play against others click the button "
                            "below."),
             {380, 24, 320, 60}, 13, false, Qt::AlignCenter)
        ->setWordWrap(true);

    auto* solo = new QPushButton(QStringLiteral("Play Solo Game"), this);
    solo->setObjectName(QStringLiteral("Button1"));
    solo->setGeometry(460, 96, 160, 28);
    connect(solo, &QPushButton::clicked, this, &QWidget::close);
}

} // namespace velmora
