#pragma once

#include "anchorlayout.h"
#include "host/botspeed.h"
#include "host/rules.h"
#include "protocol/framer.h"
#include "protocol/messagepump.h"
#include "protocol/tsock.h"

#include <QMainWindow>
#include <QRandomGenerator>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;

namespace velmora {

class ChatView;
class DartboardPanel;
class DicePanel;
class NamedMutex;
class ScoreBoardHelp;
class ScoreGrid;
class TServer;
class Tabout;
class Tdownload;
class Tgamestart;
class Thelp;
class Tphrases;
class Tspylist;
class Ttallylist;

// The main window: the board with its four seats, the dice panel and the
// dartboard, the chat, and the menus. It is the game's client: every action
// of the player becomes a message to the host, and the board changes only
// when the host's answer comes back.
class Tchat : public QMainWindow, public BotSpeedSource {
    Q_OBJECT
public:
    // The board's design size and the window's default bounds.
    static constexpr QSize kBoardSize{728, 514};
    static constexpr QSize kClientSize{732, 517};
    static constexpr QSize kDefaultBounds{740, 563};
    static constexpr int kTickMs = 1;
    static constexpr quint32 kLime = 0x00FF00;

    // The windows created after the main window, in start-up order.
    struct SideWindows {
        Tabout* about = nullptr;
        Thelp* help = nullptr;
        TServer* server = nullptr;
        Ttallylist* tally = nullptr;
        Tspylist* spies = nullptr;
        Tphrases* phrases = nullptr;
        Tdownload* download = nullptr;
        Tgamestart* gamestart = nullptr;
    };

    explicit Tchat(QWidget* parent = nullptr);
    ~Tchat() override;

    void attach(const SideWindows& windows);

    // The command line (without the program's name), read when the window is
    // first shown.
    void setParameters(const QStringList& parameters) { m_parameters = parameters; }
    // The game port; tests host on a free port instead of 7772.
    void setGamePort(quint16 port) { m_gamePort = port; }
    // Where message boxes go (a real box by default).
    void setMessageReporter(std::function<void(const QString&)> reporter) { m_report = std::move(reporter); }

    int botDelayMs() const override;
    void setBotDelayMs(int ms);

    // Client state.
    int myseat() const { return m_myseat; }
    bool isconnected() const { return m_isconnected; }
    bool ishost() const { return m_ishost; }
    int whoseturn() const { return m_whoseturn; }
    const rules::Marks& marks(int seat) const { return m_scoreboard[seat - 1]; }
    QString seatName(int seat) const;

    // Everything the game reports to the player goes through here.
    void addlinetochat(const QString& line, quint32 colour);
    // Plays a game sound by name, as the sound options allow.
    void playsounds(const QString& name);
    // Asks the host to remove a participant (host only).
    void kicking(int number);
    // Rebuilds the tally list's players of the current game.
    void loadchecklist();

signals:
    // A game sound the options let through ("dice1", "turn", "wav17" ...).
    void soundPlayed(const QString& name);
    // The window has closed; the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the window (tchat_layout.cpp).
    void buildBoard();
    void buildSeats(QWidget* board);
    void buildChatArea(QWidget* board);
    void buildMenus();
    QAction* addAction(QMenu* menu, const QString& name, const QString& caption, void (Tchat::*slot)());
    void showSideWindow(QWidget* window);
    void QuickInstructions1Click();

    // Start-up and connection (tchat_connection.cpp).
    void processparams();
    void hostpress();
    void joinpress();
    void image_logoClick();
    void HowtoreadScoreBoards1Click();
    void sendloginfo(const QString& rest);
    void sockRead();
    void sockInfo(SocketInfo kind, const QString& message);
    void closeWhenDrained();
    void processsocktimer(const InboundMessage& message);
    void dispatch(const QString& command, const QString& rest);
    void send(const QByteArray& message);
    void StartGame1Click();
    void Exit1Click();
    void ResetScreenLocation1Click();
    void reportLocal(const QString& text);

