// Building the main window: the board, the seats, the chat area and the menus.

#include "chat/chatview.h"
#include "chat/colourtext.h"
#include "art/artwork.h"
#include "client/board/dartboardpanel.h"
#include "client/board/dicepanel.h"
#include "client/board/scoregrid.h"
#include "scoreboardhelp.h"
#include "tchat.h"
#include "windows/aboutform.h"
#include "windows/downloadform.h"
#include "windows/helpform.h"
#include "windows/phrasesform.h"
#include "windows/spylistform.h"
#include "windows/tallylistform.h"

#include <QAction>
#include <QActionGroup>
#include <QColorDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QToolButton>

namespace velmora {

namespace {

struct SeatGeometry {
    int nameTop, eyesTop, gridTop, scoreTop;
};
constexpr std::array<SeatGeometry, 4> kSeatGeometry{
    {{20, 21, 38, 45}, {81, 82, 99, 107}, {142, 143, 160, 166}, {201, 204, 219, 224}}};

const char* const kBuiltInPhrases[10] = {"Way To Go!",          "Good One!", "Nice Try!", "Excellent!",
                                         "Brilliant!",          "Wow, WTG!", "Thanks!",   "Way To Go Teamie!",
                                         "Good Game Everyone!", "See ya!"};

const char* const kChatterSounds[21] = {
    "<Cancel>",       "Doh",          "Cough", "Hello",   "Thank You", "Where have you been?",
    "Snoring",        "Sneezing",     "Sorry", "Welcome", "Yeehaa",    "Yippee",
    "Oh No",          "Applause",     "Honk",  "Oooh",    "Razzberry", "Cheer",
    "Woman Laughing", "Man Laughing", "Crying"};

// The board: black, inside a thin green border.
class BoardPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.setPen(QColor(0, 128, 0));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

QLabel* limeLabel(QWidget* parent, const QString& name, const QString& text, bool bold = false)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 255, 0));
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
    black.setColor(QPalette::WindowText, QColor(0, 255, 0));
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

    m_dice = new DicePanel(board);
    inner->add(m_dice, QRect(196, 4, 530, 241), AnchorLayout::Left | AnchorLayout::Top | AnchorLayout::Right);
    connect(m_dice, &DicePanel::throwClicked, this, &Tchat::button_throwdartsClick);
    connect(m_dice, &DicePanel::autoplaceClicked, this, &Tchat::requestAutoplace);
    connect(m_dice, &DicePanel::autoplaceRequested, this, &Tchat::requestAutoplace);
    connect(m_dice, &DicePanel::placeRequested, this, &Tchat::requestPlacement);
    connect(m_dice, &DicePanel::startClicked, this, &Tchat::StartGame1Click);

    m_labelTurn = limeLabel(board, QStringLiteral("label_turn"), QStringLiteral("Welcome to Velmora!"), true);
    inner->add(m_labelTurn, QRect(203, 248, 330, 17));
    m_labelTeamgame = limeLabel(board, QStringLiteral("label_teamgame"), QStringLiteral("Good Luck!"));
    m_labelTeamgame->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    inner->add(m_labelTeamgame, QRect(537, 250, 186, 15), AnchorLayout::Top | AnchorLayout::Right);

    buildChatArea(board);
    m_scoreHelp = new ScoreBoardHelp(board);
    inner->add(m_chatPanel, QRect(2, 268, 724, 246),
               AnchorLayout::Left | AnchorLayout::Top | AnchorLayout::Right | AnchorLayout::Bottom);
}

