#include "dicepanel.h"

#include "art/artwork.h"
#include "art/palette.h"
#include "boardaccessibility.h"
#include "boardgeometry.h"
#include "controls/focusmark.h"
#include "controls/picturebutton.h"
#include "dartslot.h"
#include "dieimage.h"
#include "game/darts.h"
#include "readername.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRandomGenerator>

namespace velmora {

namespace {

const QColor lime = art::palette::textLime;
const QColor grey(128, 128, 128);

// The winner's panel: black within a one-pixel lime edge.
class WinnerPanel : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), art::palette::black);
        painter.setPen(lime);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

// A label that only shows text: presses and moves go to the panel beneath.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QColor& colour, int pixelSize,
                  bool bold, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(geometry);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

// Headings and values are centred over the 32-pixel slot columns, which stand 44 pixels apart.
QRect columnText(int dart, int top)
{
    return {board::slotPosition(dart, 1).x() - 6, top, 44, 16};
}

constexpr int headingTop = 12;
constexpr int dartLabelTop = 174;
constexpr QPoint buttonPlace{9, 200}; // below the dart columns
constexpr QPoint startPlace{355, 200};
constexpr QRect winnerGeometry{170, 60, 330, 110};

// Dragging keeps the die inside the scatter area, just below and right of the pointer.
constexpr int dragMinX = 136;
constexpr int dragMaxX = 488;
constexpr int dragMaxY = 208;
constexpr int dragOffset = 4;

} // namespace

DicePanel::DicePanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("panel_dicepanel"));
    installBoardAccessibility();
    resize(designSize);
    // Tab and the board's own key give the panel the focus; a click never does,
    // so the mouse's board shows no ring.
    setFocusPolicy(Qt::TabFocus);

    for (int dart = 1; dart <= game::kDarts; ++dart) {
        makeLabel(this, QStringLiteral("label_dartheading%1").arg(dart), QStringLiteral("Dart %1").arg(dart), lime, 12,
                  false, columnText(dart, headingTop));
        for (int slot = 1; slot <= game::kDicePerDart; ++slot)
            m_slots[dart - 1][slot - 1] = new DartSlot(dart, slot, this);
        m_dartLabels[dart - 1] = makeLabel(this, QStringLiteral("label_dart%1").arg(dart), QStringLiteral("0"), lime,
                                           12, true, columnText(dart, dartLabelTop));
        setDartLabel(dart, QStringLiteral("0"), QStringLiteral("nothing"));
    }

    m_throw = new PictureButton(art::PictureButton::ThrowDarts, QStringLiteral("Throw Darts"), this);
    m_throw->setObjectName(QStringLiteral("button_throwdarts"));
    m_throw->move(buttonPlace);
    m_throw->hide();
    connect(m_throw, &QAbstractButton::clicked, this, &DicePanel::throwClicked);

    m_autoplace = new PictureButton(art::PictureButton::AutoPlace, QStringLiteral("Auto Place"), this);
    m_autoplace->setObjectName(QStringLiteral("button_autoplace"));
    m_autoplace->move(buttonPlace);
    m_autoplace->hide();
    connect(m_autoplace, &QAbstractButton::clicked, this, &DicePanel::autoplaceClicked);

    m_start = new PictureButton(art::PictureButton::StartGame, QStringLiteral("START GAME"), this);
    m_start->setObjectName(QStringLiteral("button_start"));
    m_start->move(startPlace);
    m_start->hide();
    connect(m_start, &QAbstractButton::clicked, this, &DicePanel::startClicked);

    // The dice lie above the slots and buttons; before the first throw they are hidden.
    for (int die = 1; die <= game::kDicePerThrow; ++die) {
        auto* image = new DieImage(die, this);
        image->move(board::scatterPosition(die, designSize, [](int) { return 0; }));
        image->hide();
        connect(image, &DieImage::pressed, this, &DicePanel::diePressed);
        m_dice[die - 1] = image;
    }

    m_winner = new WinnerPanel(this);
    m_winner->setObjectName(QStringLiteral("panel_winner"));
    m_winner->setGeometry(winnerGeometry);
    m_winner->setAttribute(Qt::WA_TransparentForMouseEvents);
    const int w = winnerGeometry.width();
    // Each text twice: grey beneath, lime one pixel right and down.
    makeLabel(m_winner, QStringLiteral("label_winnertitle1"), QStringLiteral("The Winner!!"), grey, 20, true,
              {0, 14, w, 28});
    makeLabel(m_winner, QStringLiteral("label_winnertitle2"), QStringLiteral("The Winner!!"), lime, 20, true,
              {1, 15, w, 28});
    m_winnerShadow = makeLabel(m_winner, QStringLiteral("label_winner1"), QString(), grey, 18, true, {0, 58, w, 28});
    m_winnerName = makeLabel(m_winner, QStringLiteral("label_winner2"), QString(), lime, 18, true, {1, 59, w, 28});
    m_winner->hide();
    m_ring = new FocusRing(this);
}

