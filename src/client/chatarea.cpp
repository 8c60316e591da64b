#include "chatarea.h"

#include "anchorlayout.h"
#include "art/artwork.h"
#include "art/paintedicon.h"
#include "art/palette.h"
#include "board/dartboardpanel.h"
#include "controls/focusmark.h"
#include "chat/chatview.h"
#include "media/soundnames.h"
#include "chatcontrols.h"
#include "game/constants.h"
#include "protocol/message.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QToolButton>

namespace velmora {

namespace {

const QString kPlaceholder = QStringLiteral("<Enter Chat Here>");
constexpr QSize kDesignSize{724, 246};
constexpr int kFirstSmiley = 10;
constexpr int kLastSmiley = 26;

const char* const kBuiltInPhrases[ChatArea::kPhraseButtons] = {
    "Way To Go!", "Good One!", "Nice Try!",         "Excellent!",          "Brilliant!",
    "Wow, WTG!",  "Thanks!",   "Way To Go Teamie!", "Good Game Everyone!", "See ya!"};

// The smiley button's face, drawn at the pixel ratio of whatever it is painted on.
class SmileyIcon : public art::PaintedIcon {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        painter->drawPixmap(rect, art::smiley(0, painter->device()->devicePixelRatioF()));
    }
    QIconEngine* clone() const override { return new SmileyIcon; }
};

} // namespace

ChatArea::ChatArea(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("FlatPanel1"));
    auto* layout = new AnchorLayout(this, kDesignSize);
    buildPhraseButtons();

    m_view = new ChatView(this);
    m_view->setAccessibleName(QStringLiteral("Chat"));
    m_view->setSmileyProvider([this](int index) { return art::smiley(index, devicePixelRatioF()); });
    layout->add(m_view, QRect(31, 2, 462, 218),
                AnchorLayout::Left | AnchorLayout::Top | AnchorLayout::Right | AnchorLayout::Bottom);
    for (int i = 0; i < kPhraseButtons; ++i)
        layout->add(m_phraseButtons[i], QRect(2, 2 + i * 24, 27, 21));

    buildEntry();
    layout->add(m_entry, QRect(31, 222, 436, 21), AnchorLayout::Left | AnchorLayout::Right | AnchorLayout::Bottom);
    buildSmileyMenu();
    auto* smilies = findChild<QToolButton*>(QStringLiteral("button_smilies"));
    layout->add(smilies, QRect(469, 222, 24, 21), AnchorLayout::Right | AnchorLayout::Bottom);

    m_dartboard = new DartboardPanel(this);
    layout->add(m_dartboard, QRect(495, 0, 229, 246), AnchorLayout::Top | AnchorLayout::Right);
    connect(m_dartboard, &DartboardPanel::logoClicked, this, &ChatArea::logoClicked);
    connect(m_view, &ChatView::cleared, m_entry, qOverload<>(&QWidget::setFocus));
}

void ChatArea::buildPhraseButtons()
{
    for (int i = 1; i <= kPhraseButtons; ++i) {
        auto* button = new PhraseButton(this);
        button->setObjectName(QStringLiteral("b_phrase%1").arg(i));
        button->setText(i == kPhraseButtons ? QStringLiteral("\u266A") : QString::number(i));
        m_phraseButtons[i - 1] = button;
        setPhrase(i, QString::fromLatin1(kBuiltInPhrases[i - 1]));
        if (i < kPhraseButtons)
            connect(button, &QToolButton::clicked, this, [this, i] { emit phraseClicked(i); });
        markFocus(button);
        button->installEventFilter(this);
    }

    m_chatterSounds = new QMenu(this);
    m_chatterSounds->setObjectName(QStringLiteral("popup_sounds"));
    for (int n = 0; n <= game::kChatterSounds; ++n) {
        QAction* item = m_chatterSounds->addAction(sounds::chatterCaption(n));
        item->setObjectName(n == 0 ? QStringLiteral("Cancel1") : QStringLiteral("wave%1").arg(n));
        item->setData(n);
        item->setToolTip(item->text());
        connect(item, &QAction::triggered, this, [this, n] { emit chatterSoundChosen(n); });
    }
    QToolButton* soundsButton = m_phraseButtons[kPhraseButtons - 1];
    connect(soundsButton, &QToolButton::clicked, this,
            [this, soundsButton] { popUnder(m_chatterSounds, soundsButton); });
}

QLineEdit* ChatArea::entry() const
{
    return m_entry;
}

void ChatArea::buildEntry()
{
    m_entry = new ChatEntry(kPlaceholder, this);
    m_entry->setObjectName(QStringLiteral("mychat"));
    m_entry->setAccessibleName(QStringLiteral("Chat entry"));
    // Its own small sans face, not the board's.
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(13);
    m_entry->setFont(font);
    setEntryColour(art::palette::textLime);
    m_entry->setContextMenuPolicy(Qt::CustomContextMenu);
    m_entry->installEventFilter(this);
    connect(m_entry, &QLineEdit::returnPressed, this, &ChatArea::lineEntered);
    connect(m_entry, &QWidget::customContextMenuRequested, this, &ChatArea::showEntryMenu);
}

