// The main menu and the host's menu on a seat name; the options' items show what settings::table() keeps.

#include "chat/chatview.h"
#include "chatarea.h"
#include "core/clientsession.h"
#include "core/gamecore.h"
#include "records/gamesettings.h"
#include "tchat.h"
#include "windows/helpform.h"
#include "windows/phrasesform.h"
#include "windows/spylistform.h"
#include "windows/tallylistform.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>

namespace velmora {

namespace {

// The Options menu's sound switches and the option each one shows and sets.
struct SwitchItem {
    settings::Id id;
    const char* name;
    const char* caption;
};
constexpr SwitchItem kSoundSwitches[] = {
    {settings::PlaySounds, "PlaySounds1", "Play Non-Voice Sounds"},
    {settings::PlayVoiceOvers, "PlayVoiceSounds1", "Play Voice Sounds"},
    {settings::ChatterSounds, "PlayChatterSounds1", "Play Chatter Sounds"},
};

} // namespace

QAction* Tchat::addMenuItem(QMenu* menu, const QString& name, const QString& caption, void (Tchat::*slot)())
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    if (slot)
        connect(item, &QAction::triggered, this, slot);
    return item;
}

QAction* Tchat::addCheckItem(QMenu* menu, const QString& name, const QString& caption, bool checked,
                             std::function<void(bool)> onToggled)
{
    QAction* item = addMenuItem(menu, name, caption);
    item->setCheckable(true);
    item->setChecked(checked);
    connect(item, &QAction::toggled, this, std::move(onToggled));
    return item;
}

void Tchat::buildFileMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    buildKeyItems(file);
    m_startGame =
        addMenuItem(file, QStringLiteral("StartGame1"), QStringLiteral("Start Game"), &Tchat::onStartGameChosen);
    m_startGame->setEnabled(false);
    m_startGame->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    file->addSeparator();
    QAction* exit = addMenuItem(file, QStringLiteral("Exit1"), QStringLiteral("Exit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

void Tchat::buildOptionsMenu()
{
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    m_justWatch = addMenuItem(options, QStringLiteral("JustWatch1"), QStringLiteral("Just Watch"));
    m_justWatch->setCheckable(true);
    // The check mark follows the host's answer, not the click.
    connect(m_justWatch, &QAction::triggered, this, [this] {
        m_justWatch->setChecked(m_session->watchingMyself());
        m_session->toggleJustWatch();
    });

    addChoiceMenu(options, QStringLiteral("BotSpeed1"), QStringLiteral("Bot Speed"), settings::BotSpeed);
    buildSoundMenus(options);
    options->addSeparator();
    buildChatMenus(options);
    options->addSeparator();
    addMenuItem(options, QStringLiteral("ResetScreenLocation1"), QStringLiteral("Reset Screen Location"),
                &Tchat::resetScreenLocation);
    showOptions(m_core.preferences()); // the options before the settings are read
}

void Tchat::addChoiceMenu(QMenu* options, const QString& name, const QString& title, settings::Id id)
{
    QMenu* menu = options->addMenu(title);
    menu->setObjectName(name);
    auto* group = new QActionGroup(this);
    for (const auto& [caption, value] : settings::entry(id).choices) {
        QAction* item =
            addMenuItem(menu, QString::fromLatin1(caption) + QStringLiteral("1"), QString::fromLatin1(caption));
        item->setCheckable(true);
        item->setData(value);
        group->addAction(item);
        m_optionItems.push_back({id, item});
        connect(item, &QAction::triggered, this, [this, id, value] { m_settings->setOption(id, value); });
    }
}

void Tchat::buildSoundMenus(QMenu* options)
{
    addChoiceMenu(options, QStringLiteral("TurnSound1"), QStringLiteral("Turn Sound"), settings::TurnSound);
    options->addSeparator();
    for (const auto& [id, name, caption] : kSoundSwitches) {
        QAction* item = addCheckItem(options, QString::fromLatin1(name), QString::fromLatin1(caption), false,
                                     [this, id](bool on) { m_settings->setOption(id, on); });
        m_optionItems.push_back({id, item});
    }
}

void Tchat::showOptions(const Preferences& prefs)
{
    for (const auto& [id, item] : m_optionItems) {
        const settings::Entry& entry = settings::entry(id);
        const qint64 value = entry.access.get(prefs);
        if (entry.kind == settings::Kind::Choice) {
            // A choice saves when triggered; its group must see the change to keep one item checked.
            item->setChecked(item->data().toLongLong() == value);
        } else {
            const QSignalBlocker blocker(item); // a switch saves when toggled
            item->setChecked(value != 0);
        }
    }
}

void Tchat::buildChatMenus(QMenu* options)
{
    ChatView* view = m_chatArea->view();
    QMenu* textSize = options->addMenu(QStringLiteral("Text Size"));
    textSize->setObjectName(QStringLiteral("TextSize1"));
    m_textSizeGroup = new QActionGroup(this);
    for (int size : Preferences::kTextSizes) {
        QAction* item = addMenuItem(textSize, QStringLiteral("N%1").arg(size), QString::number(size));
        item->setCheckable(true);
        item->setData(size);
        m_textSizeGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, size] { onTextSizeChosen(size); });
    }
    applyTextSize(m_core.preferences().textsize); // the size before the settings are read
    addMenuItem(options, QStringLiteral("TextColor1"), QStringLiteral("Text Color"), &Tchat::chooseTextColour);

    QAction* scrollOff = addMenuItem(options, QStringLiteral("ScrollChatOff2"), QStringLiteral("Scroll Chat Off"));
    scrollOff->setCheckable(true);
    // Ctrl+S itself belongs to the chat's own "Scroll Chat Off", which works
    // from anywhere in the window; this item only shows the key and mirrors it.
    scrollOff->setText(scrollOff->text() + QStringLiteral("\tCtrl+S"));
    connect(scrollOff, &QAction::triggered, this, [scrollOff, view] {
        scrollOff->setChecked(!scrollOff->isChecked());
        view->scrollOffAction()->trigger();
    });
    connect(view->scrollOffAction(), &QAction::toggled, scrollOff, &QAction::setChecked);
}

