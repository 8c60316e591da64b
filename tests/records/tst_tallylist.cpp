// The tally list window: ticking players, counting games, the confirmations
// answered headless, and the tally carried from one run to the next.

#include "controls/tselbutton.h"
#include "overrunblock.h"
#include "records/datafolder.h"
#include "records/tallystore.h"
#include "strictwarnings.h"
#include "tallyowner.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace velmora;

// One run's tally and its window: the book is written when the run ends.
struct TallyRun {
    TallyRun() { velmora::testing::ownTally(*window, *book); }
    std::unique_ptr<TallyBook> book = std::make_unique<TallyBook>();
    std::unique_ptr<Ttallylist> window = std::make_unique<Ttallylist>(*book);
    Ttallylist* operator->() const { return window.get(); }
    Ttallylist& operator*() const { return *window; }
    Ttallylist* get() const { return window.get(); }
};

class TestTallyList : public QObject {
    Q_OBJECT
private slots:
    void init();
    void firstRunWritesAnEmptyTally();
    void tickingAndCounting();
    void untickingAsksFirst();
    void resetAsksFirst();
    void theWindowOnlyAsks();
    void restartKeepsAllTimeCounts();
    void unreadableFileIsReportedAndKept_data();
    void unreadableFileIsReportedAndKept();

private:
    TallyRun open();
    QString text(const char* objectName) const;
    static QListWidget* list(Ttallylist& window, const char* name) { return window.findChild<QListWidget*>(name); }

    std::unique_ptr<QTemporaryDir> m_folder;
    Ttallylist* m_window = nullptr;
    QStringList m_questions;
    QStringList m_reports;
    bool m_answer = true;
};

void TestTallyList::init()
{
    velmora::testing::failOnUnexpectedWarnings();
    m_folder = std::make_unique<QTemporaryDir>();
    setDataFolderForTesting(m_folder->path());
    m_questions.clear();
    m_reports.clear();
}

TallyRun TestTallyList::open()
{
    TallyRun window;
    window->setConfirmer([this](const QString& question, std::function<void(bool)> answer) {
        m_questions << question;
        answer(m_answer);
    });
    window->setMessageReporter([this](const QString& report) { m_reports << report; });
    m_window = window.get();
    return window;
}

QString TestTallyList::text(const char* objectName) const
{
    auto* label = m_window->findChild<QLabel*>(objectName);
    return label ? label->text() : QStringLiteral("(missing)");
}

void TestTallyList::firstRunWritesAnEmptyTally()
{
    {
        auto window = open();
        QCOMPARE(text("mylabel_1"), QString("0"));
        QCOMPARE(list(*window, "listbox_tally")->count(), 0);
        QVERIFY(window->findChild<TSelButton*>("button_done"));
    }
    auto loaded = TallyStore(m_folder->path()).load();
    QVERIFY(loaded.read);
    QCOMPARE(loaded.tally.toText(), Tally().toText());
}

void TestTallyList::tickingAndCounting()
{
    auto window = open();
    for (const char* name : {"Ann", "Bob", "Cid"})
        window->addToChecklist(name, false);
    QListWidget* players = list(*window, "checklist");
    players->item(0)->setCheckState(Qt::Checked);
    players->item(1)->setCheckState(Qt::Checked);
    QListWidget* tallied = list(*window, "listbox_tally");
    QCOMPARE(tallied->count(), 2);
    QVERIFY(window->isTallied("ann"));
    // Unticking among the players does not stop tallying.
    players->item(0)->setCheckState(Qt::Unchecked);
    QCOMPARE(tallied->count(), 2);
    QCOMPARE(players->item(0)->checkState(), Qt::Checked);

    // Counted as the game core counts them; the window shows the book.
    window.book->addGame(window->checklist(), "addtomine");
    window.book->addGame(window->checklist(), "Bob");
    window.book->addDoubleBull();
    QCOMPARE(text("mylabel_1"), QString("2"));
    QCOMPARE(text("mylabel_2"), QString("1"));
    QCOMPARE(text("mylabel_3"), QString("1"));
    tallied->setCurrentRow(1);
    QCOMPARE(text("label_hisnametop"), QString("Bob's Tally"));
    QCOMPARE(text("label_hisname"), QString("Bob Wins:"));
    QStringList counts;
    for (int i = 1; i <= 8; ++i)
        counts << text(qPrintable(QString("label_%1").arg(i)));
    QCOMPARE(counts, QStringList({"2", "1", "1", "0", "2", "1", "1", "0"}));
    window.book->addGame(window->checklist(), "Cid");
    QCOMPARE(text("label_4"), QString("1"));
    QVERIFY(m_reports.isEmpty());
}

void TestTallyList::untickingAsksFirst()
{
    auto window = open();
    for (const char* name : {"Ann", "Bob", "Cid"})
        window->addToChecklist(name, false);
    QListWidget* players = list(*window, "checklist");
    for (int i = 0; i < 3; ++i)
        players->item(i)->setCheckState(Qt::Checked);
    window.book->addGame(window->checklist(), "Cid");
    QListWidget* tallied = list(*window, "listbox_tally");

    m_answer = false;
    tallied->item(1)->setCheckState(Qt::Unchecked);
    QCOMPARE(m_questions, QStringList({"This will delete Bob's Tally, Are you want to delete it?"}));
    QCOMPARE(tallied->item(1)->checkState(), Qt::Checked);
    QCOMPARE(window->tally().opponents(), QStringList({"Ann", "Bob", "Cid"}));

    // Cid stays chosen when Bob above him goes, and his counts follow him.
    tallied->setCurrentRow(2);
    m_answer = true;
    tallied->item(1)->setCheckState(Qt::Unchecked);
    QCOMPARE(window->tally().opponents(), QStringList({"Ann", "Cid"}));
    QCOMPARE(tallied->count(), 2);
    QCOMPARE(tallied->item(1)->text(), QString("Cid"));
    QCOMPARE(window->tally().cell(2, 2), QString("1"));
    QCOMPARE(players->item(1)->checkState(), Qt::Unchecked);
    QCOMPARE(tallied->currentRow(), 1);
    QCOMPARE(text("label_hisnametop"), QString("Cid's Tally"));
    window.book->addGame(window->checklist(), "Cid");
    QCOMPARE(text("label_2"), QString("2"));

    // Unticking the one shown empties the panel.
    tallied->item(1)->setCheckState(Qt::Unchecked);
    QCOMPARE(tallied->currentRow(), -1);
    QVERIFY(text("label_hisnametop").startsWith("Choose an opponent"));
    QCOMPARE(text("label_hisname"), QString("XX Wins:"));
    QCOMPARE(text("label_1"), QString("0"));
}

