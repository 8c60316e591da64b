#include "client/board/boardgeometry.h"
#include "client/board/dicepanel.h"
#include "renderedimage.h"
#include "strictwarnings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

using namespace velmora;
using velmora::testing::rendered;

namespace {

const QList<int> throwOf12{1, 2, 3, 4, 5, 6, 6, 5, 4, 3, 2, 1};

int zero(int)
{
    return 0;
}

// A pointer move over the panel with no button held (QTest only warps the cursor for those).
void hover(QWidget* widget, QPoint pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

class TestDicePanel : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startsQuiet();
    void loaddiceScattersAvailableDice();
    void leftClickAsksToPlaceTheDie();
    void clicksDoNothingOutOfTurnOrOnPlacedDice();
    void placeDieMovesTheDie();
    void cleardartsKeepsPlaces();
    void rightButtonDragsWithinLimits();
    void releaseEndsTheDrag();
    void middleClickAsksForAutoplace();
    void widenedPanelScattersWider();
    void buttonsAndWinner();
    void keysPlayTheTurnAsClicksDo();
    void ringMarksTheDieOnlyWhileTheBoardHasTheFocus();
    void upAndDownGoToTheNearestDie();

private:
    QWidget* die(int n) const { return m_panel->findChild<QWidget*>(QString("image_dice%1").arg(n)); }
    QLabel* label(const QString& name) const { return m_panel->findChild<QLabel*>(name); }

    DicePanel* m_panel = nullptr;
};

void TestDicePanel::init()
{
    velmora::testing::failOnUnexpectedWarnings();
    m_panel = new DicePanel;
    m_panel->show();
}

void TestDicePanel::cleanup()
{
    delete m_panel;
    m_panel = nullptr;
}

void TestDicePanel::startsQuiet()
{
    QCOMPARE(m_panel->objectName(), QString("panel_dicepanel"));
    QCOMPARE(m_panel->size(), QSize(530, 241));
    for (const char* name : {"button_throwdarts", "button_autoplace", "button_start", "panel_winner"})
        QVERIFY2(!m_panel->findChild<QWidget*>(name)->isVisible(), name);
    for (int n = 1; n <= 12; ++n)
        QVERIFY(die(n) && !m_panel->dieAvailable(n));
    for (int d = 1; d <= 3; ++d) {
        QCOMPARE(label(QString("label_dart%1").arg(d))->text(), QString("0"));
        for (int k = 1; k <= 4; ++k) {
            const QWidget* slot = m_panel->findChild<QWidget*>(QString("dart%1dice%2").arg(d).arg(k));
            QVERIFY(slot);
            QCOMPARE(slot->geometry(), QRect(board::slotPosition(d, k), QSize(32, 32)));
        }
    }
    // The throw and auto-place buttons must keep clear of the dart columns and their values.
    const QRect columns(9, 30, 97 + 32 - 9, 174 + 16 - 30);
    QVERIFY(!m_panel->findChild<QWidget*>("button_throwdarts")->geometry().intersects(columns));
    QCOMPARE(m_panel->findChild<QWidget*>("button_start")->pos(), QPoint(355, 200));
}

void TestDicePanel::loaddiceScattersAvailableDice()
{
    m_panel->setThrowVisible(true);
    m_panel->loaddice(throwOf12, zero);
    QVERIFY(!m_panel->findChild<QWidget*>("button_throwdarts")->isVisible());
    for (int n = 1; n <= 12; ++n) {
        QVERIFY(die(n)->isVisible());
        QVERIFY(m_panel->dieAvailable(n));
        QCOMPARE(m_panel->dieFace(n), throwOf12[n - 1]);
        QCOMPARE(m_panel->diePosition(n), board::scatterPosition(n, {530, 241}, zero));
    }
    // A short message leaves the remaining dice out of the throw.
    m_panel->loaddice({6, 6}, zero);
    QVERIFY(m_panel->dieAvailable(2));
    QVERIFY(!m_panel->dieAvailable(3));
}

void TestDicePanel::leftClickAsksToPlaceTheDie()
{
    m_panel->loaddice(throwOf12, zero);
    m_panel->setOwnTurn(true);
    QSignalSpy spy(m_panel, &DicePanel::placeRequested);

    QTest::mouseClick(die(7), Qt::LeftButton);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.takeFirst(), QList<QVariant>{7});
    // Nothing moves until the host confirms.
    QVERIFY(m_panel->dieAvailable(7));
    m_panel->placeDie(7, 1, 1);
    QTest::mouseClick(die(7), Qt::LeftButton);
    QCOMPARE(spy.size(), 0);
}