void ChatArea::buildSmileyMenu()
{
    auto* smilies = new QToolButton(this);
    smilies->setObjectName(QStringLiteral("button_smilies"));
    smilies->setToolTip(QStringLiteral("See ya!"));
    smilies->setIcon(QIcon(new SmileyIcon));
    smilies->setAccessibleName(QStringLiteral("Smilies"));
    // Readers take a tool tip for the description; this one says nothing of the button.
    smilies->setAccessibleDescription(QStringLiteral("Opens the smileys to put in your line"));
    smilies->setAutoRaise(true);
    markFocus(smilies);
    smilies->installEventFilter(this);
    m_smileyButton = smilies;
    m_smilies = new QMenu(this);
    m_smilies->setObjectName(QStringLiteral("popup_smilies"));
    for (int code = kFirstSmiley; code <= kLastSmiley; ++code) {
        QAction* item = m_smilies->addAction(QStringLiteral(":)#%1").arg(code));
        item->setObjectName(code == kFirstSmiley ? QStringLiteral("menuitem1")
                                                 : QStringLiteral("MenuItem%1").arg(code - kFirstSmiley + 1));
        item->setData(code);
        connect(item, &QAction::triggered, this, [this, code] { insertSmiley(code); });
    }
    connect(smilies, &QToolButton::clicked, this, [this, smilies] { popUnder(m_smilies, smilies); });
}

void ChatArea::popUnder(QMenu* menu, QToolButton* button)
{
    menu->popup(button->mapToGlobal(QPoint(button->width(), button->height())));
}

void ChatArea::showEntryMenu(const QPoint& pos)
{
    QMenu menu;
    menu.setObjectName(QStringLiteral("PopupMenu2"));
    QAction* paste = menu.addAction(QStringLiteral("Paste"), this, &ChatArea::pasteIntoEntry);
    paste->setObjectName(QStringLiteral("Paste1"));
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    menu.exec(m_entry->mapToGlobal(pos));
}

QString ChatArea::phrase(int button) const
{
    if (button < 1 || button >= kPhraseButtons)
        return {};
    return m_phraseButtons[button - 1]->toolTip();
}

QStringList ChatArea::phrases() const
{
    QStringList out;
    for (const QToolButton* button : m_phraseButtons)
        out << button->toolTip();
    return out;
}

void ChatArea::setPhrase(int button, const QString& phrase)
{
    if (button < 1 || button > kPhraseButtons)
        return;
    QToolButton* phraseButton = m_phraseButtons[button - 1];
    phraseButton->setToolTip(phrase);
    // Said aloud, a button is its phrase; the last one opens the chatter
    // sounds, and its phrase is only a tool tip. A reader takes a tool tip for
    // the description, so each says what the button does instead.
    const bool sounds = button == kPhraseButtons;
    phraseButton->setAccessibleName(sounds ? QStringLiteral("Chatter sounds")
                                           : QStringLiteral("Phrase %1, %2").arg(button).arg(phrase));
    phraseButton->setAccessibleDescription(sounds ? QStringLiteral("Opens the chatter sounds to play to everyone")
                                                  : QStringLiteral("Says it in the chat"));
}

QString ChatArea::takeTypedLine()
{
    const QString text = protocol::sanitizeField(m_entry->text());
    m_entry->clear();
    return text;
}

void ChatArea::setEntryColour(const QColor& colour)
{
    m_entry->setTextColour(colour);
}

void ChatArea::pasteIntoEntry()
{
    const QString clip = QApplication::clipboard()->text();
    if (!clip.isEmpty())
        m_entry->setText(m_entry->text() + protocol::sanitizeField(clip));
    m_entry->deselect();
    m_entry->end(false);
}

void ChatArea::insertSmiley(int code)
{
    if (m_entry->text() == kPlaceholder)
        m_entry->clear();
    m_entry->setText(m_entry->text() + QStringLiteral(":)#%1").arg(code));
    m_entry->deselect();
    m_entry->end(false);
    // Chosen from the keyboard, the smiley is typed on in the entry.
    if (m_smileyButton->hasFocus())
        m_entry->setFocus(Qt::OtherFocusReason);
}

bool ChatArea::eventFilter(QObject* watched, QEvent* event)
{
    // Enter presses a focused phrase or smiley button, as Space does.
    if (event->type() == QEvent::KeyPress && watched != m_entry) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = qobject_cast<QToolButton*>(watched);
        if (button && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            button->click();
            return true;
        }
    }
    if (watched == m_entry && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        emit entryLeft();
        return true;
    }
    if (watched == m_entry && event->type() == QEvent::KeyPress) {
        // The first key clears the placeholder; a paste goes through our own
        // paste, which keeps line breaks and other control bytes out.
        if (m_entry->text() == kPlaceholder)
            m_entry->clear();
        if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
            pasteIntoEntry();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace velmora
