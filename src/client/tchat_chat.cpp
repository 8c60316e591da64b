// The chat entry, phrase buttons and text options of the main window.

#include "chat/chatview.h"
#include "chat/colourtext.h"
#include "chatarea.h"
#include "clientsession.h"
#include "tchat.h"

#include <QAction>
#include <QActionGroup>
#include <QColorDialog>

namespace velmora {

QString Tchat::chatColourText() const
{
    return colourToText(m_chatColour);
}

void Tchat::onChatReceived(const QString& line)
{
    // The sender's colour follows the first "|"; without one the line is white.
    const qsizetype bar = line.indexOf(u'|');
    if (bar < 0) {
        addlinetochat(line, 0xFFFFFF);
        return;
    }
    addlinetochat(line.left(bar), colourFromText(line.mid(bar + 1)).value_or(0xFFFFFF));
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
    m_chatArea->view()->setTextSize(size);
    for (QAction* item : m_textSizeGroup->actions())
        item->setChecked(item->data().toInt() == size);
}

void Tchat::chooseTextColour()
{
    const QColor chosen = QColorDialog::getColor(toQColor(m_chatColour), this);
    if (!chosen.isValid())
        return;
    m_chatColour = quint32(chosen.red()) | quint32(chosen.green()) << 8 | quint32(chosen.blue()) << 16;
    m_chatArea->setEntryColour(chosen);
}

} // namespace velmora
