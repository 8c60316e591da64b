// Building the main window: the board, the seats and the chat area.

#include "anchorlayout.h"
#include "art/artwork.h"
#include "art/palette.h"
#include "chatarea.h"
#include "client/board/boardpanel.h"
#include "client/board/dicepanel.h"
#include "client/board/elidedlabel.h"
#include "controls/focusmark.h"
#include "client/board/picturelabel.h"
#include "client/board/scoregrid.h"
#include "core/clientsession.h"
#include "core/narrator.h"
#include "readervoice.h"
#include "core/gamecore.h"
#include "scoreboardhelp.h"
#include "tchat.h"

#include <QLabel>
#include <QPointer>

namespace velmora {

namespace {

struct SeatGeometry {
    int nameTop, eyesTop, gridTop, scoreTop;
};
constexpr std::array<SeatGeometry, game::kSeats> kSeatGeometry{
    {{20, 21, 38, 45}, {81, 82, 99, 107}, {142, 143, 160, 166}, {201, 204, 219, 224}}};

const QColor kLimeColour(0, 255, 0);

QLabel* limeLabel(QWidget* parent, const QString& name, const QString& text, bool bold = false)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, kLimeColour);
    label->setPalette(pal);
    if (bold) {
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
    }
    return label;
}

} // namespace

void Tchat::buildBoard()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("client"));
    central->setAutoFillBackground(true);
    QPalette black = central->palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, kLimeColour);
    central->setPalette(black);
    // The board is laid out to the pixel for a small sans-serif face.
    QFont boardFont = central->font();
    boardFont.setPixelSize(11);
    central->setFont(boardFont);
    // The board never shrinks below its design size.
    central->setMinimumSize(kBoardSize.width() + 2, kBoardSize.height() + 3);
    setCentralWidget(central);

    auto* board = new BoardPanel(central);
    board->setObjectName(QStringLiteral("panel_board"));
    board->setMouseTracking(true);
    board->installEventFilter(this);
    m_boardPanel = board;
    auto* outer = new AnchorLayout(central, kClientSize);
    outer->add(board, QRect(QPoint(2, 1), kBoardSize),
               AnchorLayout::Left | AnchorLayout::Top | AnchorLayout::Right | AnchorLayout::Bottom);

    // The board's own children follow the board when the window grows.
    auto* inner = new AnchorLayout(board, kBoardSize);
    buildSeats(board);
    buildSeatLabels(board);

    m_dice = new DicePanel(board);
    inner->add(m_dice, QRect(196, 4, 530, 241), AnchorLayout::Left | AnchorLayout::Top | AnchorLayout::Right);
    m_labelTurn = limeLabel(board, QStringLiteral("label_turn"), QStringLiteral("Welcome to Velmora!"), true);
    inner->add(m_labelTurn, QRect(203, 248, 330, 17));
    m_labelTeamgame = limeLabel(board, QStringLiteral("label_teamgame"), QStringLiteral("Good Luck!"));
    m_labelTeamgame->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    inner->add(m_labelTeamgame, QRect(537, 250, 186, 15), AnchorLayout::Top | AnchorLayout::Right);

    m_chatArea = new ChatArea(board);
    m_scoreHelp = new ScoreBoardHelp(board);
    inner->add(m_chatArea, QRect(2, 268, 724, 246),
               AnchorLayout::Left | AnchorLayout::Top | AnchorLayout::Right | AnchorLayout::Bottom);
}

void Tchat::buildSeats(QWidget* board)
{
    for (int seat = 1; seat <= game::kSeats; ++seat) {
        const SeatGeometry& g = kSeatGeometry[seat - 1];
        SeatWidgets& w = m_seats[seat - 1];
        w.name = limeLabel(board, QStringLiteral("label_playername%1").arg(seat), GameModel::waitingName());
        w.name->setGeometry(31, g.nameTop, 126, 16);
        elideLabelText(w.name);
        w.name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w.name, &QWidget::customContextMenuRequested, this, [this, seat](const QPoint& pos) {
            onSeatMenuRequested(seat, m_seats[seat - 1].name->mapToGlobal(pos));
        });
        // Tab reaches the seat, whose menu then opens from the keyboard (eventFilter).
        w.name->setFocusPolicy(Qt::TabFocus);
        w.name->installEventFilter(this);
        markFocus(w.name);
        // The hint names the computer partner who fills the seat in a team game.
        if (seat > game::kAlwaysInPlay)
            w.name->setToolTip(GameModel::computerName(seat));

        w.eyes = new PictureLabel(QStringLiteral("image_eyes%1").arg(seat), art::eyes, board);
        w.eyes->setGeometry(9, g.eyesTop, 22, 11);
        w.eyes->hide();

        w.grid = new ScoreGrid(seat, board);
        w.grid->setObjectName(QStringLiteral("stringgrid_player%1").arg(seat));
        w.grid->move(23, g.gridTop);
        connect(w.grid, &ScoreGrid::clicked, this, &Tchat::showScoreBoardHelp);

        w.points = limeLabel(board, QStringLiteral("label_score%1").arg(seat), QStringLiteral("0"));
        w.points->setGeometry(164, g.scoreTop, 30, 16);
        showSeatReading(seat);
    }
}