void Tchat::buildSeats(QWidget* board)
{
    for (int seat = 1; seat <= 4; ++seat) {
        const SeatGeometry& g = kSeatGeometry[seat - 1];
        QLabel* name = limeLabel(board, QStringLiteral("label_playername%1").arg(seat), QStringLiteral("<Waiting>"));
        name->setGeometry(31, g.nameTop, 126, 16);
        name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(name, &QWidget::customContextMenuRequested, this,
                [this, name, seat](const QPoint& pos) { seatContextMenu(seat, name->mapToGlobal(pos)); });
        if (seat == 3)
            name->setToolTip(QStringLiteral("Dask"));
        if (seat == 4)
            name->setToolTip(QStringLiteral("Tumm"));
        m_playerName[seat - 1] = name;

        auto* eyes = new QLabel(board);
        eyes->setObjectName(QStringLiteral("image_eyes%1").arg(seat));
        eyes->setGeometry(9, g.eyesTop, 22, 11);
        eyes->setPixmap(art::eyes(devicePixelRatioF()));
        eyes->hide();
        m_eyes[seat - 1] = eyes;

        auto* grid = new ScoreGrid(seat, board);
        grid->setObjectName(QStringLiteral("stringgrid_player%1").arg(seat));
        grid->move(23, g.gridTop);
        connect(grid, &ScoreGrid::clicked, this, &Tchat::HowtoreadScoreBoards1Click);
        m_grid[seat - 1] = grid;

        QLabel* score = limeLabel(board, QStringLiteral("label_score%1").arg(seat), QStringLiteral("0"));
        score->setGeometry(164, g.scoreTop, 30, 16);
        m_score[seat - 1] = score;
    }
    m_labelRound = limeLabel(board, QStringLiteral("label_round"), QStringLiteral("Throws: 0"));
    m_labelRound->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_labelRound->setGeometry(12, 4, 100, 14);
    m_labelPoints = limeLabel(board, QStringLiteral("label_points"), QStringLiteral("Points"), true);
    QFont underlined = m_labelPoints->font();
    underlined.setUnderline(true);
    m_labelPoints->setFont(underlined);
    m_labelPoints->setGeometry(157, 20, 39, 15);
    m_imageTurn = new QLabel(board);
    m_imageTurn->setObjectName(QStringLiteral("image_turn"));
    m_imageTurn->setPixmap(art::turnMarker(devicePixelRatioF()));
    m_imageTurn->setGeometry(1, 20, 22, 16);
}

void Tchat::buildChatArea(QWidget* board)
{
    auto* panel = new QFrame(board);
    panel->setObjectName(QStringLiteral("FlatPanel1"));
    m_chatPanel = panel;
    auto* layout = new AnchorLayout(panel, QSize(724, 246));

    for (int i = 1; i <= 10; ++i) {
        auto* button = new QToolButton(panel);
        button->setObjectName(QStringLiteral("b_phrase%1").arg(i));
        button->setAutoRaise(true);
        button->setText(i == 10 ? QStringLiteral("\u266A") : QString::number(i));
        button->setToolTip(QString::fromLatin1(kBuiltInPhrases[i - 1]));
        button->setStyleSheet(QStringLiteral("QToolButton { color: #00ff00; border: 1px solid #006000; }"));
        layout->add(button, QRect(2, 2 + (i - 1) * 24, 27, 21));
        if (i < 10)
            connect(button, &QToolButton::clicked, this, [this, i] { sendPhrase(i); });
        m_phraseButtons[i - 1] = button;
    }

    m_popupSounds = new QMenu(this);
    m_popupSounds->setObjectName(QStringLiteral("popup_sounds"));
    for (int n = 0; n <= 20; ++n) {
        QAction* item = m_popupSounds->addAction(QString::fromLatin1(kChatterSounds[n]));
        item->setObjectName(n == 0 ? QStringLiteral("Cancel1") : QStringLiteral("wave%1").arg(n));
        item->setData(n);
        item->setToolTip(item->text());
        connect(item, &QAction::triggered, this, [this, n] { sendChatterSound(n); });
    }
    connect(m_phraseButtons[9], &QToolButton::clicked, this, [this] {
        QToolButton* b = m_phraseButtons[9];
        m_popupSounds->popup(b->mapToGlobal(QPoint(b->width(), b->height())));
    });

    m_mainchat = new ChatView(panel);
    m_mainchat->setSmileyProvider([this](int index) { return art::smiley(index, devicePixelRatioF()); });
    layout->add(m_mainchat, QRect(31, 2, 462, 218),
                AnchorLayout::Left | AnchorLayout::Top | AnchorLayout::Right | AnchorLayout::Bottom);

    m_mychat = new QLineEdit(QStringLiteral("<Enter Chat Here>"), panel);
    m_mychat->setObjectName(QStringLiteral("mychat"));
    m_mychat->setStyleSheet(
        QStringLiteral("QLineEdit { background: black; color: #00ff00; border: 1px solid #006000; }"));
    m_mychat->setContextMenuPolicy(Qt::CustomContextMenu);
    m_mychat->installEventFilter(this);
    layout->add(m_mychat, QRect(31, 222, 436, 21), AnchorLayout::Left | AnchorLayout::Right | AnchorLayout::Bottom);

    auto* smilies = new QToolButton(panel);
    smilies->setObjectName(QStringLiteral("button_smilies"));
    smilies->setToolTip(QStringLiteral("See ya!"));
    smilies->setIcon(QIcon(art::smiley(0, devicePixelRatioF())));
    smilies->setAutoRaise(true);
    layout->add(smilies, QRect(469, 222, 24, 21), AnchorLayout::Right | AnchorLayout::Bottom);
    m_popupSmilies = new QMenu(this);
    m_popupSmilies->setObjectName(QStringLiteral("popup_smilies"));
    for (int code = 10; code <= 26; ++code) {
        QAction* item = m_popupSmilies->addAction(QStringLiteral(":)#%1").arg(code));
        item->setObjectName(code == 10 ? QStringLiteral("menuitem1") : QStringLiteral("MenuItem%1").arg(code - 9));
        item->setData(code);
        connect(item, &QAction::triggered, this, [this, code] { insertSmiley(code); });
    }
    connect(smilies, &QToolButton::clicked, this, [this, smilies] {
        m_popupSmilies->popup(smilies->mapToGlobal(QPoint(smilies->width(), smilies->height())));
    });

    m_dartboard = new DartboardPanel(panel);
    layout->add(m_dartboard, QRect(495, 0, 229, 246), AnchorLayout::Top | AnchorLayout::Right);
    connect(m_dartboard, &DartboardPanel::logoClicked, this, &Tchat::image_logoClick);

    connect(m_mychat, &QLineEdit::returnPressed, this, &Tchat::sendit);
    connect(m_mychat, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QMenu menu;
        menu.setObjectName(QStringLiteral("PopupMenu2"));
        QAction* paste = menu.addAction(QStringLiteral("Paste"), this, &Tchat::pasteIntoChat);
        paste->setObjectName(QStringLiteral("Paste1"));
        paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
        menu.exec(m_mychat->mapToGlobal(pos));
    });
    connect(m_mainchat, &ChatView::cleared, m_mychat, qOverload<>(&QWidget::setFocus));
}

