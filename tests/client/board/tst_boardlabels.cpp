// The board's labels and panels that must fit their space: eliding seat
// names, the dartboard inside the board's frame, pictures made only when
// shown, and the score board explanation laid out without overlaps.

#include "client/board/boardpanel.h"
#include "client/board/dartboardpanel.h"
#include "client/board/elidedlabel.h"
#include "client/board/picturelabel.h"
#include "client/scoreboardhelp.h"
#include "strictwarnings.h"

#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QtMath>

using namespace velmora;

namespace {

const QColor kFrame(0, 128, 0);

// The rightmost logical column of a grabbed label that holds any lime text.
int rightmostInk(const QImage& shot)
{
    int right = -1;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (qGreen(shot.pixel(x, y)) > 128 && x > right)
                right = x;
        }
    }
    return qFloor(right / shot.devicePixelRatio());
}

// The colour at a logical point of a grab taken at any pixel ratio.
QColor colourAt(const QImage& shot, int x, int y)
{
    const qreal dpr = shot.devicePixelRatio();
    return shot.pixelColor(qFloor(x * dpr), qFloor(y * dpr));
}

} // namespace

class TestBoardLabels : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void longNamesAreElidedShortOnesShownWhole();
    void dartboardLeavesTheBoardFrameVisible();
    void pictureIsMadeOnlyWhenPainted();
    void scoreHelpBlocksDoNotOverlap_data();
    void scoreHelpBlocksDoNotOverlap();
};

void TestBoardLabels::longNamesAreElidedShortOnesShownWhole()
{
    QWidget board;
    board.resize(200, 40);
    QPalette pal = board.palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, QColor(0, 255, 0));
    board.setPalette(pal);
    board.setAutoFillBackground(true);
    auto* name = new QLabel(&board);
    name->setGeometry(31, 20, 126, 16);
    elideLabelText(name);
    elideLabelText(name); // a second call changes nothing
    board.show();

    const QString longName = QString(40, QLatin1Char('W'));
    name->setText(longName);
    QCOMPARE(name->text(), longName); // the whole name stays the label's text
    const QImage longShot = board.grab(name->geometry()).toImage();
    const int ink = rightmostInk(longShot);
    QVERIFY(ink > 60);
    QVERIFY2(ink < name->width(), "a long name is drawn past its label");

    // Markup from a peer is shown as typed, and a short name is not cut.
    name->setText(QStringLiteral("<b>Ann</b>"));
    QCOMPARE(name->textFormat(), Qt::PlainText);
    const int shortInk = rightmostInk(board.grab(name->geometry()).toImage());
    QVERIFY(shortInk > name->fontMetrics().horizontalAdvance(QStringLiteral("<b>Ann</")) - 2);
}

void TestBoardLabels::dartboardLeavesTheBoardFrameVisible()
{
    // The main window's layout at its start-up size: the chat area fills the
    // board down to its last row and the dartboard sits at the chat area's right.
    BoardPanel board;
    board.setObjectName(QStringLiteral("panel_board"));
    board.resize(728, 514);
    auto* chat = new QWidget(&board);
    chat->setGeometry(2, 268, 724, 246);
    auto* dartboard = new DartboardPanel(chat);
    dartboard->move(495, 0);
    board.show();

    const QImage shot = board.grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int x = 500; x < 724; x += 7)
        QCOMPARE(colourAt(shot, x, 513), kFrame);
    QCOMPARE(colourAt(shot, 727, 400), kFrame);
    // The dartboard itself is still drawn just above the frame.
    QVERIFY(colourAt(shot, 497 + 114, 268 + 123) != QColor(Qt::black));

    // Outside any board the panel draws its whole picture.
    DartboardPanel alone;
    alone.show();
    const QImage aloneShot = alone.grab().toImage();
    QCOMPARE(colourAt(aloneShot, 100, alone.height() - 1).alpha(), 255);
}

void TestBoardLabels::pictureIsMadeOnlyWhenPainted()
{
    int made = 0;
    const auto picture = [&made](qreal dpr) {
        ++made;
        QPixmap pixmap(QSize(22, 11) * dpr);
        pixmap.setDevicePixelRatio(dpr);
        pixmap.fill(Qt::red);
        return pixmap;
    };
    QWidget parent;
    PictureLabel sized(QStringLiteral("image_eyes1"), picture, QSize(22, 11), &parent);
    PictureLabel placed(QStringLiteral("image_turn"), picture, &parent);
    placed.setGeometry(1, 20, 22, 16);
    QCOMPARE(made, 0);
    QCOMPARE(sized.size(), QSize(22, 11));
    QCOMPARE(sized.sizeHint(), QSize(22, 11));
    QCOMPARE(placed.size(), QSize(22, 16));

    QCOMPARE(colourAt(sized.grab().toImage(), 10, 5), QColor(Qt::red));
    QVERIFY(made >= 1);
}

void TestBoardLabels::scoreHelpBlocksDoNotOverlap_data()
{
    QTest::addColumn<QString>("family");
    QTest::addRow("sans") << QStringLiteral("DejaVu Sans");
    QTest::addRow("wide serif") << QStringLiteral("DejaVu Serif");
}

void TestBoardLabels::scoreHelpBlocksDoNotOverlap()
{
    QFETCH(QString, family);
    ScoreBoardHelp help;
    help.setFont(QFont(family));
    QCOMPARE(help.objectName(), QStringLiteral("panel_scoreinstructions"));
    QCOMPARE(help.geometry(), QRect(200, 0, 280, 425));

    const QList<QRect> blocks = help.blockRects();
    QCOMPARE(blocks.size(), 10); // heading, paragraph, headings row, paragraph, 4 lights, 2 paragraphs
    const QRect inside = help.rect().adjusted(3, 3, -3, -3);
    for (int i = 0; i < blocks.size(); ++i) {
        QVERIFY2(inside.contains(blocks[i]), qPrintable(QStringLiteral("block %1 leaves the panel").arg(i)));
        if (i > 0)
            QVERIFY2(blocks[i].top() >= blocks[i - 1].bottom(),
                     qPrintable(QStringLiteral("block %1 overlaps the one above").arg(i)));
    }
}

QTEST_MAIN(TestBoardLabels)
#include "tst_boardlabels.moc"