void TestDicePanel::clicksDoNothingOutOfTurnOrOnPlacedDice()
{
    m_panel->loaddice(throwOf12, zero);
    QSignalSpy place(m_panel, &DicePanel::placeRequested);
    QSignalSpy autoplace(m_panel, &DicePanel::autoplaceRequested);

    m_panel->setOwnTurn(false); // another seat's turn, or a spectator
    QTest::mouseClick(die(1), Qt::LeftButton);
    QTest::mouseClick(die(1), Qt::MiddleButton);
    QTest::mouseClick(die(1), Qt::RightButton);
    QVERIFY(m_panel->dragdie().isEmpty());

    m_panel->setOwnTurn(true);
    m_panel->placeDie(2, 1, 1);
    QTest::mouseClick(die(2), Qt::LeftButton);
    QTest::mouseClick(die(2), Qt::MiddleButton);
    QTest::mouseClick(die(2), Qt::RightButton);
    QVERIFY(m_panel->dragdie().isEmpty());

    QCOMPARE(place.size(), 0);
    QCOMPARE(autoplace.size(), 0);
}

void TestDicePanel::placeDieMovesTheDie()
{
    m_panel->loaddice(throwOf12, zero);
    m_panel->placeDie(5, 3, 4);
    QCOMPARE(m_panel->diePosition(5), QPoint(97, 136));
    QVERIFY(!m_panel->dieAvailable(5));
    QVERIFY(m_panel->slotFilled(3, 4));
    QVERIFY(!m_panel->slotFilled(3, 3));

    // Numbers out of range leave the board alone.
    m_panel->placeDie(13, 1, 1);
    m_panel->placeDie(6, 4, 1);
    m_panel->placeDie(6, 1, 0);
    QVERIFY(m_panel->dieAvailable(6));
    QVERIFY(!m_panel->slotFilled(1, 1));
    m_panel->setDartLabel(3, "dBull", "double bull");
    QCOMPARE(label("label_dart3")->text(), QString("dBull"));
}

void TestDicePanel::cleardartsKeepsPlaces()
{
    m_panel->loaddice(throwOf12, zero);
    m_panel->placeDie(4, 1, 1);
    m_panel->setDartLabel(1, "4", "4, a miss");
    m_panel->cleardarts();
    QCOMPARE(m_panel->diePosition(4), QPoint(9, 30));
    QCOMPARE(m_panel->dieFace(4), 4);
    QVERIFY(!m_panel->slotFilled(1, 1));
    QVERIFY(!m_panel->dieAvailable(1));
    QCOMPARE(label("label_dart1")->text(), QString("0"));
}

void TestDicePanel::rightButtonDragsWithinLimits()
{
    m_panel->loaddice(throwOf12, zero);
    m_panel->setOwnTurn(true);
    QTest::mousePress(die(9), Qt::RightButton);
    QCOMPARE(m_panel->dragdie(), QString("image_dice9"));
    // A second die cannot be picked up while one is held.
    QTest::mousePress(die(10), Qt::RightButton);
    QCOMPARE(m_panel->dragdie(), QString("image_dice9"));

    // The die that took the press gets the moves; they reach the panel through it.
    const auto dragTo = [this](QPoint onPanel) { QTest::mouseMove(die(9), die(9)->mapFrom(m_panel, onPanel)); };
    dragTo({300, 100});
    QCOMPARE(m_panel->diePosition(9), QPoint(304, 104));
    dragTo({20, 235}); // x held at 136, y at 208
    QCOMPARE(m_panel->diePosition(9), QPoint(140, 212));
    dragTo({525, -5});
    QCOMPARE(m_panel->diePosition(9), QPoint(492, -1));
    // A drag changes nothing but the picture's place.
    QVERIFY(m_panel->dieAvailable(9));
    QTest::mouseRelease(die(10), Qt::RightButton);
    QTest::mouseRelease(die(9), Qt::RightButton, {}, die(9)->mapFrom(m_panel, QPoint(525, -5)));
}

