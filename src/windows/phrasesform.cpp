#include "phrasesform.h"

#include "controls/tselbutton.h"

#include <QHideEvent>
#include <QLineEdit>

namespace velmora {

Tphrases::Tphrases(QWidget* parent)
    : SideWindow(parent)
{
    setObjectName(QStringLiteral("Tphrases"));
    setWindowTitle(QStringLiteral("Velmora - Phrase Buttons"));
    setFixedSize(320, 330);
    setBackgroundPicture(true);

    for (int i = 0; i < kPhraseCount; ++i) {
        const int y = 10 + i * 28;
        addLabel(QStringLiteral("Phrase Button %1:").arg(i + 1), {8, y, 112, 21}, 11, true);
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("phrase%1").arg(i + 1));
        box->setAccessibleName(QStringLiteral("Phrase Button %1").arg(i + 1));
        box->setMaxLength(kMaxLength);
        box->setGeometry(126, y, 186, 21);
        m_boxes[i] = box;
    }

    TSelButton* done = addDoneButton({232, 296, 75, 25}, QStringLiteral("SelButton8"));
    // Connected before the hide that addDoneButton set up: the phrases go out first.
    disconnect(done, &TSelButton::clicked, this, nullptr);
    connect(done, &TSelButton::clicked, this, [this] {
        m_given = phrases();
        emit phrasesAccepted(m_given);
        hide();
    });
}

void Tphrases::setPhrases(const QStringList& phrases)
{
    m_given = phrases;
    for (int i = 0; i < kPhraseCount; ++i)
        m_boxes[i]->setText(phrases.value(i)); // also clears the box's modified flag
}

QStringList Tphrases::phrases() const
{
    QStringList result;
    for (int i = 0; i < kPhraseCount; ++i)
        result.append(m_boxes[i]->isModified() ? m_boxes[i]->text() : m_given.value(i));
    return result;
}

void Tphrases::hideEvent(QHideEvent* event)
{
    // Closed without "Done": the boxes go back to the phrases in use. (A
    // minimised window is hidden by the desktop and keeps its edits.)
    if (!event->spontaneous())
        setPhrases(m_given);
    SideWindow::hideEvent(event);
}

} // namespace velmora
