// Mouse input goes through the window system layer, so the button gets the
// enter and leave events a real pointer would give it.
#define QTEST_QPA_MOUSE_HANDLING

#include "controls/tselbutton.h"
#include "renderedimage.h"
#include "strictwarnings.h"

#include <QAccessible>
#include <QImage>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

using namespace velmora;
using velmora::testing::rendered;

namespace {

const QColor kLime(0, 255, 0);
const QColor kSilver(192, 192, 192);

QColor pixel(TSelButton& button, QPoint at)
{
    return button.grab().toImage().pixelColor(at);
}

// The box around every pixel drawn in the given colour, inside the frame.
QRect pixelsOf(TSelButton& button, const QColor& colour)
{
    const QImage image = button.grab().toImage();
    QRect box;
    for (int y = 1; y < image.height() - 1; ++y)
        for (int x = 1; x < image.width() - 1; ++x)
            if (image.pixelColor(x, y) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TestTSelButton : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void captionFromName();
    void facesAndFrames();
    void captionPlaces();
    void clickOrderAndLooks();
    void releaseElsewhereIsNoClick();
    void ownFlagOff();
    void rightButtonChangesNothing();
    void storedOnlySettingsWaitForTheMouse();
    void clickThatHidesTheWindow();
    void focusByTabOnlyAndItsMark();
    void spaceAndEnterClick();
    void ownFlagOffBlocksKeys();
    void heardAsAPushButton();

private:
    QWidget* m_window = nullptr;
    TSelButton* m_button = nullptr;
    QStringList m_log;
};

void TestTSelButton::init()
{
    velmora::testing::failOnUnexpectedWarnings();
    m_window = new QWidget;
    m_window->resize(200, 80);
    m_button = new TSelButton(QStringLiteral("Done"), m_window);
    m_button->setGeometry(20, 20, 105, 25);
    m_button->useGameLook(13);
    QFont font = m_button->font();
    font.setStyleStrategy(QFont::NoAntialias); // caption pixels in exactly the caption colour
    m_button->setFont(font);
    m_log.clear();
    connect(m_button, &TSelButton::mousePressed, this, [this] { m_log << "down"; });
    connect(m_button, &TSelButton::clicked, this,
            [this] { m_log << QString("click:%1").arg(QVariant::fromValue(m_button->look()).toString()); });
    connect(m_button, &TSelButton::mouseReleased, this, [this] { m_log << "up"; });
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QTest::mouseMove(m_window, {5, 5});
}

void TestTSelButton::cleanup()
{
    delete m_window;
    m_window = nullptr;
    m_button = nullptr;
}

void TestTSelButton::captionFromName()
{
    // Placed without a caption, it shows its name; a caption of its own stays.
    QWidget parent;
    TSelButton named;
    named.setObjectName("SelButton3");
    named.setParent(&parent);
    QCOMPARE(named.caption(), QString("SelButton3"));
    m_button->setObjectName("other");
    m_button->setParent(&parent);
    QCOMPARE(m_button->caption(), QString("Done"));
    m_button->setParent(m_window);
}

void TestTSelButton::facesAndFrames()
{
    const int midY = m_button->height() / 2;
    QCOMPARE(pixel(*m_button, {0, 0}), kLime);
    QCOMPARE(pixel(*m_button, {104, 24}), kLime);
    QCOMPARE(pixel(*m_button, {1, midY}), QColor(Qt::black));
    QVERIFY(pixelsOf(*m_button, kSilver).isValid());

    // Three nested frames, the innermost at inset 2, drawn over the face.
    m_button->setBorderWidth(3);
    for (int inset = 0; inset < 3; ++inset) {
        QCOMPARE(pixel(*m_button, {inset, midY}), kLime);
        QCOMPARE(pixel(*m_button, {104 - inset, midY}), kLime);
        QCOMPARE(pixel(*m_button, {50, 24 - inset}), kLime);
    }
    QCOMPARE(pixel(*m_button, {3, midY}), QColor(Qt::black));

    // No frame: the outer ring is not painted at all.
    m_button->setColor(Qt::blue);
    m_button->setBorderWidth(0);
    QVERIFY(pixel(*m_button, {0, midY}) != kLime);
    QVERIFY(pixel(*m_button, {0, midY}) != QColor(Qt::blue));
    QCOMPARE(pixel(*m_button, {1, midY}), QColor(Qt::blue));
}

void TestTSelButton::captionPlaces()
{
    const int width = m_button->width();
    const QRect centred = pixelsOf(*m_button, kSilver);
    QVERIFY(qAbs(centred.center().x() - width / 2) <= 2);

    m_button->setAlignment(TSelButton::Alignment::Left);
    const QRect left = pixelsOf(*m_button, kSilver);
    QVERIFY(left.left() >= 5 && left.left() <= 7);
    m_button->setAlignment(TSelButton::Alignment::Right);
    const QRect right = pixelsOf(*m_button, kSilver);
    QVERIFY(right.right() <= width - 6 && right.right() >= width - 9);

    // Pressed, the caption moves one pixel right and down, in the hover colour.
    m_button->setAlignment(TSelButton::Alignment::Left);
    QTest::mouseMove(m_button, {50, 10});
    QTest::mousePress(m_button, Qt::LeftButton, {}, {50, 10});
    QCOMPARE(m_button->look(), TSelButton::Look::Pressed);
    const QRect pressed = pixelsOf(*m_button, kLime);
    QCOMPARE(pressed.topLeft(), left.topLeft() + QPoint(1, 1));
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, {50, 10});
}

void TestTSelButton::clickOrderAndLooks()
{
    QTest::mouseMove(m_button, {50, 10});
    QCOMPARE(m_button->look(), TSelButton::Look::Hovered);
    QVERIFY(pixelsOf(*m_button, kLime).height() > 3); // the caption turned lime
    QTest::mousePress(m_button, Qt::LeftButton, {}, {50, 10});
    QCOMPARE(m_log, QStringList{"down"});
    QCOMPARE(m_button->look(), TSelButton::Look::Pressed);

    // The click sees the normal look; the hover look is what remains.
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, {50, 10});
    QCOMPARE(m_log, (QStringList{"down", "click:Normal", "up"}));
    QCOMPARE(m_button->look(), TSelButton::Look::Hovered);