    // Seats and roster (tchat_roster.cpp).
    void newplayerinfo(const QString& rest);
    void playerdisconnected(const QString& rest);
    void justwatching(const QString& rest);
    void JustWatch1Click();
    void seatContextMenu(int seat, const QPoint& globalPos);
    void RemoveFromGame1Click();
    void SettoJustWatch1Click();
    void UnsetJustWatch1Click();

    // Turn play (tchat_turn.cpp).
    void clearall();
    void cleardarts();
    void startthegame(const QString& rest);
    void getnextplayer(const QString& rest);
    void loaddice(const QString& rest);
    void placedice(const QString& rest);
    void button_throwdartsClick();
    void requestAutoplace();
    void requestPlacement(int die, int dart, int slot);

    // Score boards and the end of a game (tchat_scores.cpp).
    void postscore(int seat, const QString& value);
    void loadboard(const QString& rest);
    void endturn(const QString& rest);
    void tendturn(const QString& rest);
    void winner(const QString& rest);
    void redrawScoreboard(int seat);

    // Chat (tchat_chat.cpp).
    void chatrecieved(const QString& rest);
    void sendit();
    void playasound(const QString& rest);
    void sendChatterSound(int number);
    void sendPhrase(int button);
    void pasteIntoChat();
    void insertSmiley(int code);
    void N14Click(int size);
    void ScrollChatOff1Click();
    QString typedText() const;

    // Client state.
    int m_myseat = 0;
    bool m_isconnected = false;
    bool m_ishost = false;
    int m_whoseturn = 0;
    QString m_myname;
    QString m_hostaddress;
    QString m_loginname;
    std::array<rules::Marks, 4> m_scoreboard{};
    int m_throws = 0; // the player's own turns this game
    bool m_teamGame = false;
    int m_turnSound = 0; // 0 classic, 1 new
    int m_botSpeed = 500;
    quint32 m_chatColour = kLime;
    bool m_phrasesReady = true;
    int m_phraseTicks = 0;
    int m_popupSeat = 0;
    bool m_shownOnce = false;
    bool m_hostGone = false; // the connection closed; the window follows once the queue is read
    bool m_closed = false;
    int m_dispatchDepth = 0; // a handler showing a message box lets the queue run meanwhile

    QStringList m_parameters;
    quint16 m_gamePort = 7772;
    std::function<void(const QString&)> m_report;
    QRandomGenerator m_random;
    std::unique_ptr<NamedMutex> m_mutex;

    TSock m_sock;
    TSock m_sock11;
    Framer m_framer;
    MessagePump m_timer1;
    SideWindows m_windows;

    // Controls.
    QWidget* m_boardPanel = nullptr;
    QWidget* m_chatPanel = nullptr;
    std::array<QLabel*, 4> m_playerName{};
    std::array<QLabel*, 4> m_eyes{};
    std::array<ScoreGrid*, 4> m_grid{};
    std::array<QLabel*, 4> m_score{};
    QLabel* m_labelRound = nullptr;
    QLabel* m_labelPoints = nullptr;
    QLabel* m_imageTurn = nullptr;
    QLabel* m_labelTurn = nullptr;
    QLabel* m_labelTeamgame = nullptr;
    DicePanel* m_dice = nullptr;
    DartboardPanel* m_dartboard = nullptr;
    ScoreBoardHelp* m_scoreHelp = nullptr;
    ChatView* m_mainchat = nullptr;
    QLineEdit* m_mychat = nullptr;
    std::array<QToolButton*, 10> m_phraseButtons{};
    QMenu* m_popupKick = nullptr;
    QMenu* m_popupSounds = nullptr;
    QMenu* m_popupSmilies = nullptr;

    // Menu items.
    QAction* m_startGame = nullptr;
    QAction* m_justWatch = nullptr;
    QActionGroup* m_botSpeedGroup = nullptr;
    QActionGroup* m_turnSoundGroup = nullptr;
    QActionGroup* m_textSizeGroup = nullptr;
    QAction* m_playSounds = nullptr;
    QAction* m_playVoiceSounds = nullptr;
    QAction* m_playChatterSounds = nullptr;
    QAction* m_scrollChatOff2 = nullptr;
    QAction* m_removeFromGame = nullptr;
    QAction* m_setToJustWatch = nullptr;
    QAction* m_unsetJustWatch = nullptr;
};

} // namespace velmora
