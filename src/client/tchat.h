#pragma once

#include "records/preferences.h"
#include "records/settingstable.h"
#include "game/constants.h"

#include <QMainWindow>
#include <QRandomGenerator>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;

namespace velmora {

class Narrator;
class ReaderVoice;
class ChatArea;
class ClientSession;
class DicePanel;
class GameCore;
class GameSettings;
class PictureLabel;
class ReportQueue;
struct ReceivedChat;
class ScoreBoardHelp;
class ScoreGrid;
class SoundPlayer;
class Tabout;
class Tdownload;
class Tgamestart;
class Thelp;
class Tphrases;
class Tspylist;
class Ttallylist;
class DartResult;
struct Spectator;

// The main window: the board with its four seats, the dice panel, the chat
// area and the menus. It is a view of the game core: it shows the client
// session's game and turns the player's clicks into the session's requests
// and the preferences' changes.
class Tchat : public QMainWindow {
    Q_OBJECT
public:
    // The board's design size and the window's inside at that size.
    static constexpr QSize kBoardSize{728, 514};
    static constexpr QSize kClientSize{732, 517};

    // The windows created after the main window.
    struct SideWindows {
        Tabout* about = nullptr;
        Thelp* help = nullptr;
        Ttallylist* tally = nullptr;
        Tspylist* spies = nullptr;
        Tphrases* phrases = nullptr;
        Tdownload* download = nullptr;
        Tgamestart* gamestart = nullptr;
    };

    explicit Tchat(GameCore& core, QWidget* parent = nullptr);
    ~Tchat() override;

    // Makers of the windows made when first needed, when attach() gave none:
    // help, about, the phrase editor and the spy list when first opened, the
    // game start dialog when a game is first started, the tally list when
    // first opened or when it first counts something. Until then they cost
    // neither the first window nor memory.
    struct LateWindows {
        std::function<Tabout*()> about;
        std::function<Thelp*()> help;
        std::function<Ttallylist*()> tally;
        std::function<Tspylist*()> spies;
        std::function<Tphrases*()> phrases;
        std::function<Tgamestart*()> gamestart;
    };

    // Takes the windows given (windows already taken stay as they are) and
    // brings each new one up to date with the game.
    void attach(const SideWindows& windows);
    // Makes and attaches windows once this window is on the screen, just
    // before the game starts: they cost the first window nothing.
    void attachWhenShown(std::function<SideWindows()> makeWindows);
    void setLateWindows(LateWindows makers);

    // Where message boxes go (a real box by default).
    void setMessageReporter(std::function<void(const QString&)> reporter);

    const ClientSession& session() const { return *m_session; }
    QString seatName(int seat) const;

    // Rebuilds the tally list's players of the current game.
    void rebuildTallyChecklist();
    // Plays a sound the session let through.
    void playsounds(const QString& name);

signals:
    // A sound that was played ("dice1", "turn", "wav17", "wave3" ...).
    void soundPlayed(const QString& name);
    // The window has closed; the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the window (tchat_layout.cpp, tchat_menus.cpp).
    void buildBoard();
    void buildSeats(QWidget* board);
    void buildSeatLabels(QWidget* board);
    void buildFileMenu();
    void buildOptionsMenu();
    void buildSoundMenus(QMenu* options);
    void addChoiceMenu(QMenu* options, const QString& name, const QString& title, settings::Id id);
    // Checks the options' items as the preferences say, saving nothing.
    void showOptions(const Preferences& prefs);
    void buildChatMenus(QMenu* options);
    void buildViewAndHelpMenus();
    void buildSeatMenu();
    QAction* addMenuItem(QMenu* menu, const QString& name, const QString& caption, void (Tchat::*slot)() = nullptr);
    QAction* addCheckItem(QMenu* menu, const QString& name, const QString& caption, bool checked,
                          std::function<void(bool)> onToggled);
    void connectSession();

    // Start-up, connection and reports (tchat_connection.cpp).
    void startOnce();
    void startFromCommandLine();
    void onHostingStarted();
    void offerLobbyDownload();
    void showSideWindow(QWidget* window);
    // The side windows, each made on first need (tchat_connection.cpp).
    Tabout* aboutWindow();
    Thelp* helpWindow();
    Ttallylist* tallyWindow();
    Tspylist* spiesWindow();
    Tphrases* phrasesWindow();
    Tgamestart* gamestartWindow();
    template <typename Window> Window* madeOnce(Window* SideWindows::*slot, const std::function<Window*()>& make);
    void showAbout();
    void showScoreBoardHelp();
    void showQuickInstructions();
    void onStartGameChosen();
    void resetScreenLocation();
    void report(const QString& text);
    void closeAfterReports();
    void addSystemLine(const QString& text);