void Tchat::buildSeatLabels(QWidget* board)
{
    m_labelRound = limeLabel(board, QStringLiteral("label_round"), QStringLiteral("Throws: 0"));
    m_labelRound->setAccessibleName(QStringLiteral("Throws 0")); // said without the colon
    m_labelRound->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_labelRound->setGeometry(12, 4, 100, 14);
    m_labelPoints = limeLabel(board, QStringLiteral("label_points"), QStringLiteral("Points"), true);
    QFont underlined = m_labelPoints->font();
    underlined.setUnderline(true);
    m_labelPoints->setFont(underlined);
    // Clear of the board's edge, which lights up when the board has the keyboard.
    m_labelPoints->setGeometry(155, 20, 39, 15);
    m_imageTurn = new PictureLabel(QStringLiteral("image_turn"), art::turnMarker, board);
    m_imageTurn->setGeometry(1, 20, 22, 16);
}

void Tchat::connectSession()
{
    connect(&m_core, &GameCore::systemLine, this, &Tchat::addSystemLine);
    connect(&m_core, &GameCore::reportRequested, this, &Tchat::report);
    connect(&m_core, &GameCore::soloStarted, this, &Tchat::offerLobbyDownload);
    connect(&m_core, &GameCore::hostingStarted, this, &Tchat::onHostingStarted);

    ClientSession* s = m_session;
    connect(s, &ClientSession::systemLine, this, &Tchat::addSystemLine);
    connect(s, &ClientSession::chatReceived, this, &Tchat::onChatReceived);
    connect(s, &ClientSession::soundPlayed, this, &Tchat::playsounds);
    connect(s, &ClientSession::reportRequested, this, &Tchat::report);
    connect(s, &ClientSession::closeRequested, this, &Tchat::closeAfterReports);
    connect(s, &ClientSession::joined, this, &Tchat::onJoined);
    connect(s, &ClientSession::seatChanged, this, &Tchat::showSeat);
    connect(s, &ClientSession::watchingChanged, this, &Tchat::showWatching);
    connect(s, &ClientSession::marksChanged, this, &Tchat::showMarks);
    connect(s, &ClientSession::pointsChanged, this, &Tchat::showPoints);
    connect(s, &ClientSession::spectatorJoined, this, &Tchat::onSpectatorJoined);
    connect(s, &ClientSession::spectatorLeft, this, &Tchat::onSpectatorLeft);
    connect(s, &ClientSession::rosterChanged, this, &Tchat::rebuildTallyChecklist);
    connect(s, &ClientSession::gameStarted, this, &Tchat::onGameStarted);
    connect(s, &ClientSession::gameKindChanged, this, &Tchat::showGameKind);
    connect(s, &ClientSession::turnChanged, this, &Tchat::onTurnChanged);
    connect(s, &ClientSession::dartsCleared, this, &Tchat::clearDarts);
    connect(s, &ClientSession::diceThrown, this, &Tchat::onDiceThrown);
    connect(s, &ClientSession::diePlaced, this, &Tchat::onDiePlaced);
    connect(s, &ClientSession::dartCompleted, this, &Tchat::onDartCompleted);
    connect(s, &ClientSession::winnerAnnounced, this, &Tchat::onWinner);
    // The tally list is made when the tally first counts, and lists the game's players anew.
    connect(&m_core, &GameCore::tallyCounted, this, [this] {
        tallyWindow();
        rebuildTallyChecklist();
    });

    connect(m_dice, &DicePanel::throwClicked, this, &Tchat::onThrowClicked);
    connect(m_dice, &DicePanel::autoplaceClicked, s, &ClientSession::autoplace);
    connect(m_dice, &DicePanel::autoplaceRequested, s, &ClientSession::autoplace);
    connect(m_dice, &DicePanel::placeRequested, s, &ClientSession::placeDie);
    connect(m_dice, &DicePanel::startClicked, this, &Tchat::onStartGameChosen);

    connect(m_chatArea, &ChatArea::lineEntered, this, &Tchat::sendTypedLine);
    connect(m_chatArea, &ChatArea::phraseClicked, this, &Tchat::sendPhrase);
    connect(m_chatArea, &ChatArea::chatterSoundChosen, s, &ClientSession::sendChatterSound);
    connect(m_chatArea, &ChatArea::logoClicked, this, &Tchat::showAbout);
    connect(m_chatArea, &ChatArea::entryLeft, this, &Tchat::focusBoard);

    // What the narrator says, the screen reader's voice speaks.
    m_voice = new ReaderVoice(this);
    m_narrator = new Narrator(*m_session, this);
    connect(m_narrator, &Narrator::said, m_voice, &ReaderVoice::speak);
    connect(m_dice, &DicePanel::placedAsAsked, m_narrator, &Narrator::tellPlaced);
    m_dice->setTurnWords([narrator = QPointer<Narrator>(m_narrator)] { return narrator ? narrator->boardTurn() : QString(); });
}

} // namespace velmora