void Tchat::buildViewAndHelpMenus()
{
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View1"));
    const auto windowItem = [this](QMenu* menu, const QString& name, const QString& caption,
                                   std::function<QWidget*()> window) {
        QAction* item = addMenuItem(menu, name, caption);
        connect(item, &QAction::triggered, this, [this, window] { showSideWindow(window()); });
    };
    windowItem(view, QStringLiteral("SpyList1"), QStringLiteral("Spy List"), [this] { return spiesWindow(); });
    windowItem(view, QStringLiteral("TallyList1"), QStringLiteral("Tally List"), [this] { return tallyWindow(); });
    addMenuItem(view, QStringLiteral("PhraseButtonList1"), QStringLiteral("Phrase Button List"),
                &Tchat::showPhraseEditor);
    view->addSeparator();
    QAction* switchFocus = addMenuItem(view, QStringLiteral("BoardOrChat1"), QStringLiteral("Board or Chat"),
                                       &Tchat::switchBoardAndChat);
    switchFocus->setShortcuts({QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6)});
    buildReaderItems(view);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    windowItem(help, QStringLiteral("Help2"), QStringLiteral("Contents"), [this] { return helpWindow(); });
    QAction* quick = addMenuItem(help, QStringLiteral("QuickInstructions1"), QStringLiteral("Quick Instructions"),
                                 &Tchat::showQuickInstructions);
    quick->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    QAction* howto = addMenuItem(help, QStringLiteral("HowtoreadScoreBoards1"),
                                 QStringLiteral("How to read Score Boards"), &Tchat::showScoreBoardHelp);
    // The menu shows Ctrl+S here too, but the key belongs to "Scroll Chat Off".
    howto->setText(howto->text() + QStringLiteral("\tCtrl+S"));
    help->addSeparator();
    addMenuItem(help, QStringLiteral("About1"), QStringLiteral("About"), &Tchat::showAbout);
}

void Tchat::buildSeatMenu()
{
    SeatMenu& m = m_seatMenu;
    m.menu = new QMenu(this);
    m.menu->setObjectName(QStringLiteral("popup_kick"));
    m.remove = addMenuItem(m.menu, QStringLiteral("RemoveFromGame1"), QStringLiteral("Remove From Game"));
    connect(m.remove, &QAction::triggered, this, [this] { m_session->kick(m_seatMenu.seat); });
    m.menu->addSeparator();
    m.setWatching = addMenuItem(m.menu, QStringLiteral("SettoJustWatch1"), QStringLiteral("Set to Just Watch"));
    connect(m.setWatching, &QAction::triggered, this, [this] { m_session->setSeatWatching(m_seatMenu.seat, true); });
    m.unsetWatching = addMenuItem(m.menu, QStringLiteral("UnsetJustWatch1"), QStringLiteral("Unset Just Watch"));
    connect(m.unsetWatching, &QAction::triggered, this, [this] { m_session->setSeatWatching(m_seatMenu.seat, false); });
}

} // namespace velmora
