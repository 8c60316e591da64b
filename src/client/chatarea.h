#pragma once

#include <QFrame>
#include <QStringList>
#include <array>

class QLineEdit;
class QMenu;
class QToolButton;

namespace velmora {

class ChatEntry;
class ChatView;
class DartboardPanel;

// The chat area under the board: the phrase buttons, the chat display, the
// entry line with its smiley menu, and the dartboard at the right. It only
// collects what the player types and picks; the window sends it.
class ChatArea : public QFrame {
    Q_OBJECT
public:
    static constexpr int kPhraseButtons = 10; // nine phrases and the chatter-sound menu

    explicit ChatArea(QWidget* parent = nullptr);

    ChatView* view() const { return m_view; }
    QLineEdit* entry() const;
    DartboardPanel* dartboard() const { return m_dartboard; }

    // The phrase of button 1..9.
    QString phrase(int button) const;
    // The hints of buttons 1..10, as the phrase editor shows them; setPhrase changes one.
    QStringList phrases() const;
    void setPhrase(int button, const QString& phrase);
    // The typed line, made safe for the wire; the entry is emptied.
    QString takeTypedLine();
    void setEntryColour(const QColor& colour);
    void pasteIntoEntry();
    void insertSmiley(int code);

signals:
    void lineEntered();
    void phraseClicked(int button);
    void chatterSoundChosen(int sound);
    void logoClicked();
    // Escape in the entry: the player goes back to the board.
    void entryLeft();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPhraseButtons();
    void buildEntry();
    void buildSmileyMenu();
    void popUnder(QMenu* menu, QToolButton* button);
    void showEntryMenu(const QPoint& pos);

    ChatView* m_view = nullptr;
    ChatEntry* m_entry = nullptr;
    DartboardPanel* m_dartboard = nullptr;
    std::array<QToolButton*, kPhraseButtons> m_phraseButtons{};
    QMenu* m_chatterSounds = nullptr;
    QMenu* m_smilies = nullptr;
    QToolButton* m_smileyButton = nullptr;
};

} // namespace velmora