    QTest::mouseMove(m_window, {190, 70});
    QCOMPARE(m_button->look(), TSelButton::Look::Normal);
    QCOMPARE(pixelsOf(*m_button, kSilver).isValid(), true);
}

void TestTSelButton::releaseElsewhereIsNoClick()
{
    QTest::mouseMove(m_button, {50, 10});
    QTest::mousePress(m_button, Qt::LeftButton, {}, {50, 10});
    QTest::mouseMove(m_button, {150, 40});
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, {150, 40});
    QCOMPARE(m_log, (QStringList{"down", "up"}));
    // Outside the button the pointer shows the normal look again.
    QTRY_COMPARE_WITH_TIMEOUT(m_button->look(), TSelButton::Look::Normal, 5000);
}

void TestTSelButton::ownFlagOff()
{
    m_button->setButtonEnabled(false);
    QSignalSpy moved(m_button, &TSelButton::mouseMoved);
    QTest::mouseMove(m_button, {50, 10});
    QCOMPARE(m_button->look(), TSelButton::Look::Normal);
    QVERIFY(!moved.isEmpty()); // moves are still reported
    QTest::mouseClick(m_button, Qt::LeftButton, {}, {50, 10});
    QVERIFY(m_log.isEmpty());
    QCOMPARE(m_button->look(), TSelButton::Look::Normal);
    QVERIFY(pixelsOf(*m_button, kLime).isEmpty());
}

void TestTSelButton::rightButtonChangesNothing()
{
    QTest::mouseMove(m_button, {50, 10});
    QTest::mousePress(m_button, Qt::RightButton, {}, {50, 10});
    QCOMPARE(m_button->look(), TSelButton::Look::Hovered);
    QTest::mouseRelease(m_button, Qt::RightButton, {}, {50, 10});
    QVERIFY(m_log.isEmpty());
    QCOMPARE(m_button->look(), TSelButton::Look::Hovered);
}

void TestTSelButton::storedOnlySettingsWaitForTheMouse()
{
    QTest::mouseMove(m_button, {50, 10});
    m_button->setColorOver(Qt::red);
    m_button->setColorDown(Qt::blue);
    QCOMPARE(pixel(*m_button, {2, 12}), QColor(Qt::black));
    QTest::mousePress(m_button, Qt::LeftButton, {}, {50, 10});
    QCOMPARE(pixel(*m_button, {2, 12}), QColor(Qt::blue));
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, {50, 10});
    QCOMPARE(pixel(*m_button, {2, 12}), QColor(Qt::red));

    // Turning the flag off while hovered keeps the look until the mouse leaves.
    m_button->setButtonEnabled(false);
    QCOMPARE(m_button->look(), TSelButton::Look::Hovered);
    QTest::mouseMove(m_window, {190, 70});
    QCOMPARE(m_button->look(), TSelButton::Look::Normal);

    // A setter that shows repaints the normal look at once.
    m_button->setButtonEnabled(true);
    QTest::mouseMove(m_button, {50, 10});
    m_button->setCaption("Close");
    QCOMPARE(m_button->look(), TSelButton::Look::Normal);
}

void TestTSelButton::clickThatHidesTheWindow()
{
    // "Done" hides its window from the click: no hover look is left behind.
    connect(m_button, &TSelButton::clicked, m_window, &QWidget::hide);
    QTest::mouseMove(m_button, {50, 10});
    QTest::mouseClick(m_button, Qt::LeftButton, {}, {50, 10});
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_log, (QStringList{"down", "click:Normal", "up"}));
    QCOMPARE(m_button->look(), TSelButton::Look::Normal);
}