void DicePanel::cleardarts()
{
    for (DieImage* die : m_dice) {
        die->setAvailable(false);
        die->show();
    }
    for (auto& dart : m_slots)
        for (DartSlot* slot : dart)
            slot->empty();
    m_askedDie = 0;
    for (int dart = 1; dart <= game::kDarts; ++dart)
        setDartLabel(dart, QStringLiteral("0"), QStringLiteral("nothing"));
    refreshFocusedDie();
}

void DicePanel::loaddice(const QList<int>& values, const std::function<int(int)>& random)
{
    cleardarts();
    m_throw->hide();
    const QSize panel = size(); // read once: all dice scatter over the same area
    const int count = qMin(int(values.size()), game::kDicePerThrow);
    for (int n = 0; n < count; ++n) {
        DieImage* die = m_dice[n];
        die->setFace(values[n]);
        die->move(board::scatterPosition(n + 1, panel, random));
        die->setAvailable(true);
    }
    refreshFocusedDie();
    emit offersChanged(); // the throw button went
}

void DicePanel::loaddice(const QList<int>& values)
{
    loaddice(values, [](int k) { return int(QRandomGenerator::global()->bounded(k)); });
}

void DicePanel::placeDie(int die, int dart, int slot)
{
    DieImage* image = dieAt(die);
    DartSlot* place = slotAt(dart, slot);
    if (!image || !place)
        return;
    // A placed die stays in its slot even if it was being dragged.
    if (m_dragDie == die)
        m_dragDie = 0;
    image->move(place->pos());
    image->raise();
    image->setAvailable(false);
    place->fill(image->face());
    if (die == m_askedDie) {
        m_askedDie = 0;
        emit placedAsAsked(dart, slot);
    }
    refreshFocusedDie();
}

void DicePanel::setDartLabel(int dart, const QString& value, const QString& spokenValue)
{
    if (dart < 1 || dart > game::kDarts)
        return;
    QLabel* label = m_dartLabels[dart - 1];
    label->setText(value);
    setReaderName(label, QStringLiteral("Dart %1, %2").arg(dart).arg(spokenValue));
}

bool DicePanel::dieAvailable(int die) const
{
    const DieImage* image = dieAt(die);
    return image && image->available();
}

QPoint DicePanel::diePosition(int die) const
{
    const DieImage* image = dieAt(die);
    return image ? image->pos() : QPoint();
}

int DicePanel::dieFace(int die) const
{
    const DieImage* image = dieAt(die);
    return image ? image->face() : 0;
}

bool DicePanel::slotFilled(int dart, int slot) const
{
    const DartSlot* place = slotAt(dart, slot);
    return place && place->filled();
}

void DicePanel::setOwnTurn(bool ownTurn)
{
    m_ownTurn = ownTurn;
    refreshFocusedDie();
}

// A shown button comes above any die scattered over it.
static void showAbove(QWidget* widget, bool visible)
{
    if (visible)
        widget->raise();
    widget->setVisible(visible);
}

void DicePanel::setThrowVisible(bool visible)
{
    showAbove(m_throw, visible);
    updateFocusRing();
    emit offersChanged();
}

