// What a screen reader meets in each side window: the window itself as a
// window, dialog or alert (a reader ignores the focus inside a top level it
// takes for a plain filler), and every control Tab reaches named, reported
// focused, and with no frame between it and its window (a reader takes a
// frame for a window of its own and keeps quiet about what is in it).
// Offscreen Qt sends no accessibility events at all (it has no platform
// accessibility), so the focus events themselves are heard by Orca in
// tools/screenreader-check.sh.

#include "../lobby/recordinglauncher.h"
#include "accessibletree.h"
#include "lobby/lobbywindow.h"
#include "records/datafolder.h"
#include "strictwarnings.h"
#include "temporarydatafolder.h"
#include "windows/aboutform.h"
#include "windows/downloadform.h"
#include "windows/gamestartform.h"
#include "windows/helpform.h"
#include "windows/phrasesform.h"
#include "windows/spylistform.h"
#include "windows/tallylistform.h"

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QMetaEnum>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <functional>
#include <memory>

using namespace velmora;

namespace {

using MakeWindow = std::function<std::unique_ptr<QWidget>()>;

QString roleName(QAccessible::Role role)
{
    const char* key = QMetaEnum::fromType<QAccessible::Role>().valueToKey(role);
    return key ? QString::fromLatin1(key) : QString::number(role);
}

// The roles a reader takes for a window of their own.
bool isTopLevelRole(QAccessible::Role role)
{
    return role == QAccessible::Window || role == QAccessible::Dialog || role == QAccessible::AlertMessage ||
           role == QAccessible::Border;
}

// Empty when a reader meets `widget` well; else what is wrong with it.
QString readerTrouble(QWidget* widget, QWidget* window)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    const QString what = QStringLiteral("%1 (%2)").arg(widget->objectName(), widget->metaObject()->className());
    if (!iface)
        return what + QStringLiteral(" has no accessible");
    if (iface->text(QAccessible::Name).trimmed().isEmpty())
        return what + QStringLiteral(" has no name");
    if (iface->role() == QAccessible::Client || iface->role() == QAccessible::Border)
        return what + QStringLiteral(" has the role ") + roleName(iface->role());
    if (!iface->state().focused)
        return what + QStringLiteral(" is not reported focused");
    for (QAccessibleInterface* up = iface->parent(); up; up = up->parent()) {
        if (up->object() == window)
            return {};
        if (isTopLevelRole(up->role()))
            return what + QStringLiteral(" sits in a ") + roleName(up->role());
    }
    return what + QStringLiteral(" is not under its window");
}

} // namespace

class TestWindowReader : public QObject {
    Q_OBJECT
    std::optional<testing::TemporaryDataFolder> m_folder;
    TallyBook m_book;
private slots:
    void init()
    {
        velmora::testing::failOnUnexpectedWarnings();
        m_folder.emplace();
    }
    void cleanup() { m_folder.reset(); }
    void tabReachesReadableControls_data();
    void tabReachesReadableControls();
};

void TestWindowReader::tabReachesReadableControls_data()
{
    QTest::addColumn<MakeWindow>("make");
    QTest::addColumn<int>("controls"); // how many Tab reaches, at least
    auto row = [](const char* name, int controls, MakeWindow make) { QTest::newRow(name) << make << controls; };
    row("about", 1, [] { return std::make_unique<Tabout>(); });
    row("help", 3, [] { return std::make_unique<Thelp>(); });
    row("tally list", 4, [this] { return std::make_unique<Ttallylist>(m_book); });
    row("spy list", 1, [] {
        auto spies = std::make_unique<Tspylist>();
        spies->addEntry(QStringLiteral("5: Bob"));
        return spies;
    });
    row("phrases", 4, [] { return std::make_unique<Tphrases>(); });
    row("lobby offer", 3, [] { return std::make_unique<Tdownload>(); });
    row("game start", 3, [] { return std::make_unique<Tgamestart>(); });
    row("lobby", 5,
        [] { return std::make_unique<lobby::LobbyWindow>(std::make_unique<testing::RecordingLauncher>()); });
    row("message box", 2, [] {
        return std::make_unique<QMessageBox>(QMessageBox::Question, QStringLiteral("Velmora"),
                                             QStringLiteral("Remove the tally?"), QMessageBox::Yes | QMessageBox::No);
    });
}

void TestWindowReader::tabReachesReadableControls()
{
    QFETCH(MakeWindow, make);
    QFETCH(int, controls);
    const std::unique_ptr<QWidget> window = make();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    QAccessibleInterface* top = QAccessible::queryAccessibleInterface(window.get());
    QVERIFY2(isTopLevelRole(top->role()) && top->role() != QAccessible::Border, qPrintable(roleName(top->role())));
    QVERIFY(!top->text(QAccessible::Name).isEmpty());
    // Captions read without "colon" or "semicolon" ("Total Games", "5, Bob").
    const QStringList punctuated = testing::punctuatedTexts(window.get());
    QVERIFY2(punctuated.isEmpty(), qPrintable(punctuated.join(u'|')));

    QWidget* first = QApplication::focusWidget();
    QVERIFY(first);
    int reached = 0;
    for (QWidget* now = first; reached < 30 && (reached == 0 || now != first); now = QApplication::focusWidget()) {
        const QString trouble = readerTrouble(now, window.get());
        QVERIFY2(trouble.isEmpty(), qPrintable(trouble));
        ++reached;
        QTest::keyClick(now, Qt::Key_Tab);
    }
    QVERIFY2(reached >= controls, qPrintable(QString::number(reached)));
}

QTEST_MAIN(TestWindowReader)
#include "tst_windowreader.moc"
