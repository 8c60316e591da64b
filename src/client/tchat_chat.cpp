// The chat entry, phrase buttons and text options of the main window.

#include "chat/chatview.h"
#include "media/colourtext.h"
#include "chatarea.h"
#include "core/clientsession.h"
#include "core/gamecore.h"
#include "records/gamesettings.h"
#include "tchat.h"

#include <QAction>
#include <QActionGroup>
#include <QColorDialog>

namespace velmora {

QString Tchat::chatColourText() const
{
    return colourToText(m_core.preferences().textcolor);
}

void Tchat::onChatReceived(const ReceivedChat& chat)
{
    m_chatArea->view()->addPlayerLine(chat.sender, chat.name, chat.text, toQColor(chat.colour));
}

void Tchat::sendTypedLine()
{
    if (!m_session->isConnected())
        return;
    m_session->sendTypedLine(m_chatArea->takeTypedLine(), chatColourText());
}

void Tchat::sendPhrase(int button)
{
    m_session->sendPhrase(m_chatArea->phrase(button), chatColourText());
}

void Tchat::onTextSizeChosen(int size)
{
    applyTextSize(size);
    m_settings->setTextSize(size);
}

void Tchat::chooseTextColour()
{
    const QColor chosen = QColorDialog::getColor(toQColor(m_core.preferences().textcolor), this);
    if (!chosen.isValid())
        return;
    const quint32 colour = quint32(chosen.red()) | quint32(chosen.green()) << 8 | quint32(chosen.blue()) << 16;
    applyTextColour(colour);
    m_settings->setTextColour(colour);
}

} // namespace velmora