void TestDicePanel::releaseEndsTheDrag()
{
    m_panel->loaddice(throwOf12, zero);
    m_panel->setOwnTurn(true);
    QTest::mousePress(die(1), Qt::RightButton);
    const QPoint onPanel = die(1)->mapTo(m_panel, QPoint(10, 10));
    QTest::mouseMove(die(1), {10, 10});
    QCOMPARE(m_panel->diePosition(1), onPanel + QPoint(4, 4));
    // The release goes to the die that took the press, and still ends the drag.
    QTest::mouseRelease(die(1), Qt::RightButton, {}, {10, 10});
    QVERIFY(m_panel->dragdie().isEmpty());
    const QPoint dropped = m_panel->diePosition(1);
    hover(m_panel, {300, 100});
    QCOMPARE(m_panel->diePosition(1), dropped);

    // A left click on the dropped die places it as usual.
    QSignalSpy spy(m_panel, &DicePanel::placeRequested);
    QTest::mouseClick(die(1), Qt::LeftButton);
    QCOMPARE(spy.size(), 1);

    // Releasing over the panel itself ends a drag too.
    QTest::mousePress(die(3), Qt::RightButton);
    QTest::mouseRelease(m_panel, Qt::RightButton, {}, {400, 20});
    QVERIFY(m_panel->dragdie().isEmpty());

    // A die placed by the host while held stays in its slot.
    QTest::mousePress(die(2), Qt::RightButton);
    m_panel->placeDie(2, 1, 1);
    QTest::mouseMove(die(2), die(2)->mapFrom(m_panel, QPoint(300, 100)));
    QCOMPARE(m_panel->diePosition(2), QPoint(9, 30));
    QTest::mouseRelease(die(2), Qt::RightButton);

    QTest::mousePress(die(4), Qt::RightButton);
    m_panel->cancelDrag();
    QVERIFY(m_panel->dragdie().isEmpty());
    QTest::mouseRelease(die(4), Qt::RightButton);
}

void TestDicePanel::middleClickAsksForAutoplace()
{
    m_panel->loaddice(throwOf12, zero);
    m_panel->setOwnTurn(true);
    QSignalSpy autoplace(m_panel, &DicePanel::autoplaceRequested);
    QSignalSpy place(m_panel, &DicePanel::placeRequested);
    QTest::mousePress(die(4), Qt::RightButton);
    QTest::mouseClick(die(6), Qt::MiddleButton);
    QTest::mouseRelease(die(4), Qt::RightButton);
    QCOMPARE(autoplace.size(), 1);
    QCOMPARE(place.size(), 0);
    QVERIFY(m_panel->dragdie().isEmpty());
}

void TestDicePanel::widenedPanelScattersWider()
{
    const auto high = [](int k) { return k - 1; };
    m_panel->loaddice(throwOf12, high);
    const int narrow = m_panel->diePosition(6).x();
    m_panel->resize(830, 241);
    m_panel->loaddice(throwOf12, high);
    QCOMPARE(narrow, 8 * 45 + 9 + 106);
    QCOMPARE(m_panel->diePosition(6).x(), 8 * 82 + 9 + 106);
}

void TestDicePanel::buttonsAndWinner()
{
    QSignalSpy thrown(m_panel, &DicePanel::throwClicked);
    QSignalSpy autoplaced(m_panel, &DicePanel::autoplaceClicked);
    QSignalSpy started(m_panel, &DicePanel::startClicked);
    m_panel->setThrowVisible(true);
    QTest::mouseClick(m_panel->findChild<QAbstractButton*>("button_throwdarts"), Qt::LeftButton);
    m_panel->setThrowVisible(false);
    m_panel->setAutoplaceVisible(true);
    QTest::mouseClick(m_panel->findChild<QAbstractButton*>("button_autoplace"), Qt::LeftButton);
    m_panel->setStartVisible(true);
    QTest::mouseClick(m_panel->findChild<QAbstractButton*>("button_start"), Qt::LeftButton);
    QCOMPARE(thrown.size(), 1);
    QCOMPARE(autoplaced.size(), 1);
    QCOMPARE(started.size(), 1);

    m_panel->showWinner("Ann and Borl");
    QWidget* winner = m_panel->findChild<QWidget*>("panel_winner");
    QVERIFY(winner->isVisible());
    QCOMPARE(label("label_winner1")->text(), QString("Ann and Borl"));
    QCOMPARE(label("label_winner2")->text(), QString("Ann and Borl"));
    QCOMPARE(label("label_winner2")->pos(), label("label_winner1")->pos() + QPoint(1, 1));
    m_panel->hideWinner();
    QVERIFY(!winner->isVisible());
}

