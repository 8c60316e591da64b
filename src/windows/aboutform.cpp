#include "aboutform.h"

#include "art/artwork.h"

#include <QEvent>
#include <QLabel>

namespace velmora {

Tabout::Tabout(QWidget* parent)
    : SideWindow(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("Tabout"));
    setWindowTitle(QStringLiteral("Velmora"));
    setFixedSize(327, 217);

    // A click on the picture hides the window, like "Done".
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setGeometry(16, 16, 96, 96);
    m_picture->setPixmap(art::aboutPicture(devicePixelRatioF()));
    m_picture->installEventFilter(this);
    m_picture->setAccessibleName(QStringLiteral("Velmora picture"));

    addLabel(QStringLiteral("Velmora"), {128, 16, 180, 26}, 20, true);
    addLabel(QStringLiteral("A dice game for one to four players, scored like darts."), {128, 44, 185, 34}, 11)
        ->setWordWrap(true);

    // The version reads 2.0.17.8: the login version and the build number beside it.
    QLabel* word = addLabel(QStringLiteral("Version"), {128, 86, 60, 18});
    word->adjustSize();
    m_version = addLabel(QStringLiteral("2.0.17"), {word->geometry().right() + 5, 86, 60, 18});
    m_version->setObjectName(QStringLiteral("version"));
    m_version->adjustSize();
    QLabel* build = addLabel(QStringLiteral(".8"), {m_version->geometry().right() + 1, 86, 20, 18});
    build->setObjectName(QStringLiteral("label_build"));
    build->adjustSize();

    // Who made it, under which terms, and whose voices call the darts.
    addLabel(QStringLiteral("Copyright (c) 2026 The Velmora developers"), {16, 122, 295, 16}, 11);
    addLabel(QStringLiteral("Free software under the MIT licence."), {16, 140, 295, 16}, 11);
    addLabel(QStringLiteral("Voices made with espeak-ng and sox."), {16, 158, 295, 16}, 11);

    addDoneButton({235, 178, 75, 25});
}

QString Tabout::version() const
{
    return m_version->text();
}

bool Tabout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_picture && event->type() == QEvent::MouseButtonRelease) {
        hide();
        return true;
    }
    return SideWindow::eventFilter(watched, event);
}

} // namespace velmora