void TestTallyList::resetAsksFirst()
{
    auto window = open();
    window->addToChecklist("Ann", false);
    list(*window, "checklist")->item(0)->setCheckState(Qt::Checked);
    window.book->addGame(window->checklist(), "addtomine");
    auto* reset = window->findChild<TSelButton*>("button_reset");
    QVERIFY(reset);
    m_answer = false;
    emit reset->clicked();
    QCOMPARE(text("mylabel_1"), QString("1"));
    list(*window, "listbox_tally")->setCurrentRow(0);
    m_answer = true;
    emit reset->clicked();
    QCOMPARE(m_questions.last(), QString("Are you sure you want to reset the Tally?"));
    QCOMPARE(text("mylabel_1"), QString("0"));
    QCOMPARE(list(*window, "listbox_tally")->count(), 0);
    QVERIFY(!window->isTallied("Ann"));
    QCOMPARE(list(*window, "checklist")->item(0)->checkState(), Qt::Unchecked);
    // The counts go to 0 under the names they had.
    QCOMPARE(text("label_1"), QString("0"));
    QCOMPARE(text("label_hisnametop"), QString("Ann's Tally"));
    // Ticked again, Ann starts afresh and is not chosen by herself.
    list(*window, "checklist")->item(0)->setCheckState(Qt::Checked);
    QCOMPARE(list(*window, "listbox_tally")->currentRow(), -1);
}

void TestTallyList::theWindowOnlyAsks()
{
    // Nobody takes the requests here: the window asks, and shows the book
    // as it stays.
    TallyBook book;
    book.addOpponent("Bob");
    Ttallylist window(book);
    window.setConfirmer([](const QString&, std::function<void(bool)> answer) { answer(true); });
    QSignalSpy ticked(&window, &Ttallylist::tallyRequested);
    QSignalSpy unticked(&window, &Ttallylist::untallyRequested);
    QSignalSpy reset(&window, &Ttallylist::resetRequested);
    window.addToChecklist("Ann", false);
    window.addToChecklist("Bob", true);
    QListWidget* players = list(window, "checklist");
    players->item(0)->setCheckState(Qt::Checked);
    players->item(1)->setCheckState(Qt::Unchecked);
    QListWidget* tallied = list(window, "listbox_tally");
    tallied->item(0)->setCheckState(Qt::Unchecked);
    emit window.findChild<TSelButton*>("button_reset")->clicked();

    QCOMPARE(ticked, QList<QVariantList>({{"Ann"}}));
    QCOMPARE(unticked, QList<QVariantList>({{"Bob"}}));
    QCOMPARE(reset.count(), 1);
    QCOMPARE(book.tally().opponents(), QStringList({"Bob"}));
    QCOMPARE(players->item(0)->checkState(), Qt::Unchecked);
    QCOMPARE(players->item(1)->checkState(), Qt::Checked);
    QCOMPARE(tallied->count(), 1);
    QCOMPARE(tallied->item(0)->checkState(), Qt::Checked);
}

void TestTallyList::restartKeepsAllTimeCounts()
{
    {
        auto window = open();
        window->addToChecklist("Sam", false);
        list(*window, "checklist")->item(0)->setCheckState(Qt::Checked);
        window.book->addGame(window->checklist(), "addtomine");
    }
    auto window = open();
    QCOMPARE(text("mylabel_2"), QString("1"));
    list(*window, "listbox_tally")->setCurrentRow(0);
    QCOMPARE(text("label_3"), QString("1"));
    QCOMPARE(text("label_7"), QString("0"));
}

void TestTallyList::unreadableFileIsReportedAndKept_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("report");
    QTest::newRow("cut short") << QByteArray("WRZL\x05") << "Lzrw1 : Error reading from input file : %1";
    const auto overrun = tallytest::overrunFile();
    QTest::newRow("block overrun") << QByteArray(reinterpret_cast<const char*>(overrun.data()),
                                                 qsizetype(overrun.size()))
                                   << "%1 : Lzrw1 decompression : damaged data, a block yields more than 32768 bytes";
}

void TestTallyList::unreadableFileIsReportedAndKept()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, report);
    const QString path = m_folder->filePath("velmoratally.tld");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    {
        auto window = open();
        QTRY_COMPARE(m_reports, QStringList({report.arg(path)}));
        QCOMPARE(list(*window, "listbox_tally")->count(), 0);
        QCOMPARE(text("mylabel_1"), QString("0"));
    }
    QFile bad(path + ".bad");
    QVERIFY(bad.open(QIODevice::ReadOnly));
    QCOMPARE(bad.readAll(), content);
    QVERIFY(TallyStore(m_folder->path()).load().read);
}

QTEST_MAIN(TestTallyList)
#include "tst_tallylist.moc"