void DicePanel::setAutoplaceVisible(bool visible)
{
    showAbove(m_autoplace, visible);
    updateFocusRing();
    emit offersChanged();
}

void DicePanel::setStartVisible(bool visible)
{
    showAbove(m_start, visible);
    updateFocusRing();
    emit offersChanged();
}

PictureButton* DicePanel::button(Button which) const
{
    switch (which) {
    case Button::Throw:
        return m_throw;
    case Button::AutoPlace:
        return m_autoplace;
    case Button::Start:
        return m_start;
    }
    return nullptr;
}

bool DicePanel::offers(Button which) const
{
    return !button(which)->isHidden();
}

bool DicePanel::clickButton(Button which)
{
    if (!offers(which))
        return false;
    button(which)->click();
    return true;
}

QString DicePanel::boardState() const
{
    if (!m_winner->isHidden())
        return offers(Button::Start) ? QStringLiteral("Game over. Space starts a new game.")
                                     : QStringLiteral("Game over.");
    QString next;
    if (offers(Button::Throw))
        next = QStringLiteral("Space throws the darts.");
    else if (const DieImage* die = dieAt(m_focusDie))
        next = die->accessibleName() + QLatin1Char('.');
    else if (offers(Button::Start))
        next = QStringLiteral("Space starts the game.");
    const QString turn = m_turnWords ? m_turnWords() : QString();
    const QString said = (turn + QLatin1Char(' ') + next).trimmed();
    return said.isEmpty() ? QStringLiteral("No game yet.") : said;
}

void DicePanel::showWinner(const QString& name)
{
    m_winnerShadow->setText(name);
    m_winnerName->setText(name);
    m_winner->raise();
    m_winner->show();
    updateFocusRing();
}

void DicePanel::hideWinner()
{
    m_winner->hide();
}

void DicePanel::cancelDrag()
{
    m_dragDie = 0;
}

QString DicePanel::dragdie() const
{
    const DieImage* image = dieAt(m_dragDie);
    return image ? image->objectName() : QString();
}

void DicePanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(art::logoLeft, 0, art::logo(devicePixelRatioF()));
    // The board has the keyboard: its edge lights up.
    if (hasFocus()) {
        painter.setPen(art::palette::green);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void DicePanel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void DicePanel::mouseMoveEvent(QMouseEvent* event)
{
    DieImage* image = dieAt(m_dragDie);
    if (!image)
        return;
    const QPoint at = event->position().toPoint();
    const int x = qBound(dragMinX, at.x(), dragMaxX);
    const int y = qMin(at.y(), dragMaxY);
    image->move(x + dragOffset, y + dragOffset);
    if (m_dragDie == m_focusDie)
        updateFocusRing();
}

void DicePanel::mouseReleaseEvent(QMouseEvent* event)
{
    // Any button released over the panel (or on a die, which passes it on)
    // drops the die where it is.
    m_dragDie = 0;
    event->accept();
}

void DicePanel::diePressed(int die, Qt::MouseButton button)
{
    DieImage* image = dieAt(die);
    if (!image || !image->available() || !m_ownTurn)
        return;
    switch (button) {
    case Qt::RightButton:
        if (m_dragDie == 0) {
            m_dragDie = die;
            image->raise();
        }
        break;
    case Qt::MiddleButton:
        m_dragDie = 0;
        emit autoplaceRequested();
        break;
    case Qt::LeftButton:
        m_dragDie = 0;
        m_askedDie = die;
        emit placeRequested(die);
        break;
    default:
        break;
    }
}

DieImage* DicePanel::dieAt(int die) const
{
    return die >= 1 && die <= game::kDicePerThrow ? m_dice[die - 1] : nullptr;
}

DartSlot* DicePanel::slotAt(int dart, int slot) const
{
    if (dart < 1 || dart > game::kDarts || slot < 1 || slot > game::kDicePerDart)
        return nullptr;
    return m_slots[dart - 1][slot - 1];
}

} // namespace velmora