void TestDicePanel::keysPlayTheTurnAsClicksDo()
{
    m_panel->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_panel));
    m_panel->setFocus();
    QSignalSpy place(m_panel, &DicePanel::placeRequested);
    QSignalSpy focused(m_panel, &DicePanel::focusedDieChanged);
    QSignalSpy thrown(m_panel, &DicePanel::throwClicked);
    QSignalSpy autoplace(m_panel, &DicePanel::autoplaceClicked);

    // Space throws while the throw is offered, even over last turn's dice.
    m_panel->setOwnTurn(true);
    m_panel->setThrowVisible(true);
    QTest::keyClick(m_panel, Qt::Key_Space);
    QCOMPARE(thrown.size(), 1);
    m_panel->setThrowVisible(false);

    // A new throw puts the ring on the leftmost die; the arrows walk the dice.
    m_panel->loaddice(throwOf12, zero);
    QCOMPARE(m_panel->focusedDie(), 4);
    QCOMPARE(focused.last(), QList<QVariant>{4});
    QTest::keyClick(m_panel, Qt::Key_Left); // nothing further left
    QCOMPARE(m_panel->focusedDie(), 4);
    QTest::keyClick(m_panel, Qt::Key_Right);
    QTest::keyClick(m_panel, Qt::Key_Right);
    QCOMPARE(m_panel->focusedDie(), 12); // left to right, then top to bottom
    QTest::keyClick(m_panel, Qt::Key_Up);
    QCOMPARE(m_panel->focusedDie(), 5);
    QTest::keyClick(m_panel, Qt::Key_Down);
    QCOMPARE(m_panel->focusedDie(), 12);
    for (int k = 0; k < 12; ++k)
        QTest::keyClick(m_panel, Qt::Key_Left);
    QSet<int> reached{m_panel->focusedDie()};
    for (int k = 0; k < 11; ++k) {
        QTest::keyClick(m_panel, Qt::Key_Right);
        reached.insert(m_panel->focusedDie());
    }
    QCOMPARE(reached.size(), 12); // every die is reached
    QCOMPARE(m_panel->focusedDie(), 6);

    // Enter asks to place the die, as a left click does; once the host's
    // placement comes back it says where the die went, and the ring moves
    // on to the next die, or from the last one back to the first.
    QSignalSpy placed(m_panel, &DicePanel::placedAsAsked);
    QTest::keyClick(m_panel, Qt::Key_Return);
    QCOMPARE(place.takeFirst(), QList<QVariant>{6});
    QCOMPARE(m_panel->focusedDie(), 6);
    m_panel->placeDie(6, 1, 1);
    QCOMPARE(placed.value(0), (QList<QVariant>{1, 1}));
    placed.clear();
    QCOMPARE(m_panel->focusedDie(), 4);
    QTest::keyClick(m_panel, Qt::Key_Right);
    QCOMPARE(m_panel->focusedDie(), 5);
    QTest::keyClick(m_panel, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(place.takeFirst(), QList<QVariant>{5});
    m_panel->placeDie(1, 3, 4); // placed by the computer: nothing to tell
    QVERIFY(placed.isEmpty());
    m_panel->placeDie(5, 2, 3);
    QCOMPARE(placed.value(0), (QList<QVariant>{2, 3}));
    QCOMPARE(m_panel->focusedDie(), 12); // the die after it, from where it lay

    // Typing on the board goes nowhere; A auto places.
    QTest::keyClicks(m_panel, QStringLiteral("hi"));
    QVERIFY(place.isEmpty());
    m_panel->setAutoplaceVisible(true);
    QTest::keyClick(m_panel, Qt::Key_A);
    QCOMPARE(autoplace.size(), 1);

    // Out of turn there is no die to place and no key places one.
    m_panel->setOwnTurn(false);
    QCOMPARE(m_panel->focusedDie(), 0);
    QTest::keyClick(m_panel, Qt::Key_Space);
    QVERIFY(place.isEmpty());
    QCOMPARE(thrown.size(), 1);
}