    // The settings file and the window's place (tchat_settings.cpp).
    void buildSettings();
    void applySettings();
    void applyTextSize(int size);
    void applyTextColour(quint32 colour);
    void placeAt(const QRect& frameBounds);
    void showPhraseEditor();
    void acceptPhrases(const QStringList& phrases);
    void configureDownload();

    // Seats and roster (tchat_roster.cpp).
    void showSeat(int seat);
    void showSeatReading(int seat);
    void showWatching(int seat);
    void showMarks(int seat);
    void showPoints(int seat);
    void onSpectatorJoined(const Spectator& spectator);
    void onSpectatorLeft(const Spectator& spectator);
    void onSeatMenuRequested(int seat, const QPoint& globalPos);
    bool openSeatMenuFromKeyboard(QObject* watched, QEvent* event);
    void onJoined();

    // The keyboard (tchat_keys.cpp): the board's turn from the menus and the
    // key that moves the focus between the board and the chat entry.
    void buildKeyItems(QMenu* file);
    void buildReaderItems(QMenu* view);
    void showKeyItems();
    void focusBoard();
    void switchBoardAndChat();

    // Turn play and the end of a game (tchat_turn.cpp).
    void onGameStarted();
    void showGameKind();
    void onTurnChanged(int seat);
    void onThrowClicked();
    void clearDarts();
    void onDiceThrown();
    void onDiePlaced(int seat, int die, int dart, int place);
    void onDartCompleted(int seat, int dart, const DartResult& result);
    void onWinner(const QString& names);

    // Chat (tchat_chat.cpp).
    void onChatReceived(const ReceivedChat& chat);
    void sendTypedLine();
    void sendPhrase(int button);
    void onTextSizeChosen(int size);
    void chooseTextColour();
    QString chatColourText() const;

    // Seat widgets, by seat 1..4.
    struct SeatWidgets {
        QLabel* name = nullptr;
        PictureLabel* eyes = nullptr;
        ScoreGrid* grid = nullptr;
        QLabel* points = nullptr;
    };
    // The host's menu on a seat name and the seat it was opened on.
    struct SeatMenu {
        QMenu* menu = nullptr;
        QAction* remove = nullptr;
        QAction* setWatching = nullptr;
        QAction* unsetWatching = nullptr;
        int seat = 0;
    };

    GameCore& m_core;
    ClientSession* const m_session;
    GameSettings* const m_settings;
    SoundPlayer* m_soundPlayer = nullptr;
    SideWindows m_windows;
    std::function<SideWindows()> m_makeSideWindows;
    LateWindows m_late;
    std::unique_ptr<ReportQueue> m_reports; // boxes, shown one at a time, never inside a message
    bool m_closeAfterReports = false;
    QRandomGenerator m_random;
    bool m_shownOnce = false;
    bool m_hosting = false;        // our own host runs: the spy list may remove spectators
    bool m_settingsLoaded = false; // the game start dialog shows the stored points choice
    bool m_started = false;
    bool m_closed = false;

    // Controls.
    QWidget* m_boardPanel = nullptr;
    std::array<SeatWidgets, game::kSeats> m_seats{};
    QLabel* m_labelRound = nullptr;
    QLabel* m_labelPoints = nullptr;
    PictureLabel* m_imageTurn = nullptr;
    QLabel* m_labelTurn = nullptr;
    QLabel* m_labelTeamgame = nullptr;
    DicePanel* m_dice = nullptr;
    ScoreBoardHelp* m_scoreHelp = nullptr;
    ChatArea* m_chatArea = nullptr;
    SeatMenu m_seatMenu;
    ReaderVoice* m_voice = nullptr; // speaks what the narrator says
    Narrator* m_narrator = nullptr;

    // Menu items that follow the game.
    QAction* m_startGame = nullptr;
    QAction* m_throwItem = nullptr;
    QAction* m_autoplaceItem = nullptr;
    QAction* m_justWatch = nullptr;
    // The Options menu's items that show a stored option: a switch, or one value of a choice.
    std::vector<std::pair<settings::Id, QAction*>> m_optionItems;
    QActionGroup* m_textSizeGroup = nullptr;
};

} // namespace velmora