void TestTSelButton::focusByTabOnlyAndItsMark()
{
    const QImage plain1 = rendered(m_button, 1, Qt::white);
    const QImage plain2 = rendered(m_button, 2, Qt::white);
    QCOMPARE(m_button->focusPolicy(), Qt::TabFocus);
    m_button->clearFocus(); // the window handed it the focus on opening
    QTest::mouseMove(m_button, {50, 10});
    QTest::mouseClick(m_button, Qt::LeftButton, {}, {50, 10});
    QVERIFY(!m_button->hasFocus());
    QTest::mouseMove(m_window, {190, 70});

    // The focus a window hands out when it opens shows nothing either.
    m_button->setFocus(Qt::ActiveWindowFocusReason);
    QVERIFY(m_button->hasFocus());
    QCOMPARE(rendered(m_button, 1, Qt::white), plain1);

    // Reached by Tab: lime dots one pixel inside the border, two apart, at both scales.
    m_button->clearFocus();
    m_button->setFocus(Qt::TabFocusReason);
    QVERIFY(m_button->showsFocusMark());
    const QImage marked1 = rendered(m_button, 1, Qt::white);
    QCOMPARE(marked1.pixelColor(2, 2), kLime);
    QCOMPARE(marked1.pixelColor(3, 2), QColor(Qt::black));
    QCOMPARE(marked1.pixelColor(4, 2), kLime);
    QCOMPARE(marked1.pixelColor(2, 22), kLime);
    QCOMPARE(marked1.pixelColor(102, 12), kLime);
    QCOMPARE(marked1.pixelColor(1, 12), QColor(Qt::black)); // clear of the border
    const QImage marked2 = rendered(m_button, 2, Qt::white);
    for (const QPoint at : {QPoint(4, 4), QPoint(5, 5), QPoint(8, 4), QPoint(4, 44)})
        QCOMPARE(marked2.pixelColor(at), kLime);
    QCOMPARE(marked2.pixelColor(6, 4), QColor(Qt::black));
    QCOMPARE(marked2.pixelColor(3, 4), QColor(Qt::black));

    m_button->clearFocus();
    QVERIFY(!m_button->showsFocusMark());
    QCOMPARE(rendered(m_button, 1, Qt::white), plain1);
    QCOMPARE(rendered(m_button, 2, Qt::white), plain2);
}

void TestTSelButton::spaceAndEnterClick()
{
    m_button->setFocus(Qt::TabFocusReason);
    // Space presses on the way down and clicks on the way up, without the mouse's signals.
    QTest::keyPress(m_button, Qt::Key_Space);
    QCOMPARE(m_button->look(), TSelButton::Look::Pressed);
    QVERIFY(m_log.isEmpty());
    QTest::keyRelease(m_button, Qt::Key_Space);
    QCOMPARE(m_log, QStringList{"click:Normal"});
    QCOMPARE(m_button->look(), TSelButton::Look::Normal);

    QTest::keyClick(m_button, Qt::Key_Return);
    QTest::keyClick(m_button, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(m_log, (QStringList{"click:Normal", "click:Normal", "click:Normal"}));

    // Space held down while the focus goes elsewhere is no click.
    QTest::keyPress(m_button, Qt::Key_Space);
    m_button->clearFocus();
    QTest::keyRelease(m_button, Qt::Key_Space);
    QCOMPARE(m_log.size(), 3);
    QCOMPARE(m_button->look(), TSelButton::Look::Normal);

    // Other keys go on to the window.
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(m_button, &letter);
    QVERIFY(!letter.isAccepted());
}

void TestTSelButton::ownFlagOffBlocksKeys()
{
    m_button->setButtonEnabled(false);
    m_button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(m_button, Qt::Key_Space);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(m_button, &enter);
    QVERIFY(enter.isAccepted()); // nor does the window's default take it
    QVERIFY(m_log.isEmpty());
    QCOMPARE(m_button->look(), TSelButton::Look::Normal);
}

void TestTSelButton::heardAsAPushButton()
{
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(m_button);
    QVERIFY(button);
    QCOMPARE(button->role(), QAccessible::PushButton);
    QCOMPARE(button->text(QAccessible::Name), QString("Done"));
    m_button->setCaption("Close");
    QCOMPARE(button->text(QAccessible::Name), QString("Close"));
    m_button->setAccessibleName("Close the help");
    QCOMPARE(button->text(QAccessible::Name), QString("Close the help"));
    QVERIFY(button->state().focusable);

    QAccessibleActionInterface* actions = button->actionInterface();
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(m_log, QStringList{"click:Normal"});

    m_button->setButtonEnabled(false);
    QVERIFY(button->state().disabled);
    QVERIFY(!actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(m_log.size(), 1);
}

QTEST_MAIN(TestTSelButton)
#include "tst_tselbutton.moc"
