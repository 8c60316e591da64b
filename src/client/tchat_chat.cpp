// The chat entry, phrase buttons, smileys and chatter sounds of the main window.

#include "chat/chatview.h"
#include "chat/colourtext.h"
#include "hostmessages.h"
#include "protocol/message.h"
#include "tchat.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

namespace velmora {

namespace {
const QString kPlaceholder = QStringLiteral("<Enter Chat Here>");
} // namespace

QString Tchat::typedText() const
{
    return protocol::sanitizeField(m_mychat->text());
}

void Tchat::sendit()
{
    if (!m_isconnected)
        return;
    const QString text = typedText();
    m_mychat->clear();
    if (text.isEmpty())
        return;
    const QString colour = QStringLiteral("|") + colourToText(m_chatColour);
    if (!text.startsWith(u'/'))
        send(protocol::encode("CMD_chat", {QString::number(m_myseat), text + colour}));
    else if (text.startsWith(QLatin1String("/me")))
        send(protocol::encode("CMD_action", {QString::number(m_myseat), text.mid(4) + colour}));
}

void Tchat::chatrecieved(const QString& rest)
{
    const qsizetype bar = rest.indexOf(u'|');
    quint32 colour = 0xFFFFFF;
    QString line = rest;
    if (bar >= 0) {
        line = rest.left(bar);
        colour = colourFromText(rest.mid(bar + 1)).value_or(0xFFFFFF);
    }
    addlinetochat(line, colour);
}

void Tchat::sendPhrase(int button)
{
    QString phrase = m_phraseButtons[button - 1]->toolTip();
    if (!m_phrasesReady)
        return;
    phrase = phrase.startsWith(QLatin1String("/me")) ? phrase.mid(4) : QStringLiteral("says: ") + phrase;
    send(protocol::encode("CMD_action",
                          {QString::number(m_myseat), phrase + QStringLiteral("|") + colourToText(m_chatColour)}));
    m_phrasesReady = false;
    m_phraseTicks = 0;
    m_timer1.setKeepTicking(true);
}

void Tchat::sendChatterSound(int number)
{
    if (number == 0 || m_myseat > 4 || !m_isconnected)
        return;
    send(protocol::encode("CMD_playasound", {QString::number(m_myseat), QStringLiteral("wave%1").arg(number)},
                          protocol::Trailing::Yes));
}

void Tchat::playasound(const QString& rest)
{
    const hostmessages::ChatterSound sound = hostmessages::readChatterSound(rest);
    if (m_playChatterSounds->isChecked()) {
        emit soundPlayed(sound.sound);
        return;
    }
    if (sound.sender > 4)
        return;
    const QAction* item = m_popupSounds->findChild<QAction*>(sound.sound);
    if (!item)
        return;
    addlinetochat(
        QStringLiteral("0+") + seatName(sound.sender) + QStringLiteral(": <Chatter Sound> ") + item->toolTip(), kLime);
}

void Tchat::pasteIntoChat()
{
    const QString clip = QApplication::clipboard()->text();
    if (!clip.isEmpty())
        m_mychat->setText(m_mychat->text() + protocol::sanitizeField(clip));
    m_mychat->deselect();
    m_mychat->end(false);
}

void Tchat::insertSmiley(int code)
{
    if (m_mychat->text() == kPlaceholder)
        m_mychat->clear();
    m_mychat->setText(m_mychat->text() + QStringLiteral(":)#%1").arg(code));
    m_mychat->deselect();
    m_mychat->end(false);
}

void Tchat::N14Click(int size)
{
    m_mainchat->setTextSize(size);
    for (QAction* item : m_textSizeGroup->actions())
        item->setChecked(item->data().toInt() == size);
}

void Tchat::ScrollChatOff1Click()
{
    // The chat's own item holds the switch; this one mirrors it.
    m_mainchat->scrollOffAction()->trigger();
}

} // namespace velmora