QAction* Tchat::addAction(QMenu* menu, const QString& name, const QString& caption, void (Tchat::*slot)())
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    if (slot)
        connect(item, &QAction::triggered, this, slot);
    return item;
}

void Tchat::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    m_startGame = addAction(file, QStringLiteral("StartGame1"), QStringLiteral("Start Game"), &Tchat::StartGame1Click);
    m_startGame->setEnabled(false);
    file->addSeparator();
    addAction(file, QStringLiteral("Exit1"), QStringLiteral("Exit"), &Tchat::Exit1Click);

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    m_justWatch = addAction(options, QStringLiteral("JustWatch1"), QStringLiteral("Just Watch"), nullptr);
    m_justWatch->setCheckable(true);
    // The check mark follows the host's answer, not the click.
    connect(m_justWatch, &QAction::triggered, this, [this] {
        m_justWatch->setChecked(!m_justWatch->isChecked());
        JustWatch1Click();
    });

    QMenu* botSpeed = options->addMenu(QStringLiteral("Bot Speed"));
    botSpeed->setObjectName(QStringLiteral("BotSpeed1"));
    m_botSpeedGroup = new QActionGroup(this);
    const std::pair<const char*, int> speeds[] = {{"Slow", 750}, {"Normal", 500}, {"Fast", 250}};
    for (const auto& [caption, ms] : speeds) {
        QAction* item = addAction(botSpeed, QString::fromLatin1(caption) + QStringLiteral("1"),
                                  QString::fromLatin1(caption), nullptr);
        item->setCheckable(true);
        item->setChecked(ms == 500);
        item->setData(ms);
        m_botSpeedGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, ms] { m_botSpeed = ms; });
    }

    QMenu* turnSound = options->addMenu(QStringLiteral("Turn Sound"));
    turnSound->setObjectName(QStringLiteral("TurnSound1"));
    m_turnSoundGroup = new QActionGroup(this);
    for (int tag = 0; tag <= 1; ++tag) {
        const QString caption = tag == 0 ? QStringLiteral("Classic") : QStringLiteral("New");
        QAction* item = addAction(turnSound, caption + QStringLiteral("1"), caption, nullptr);
        item->setCheckable(true);
        item->setChecked(tag == 0);
        item->setData(tag);
        m_turnSoundGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, tag] { m_turnSound = tag; });
    }

    options->addSeparator();
    m_playSounds = addAction(options, QStringLiteral("PlaySounds1"), QStringLiteral("Play Non-Voice Sounds"), nullptr);
    m_playVoiceSounds =
        addAction(options, QStringLiteral("PlayVoiceSounds1"), QStringLiteral("Play Voice Sounds"), nullptr);
    m_playChatterSounds =
        addAction(options, QStringLiteral("PlayChatterSounds1"), QStringLiteral("Play Chatter Sounds"), nullptr);
    for (QAction* sw : {m_playSounds, m_playVoiceSounds, m_playChatterSounds})
        sw->setCheckable(true);
    m_playSounds->setChecked(true);
    m_playVoiceSounds->setChecked(true);

    options->addSeparator();
    QMenu* textSize = options->addMenu(QStringLiteral("Text Size"));
    textSize->setObjectName(QStringLiteral("TextSize1"));
    m_textSizeGroup = new QActionGroup(this);
    for (int size : {8, 10, 12, 14}) {
        QAction* item = addAction(textSize, QStringLiteral("N%1").arg(size), QString::number(size), nullptr);
        item->setCheckable(true);
        item->setChecked(size == m_mainchat->textSize());
        item->setData(size);
        m_textSizeGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, size] { N14Click(size); });
    }
    QAction* textColor = addAction(options, QStringLiteral("TextColor1"), QStringLiteral("Text Color"), nullptr);
    connect(textColor, &QAction::triggered, this, [this] {
        const QColor chosen = QColorDialog::getColor(toQColor(m_chatColour), this);
        if (!chosen.isValid())
            return;
        m_chatColour = quint32(chosen.red()) | quint32(chosen.green()) << 8 | quint32(chosen.blue()) << 16;
        m_mychat->setStyleSheet(QStringLiteral("QLineEdit { background: black; color: %1; border: 1px solid #006000; }")
                                    .arg(chosen.name()));
    });
    m_scrollChatOff2 = addAction(options, QStringLiteral("ScrollChatOff2"), QStringLiteral("Scroll Chat Off"), nullptr);
    m_scrollChatOff2->setCheckable(true);
    // Ctrl+S itself belongs to the chat's own "Scroll Chat Off", which works
    // from anywhere in the window; this item only shows the key.
    m_scrollChatOff2->setText(m_scrollChatOff2->text() + QStringLiteral("\tCtrl+S"));
    connect(m_scrollChatOff2, &QAction::triggered, this, [this] {
        m_scrollChatOff2->setChecked(!m_scrollChatOff2->isChecked());
        ScrollChatOff1Click();
    });
    connect(m_mainchat->scrollOffAction(), &QAction::toggled, m_scrollChatOff2, &QAction::setChecked);
    options->addSeparator();
    addAction(options, QStringLiteral("ResetScreenLocation1"), QStringLiteral("Reset Screen Location"),
              &Tchat::ResetScreenLocation1Click);

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View1"));
    QAction* spyList = addAction(view, QStringLiteral("SpyList1"), QStringLiteral("Spy List"), nullptr);
    connect(spyList, &QAction::triggered, this, [this] { showSideWindow(m_windows.spies); });
    QAction* tallyList = addAction(view, QStringLiteral("TallyList1"), QStringLiteral("Tally List"), nullptr);
    connect(tallyList, &QAction::triggered, this, [this] { showSideWindow(m_windows.tally); });
    QAction* phrases =
        addAction(view, QStringLiteral("PhraseButtonList1"), QStringLiteral("Phrase Button List"), nullptr);
    connect(phrases, &QAction::triggered, this, [this] { showSideWindow(m_windows.phrases); });

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction* contents = addAction(help, QStringLiteral("Help2"), QStringLiteral("Contents"), nullptr);
    connect(contents, &QAction::triggered, this, [this] { showSideWindow(m_windows.help); });
    QAction* quick = addAction(help, QStringLiteral("QuickInstructions1"), QStringLiteral("Quick Instructions"),
                               &Tchat::QuickInstructions1Click);
    quick->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    QAction* howto = addAction(help, QStringLiteral("HowtoreadScoreBoards1"),
                               QStringLiteral("How to read Score Boards"), &Tchat::HowtoreadScoreBoards1Click);
    // The menu shows Ctrl+S here too, but the key belongs to "Scroll Chat Off".
    howto->setText(howto->text() + QStringLiteral("\tCtrl+S"));
    help->addSeparator();
    QAction* about = addAction(help, QStringLiteral("About1"), QStringLiteral("About"), nullptr);
    connect(about, &QAction::triggered, this, [this] { showSideWindow(m_windows.about); });

    m_popupKick = new QMenu(this);
    m_popupKick->setObjectName(QStringLiteral("popup_kick"));
    m_removeFromGame = addAction(m_popupKick, QStringLiteral("RemoveFromGame1"), QStringLiteral("Remove From Game"),
                                 &Tchat::RemoveFromGame1Click);
    m_popupKick->addSeparator();
    m_setToJustWatch = addAction(m_popupKick, QStringLiteral("SettoJustWatch1"), QStringLiteral("Set to Just Watch"),
                                 &Tchat::SettoJustWatch1Click);
    m_unsetJustWatch = addAction(m_popupKick, QStringLiteral("UnsetJustWatch1"), QStringLiteral("Unset Just Watch"),
                                 &Tchat::UnsetJustWatch1Click);
}

} // namespace velmora