void TestDicePanel::ringMarksTheDieOnlyWhileTheBoardHasTheFocus()
{
    m_panel->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_panel));
    m_panel->clearFocus(); // a window's only control takes the focus as it opens
    m_panel->loaddice(throwOf12, zero);
    m_panel->setOwnTurn(true);
    const QImage before1 = rendered(m_panel, 1);
    const QImage before2 = rendered(m_panel, 2);
    QCOMPARE(m_panel->focusedDie(), 4); // at (151, 100)

    m_panel->setFocus();
    QWidget* ring = m_panel->findChild<QWidget*>("focusring");
    QVERIFY(ring->isVisible());
    QCOMPARE(ring->geometry(), die(4)->geometry().adjusted(-4, -4, 4, 4));
    // Lime two pixels wide just outside the die, and the panel's edge lit, at 100 % and 200 %.
    const QImage at1 = rendered(m_panel, 1);
    const QImage at2 = rendered(m_panel, 2);
    for (int x : {148, 149})
        QCOMPARE(at1.pixelColor(x, 116), QColor(0, 255, 0));
    QCOMPARE(at1.pixelColor(150, 116), QColor(0, 0, 0));
    for (int x = 296; x < 300; ++x)
        QCOMPARE(at2.pixelColor(x, 232), QColor(0, 255, 0));
    QCOMPARE(at1.pixelColor(0, 120), QColor(0x11, 0xb0, 0x11));
    QCOMPARE(at2.pixelColor(0, 240), QColor(0x11, 0xb0, 0x11));

    // The ring follows the keys, and without the focus the panel looks as it did.
    QTest::keyClick(m_panel, Qt::Key_Right);
    QCOMPARE(ring->geometry(), die(5)->geometry().adjusted(-4, -4, 4, 4));
    m_panel->clearFocus();
    QVERIFY(!ring->isVisible());
    QTest::keyClick(m_panel, Qt::Key_Left); // the die in the ring stays the same
    QCOMPARE(rendered(m_panel, 1), before1);
    QCOMPARE(rendered(m_panel, 2), before2);
}

void TestDicePanel::upAndDownGoToTheNearestDie()
{
    m_panel->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_panel));
    m_panel->setFocus();
    m_panel->loaddice(throwOf12.mid(0, 4), zero);
    m_panel->setOwnTurn(true);
    // Die 2 is only 4 px lower than die 1 but far to the right; die 3 is
    // nearer below, and die 4 above.
    const QPoint from(150, 100);
    const QPoint at[] = {from, from + QPoint(300, 4), from + QPoint(30, 50), from + QPoint(-40, -40)};
    for (int n = 1; n <= 4; ++n)
        die(n)->move(at[n - 1]);
    for (int k = 0; k < 4; ++k)
        QTest::keyClick(m_panel, Qt::Key_Left);
    QCOMPARE(m_panel->focusedDie(), 4);
    QTest::keyClick(m_panel, Qt::Key_Right);
    QCOMPARE(m_panel->focusedDie(), 1);
    QTest::keyClick(m_panel, Qt::Key_Down);
    QCOMPARE(m_panel->focusedDie(), 3);
    QTest::keyClick(m_panel, Qt::Key_Down); // nothing further down
    QCOMPARE(m_panel->focusedDie(), 3);
    QTest::keyClick(m_panel, Qt::Key_Up);
    QCOMPARE(m_panel->focusedDie(), 1); // above die 3, die 2 lies nearer in rows but farther away
    QTest::keyClick(m_panel, Qt::Key_Up);
    QCOMPARE(m_panel->focusedDie(), 4);
}

QTEST_MAIN(TestDicePanel)
#include "tst_dicepanel.moc"
