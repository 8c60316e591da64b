// The tally of games: what a finished game counts, the stored grid text, and
// keeping the file safe across runs, failed saves and unreadable files.

#include "records/tally.h"
#include "records/tallycontainer.h"
#include "records/tallystore.h"
#include "strictwarnings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace velmora;

class TestTally : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void gridText();
    void winningAndLosing();
    void whatAGameCountsAs();
    void removingAndResetting();
    void unreadableCellsCountNothing();
    void damagedText();
    void restartKeepsAllTimeCounts();
    void unreadableFileIsKeptAsBad();
    void failedSaveKeepsTheOldFile();
};

namespace {

QList<QByteArray> lines(const Tally& tally)
{
    QByteArray text = tally.toText();
    if (!text.endsWith("\r\n"))
        return {};
    text.chop(2);
    return text.split('\n');
}

QStringList row(const Tally& tally, int r)
{
    QStringList cells;
    for (int c = 0; c < Tally::kColumns; ++c)
        cells << tally.cell(c, r);
    return cells;
}

void writeRaw(const QString& path, const QByteArray& data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray readRaw(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void TestTally::gridText()
{
    Tally tally;
    QCOMPARE(lines(tally),
             QList<QByteArray>({"9\r", "1\r", "0\r", "0\r", "0\r", "0\r", "0\r", "0\r", "0\r", "0\r", "0"}));

    // Sam: five games together, three won by us, one of them this session, and one double bull.
    QVERIFY(tally.addOpponent("Sam"));
    for (const QString& winner : QStringList{"Sam", "Sam", Tally::mine(), Tally::mine()})
        QVERIFY(tally.addGame({"Sam"}, winner).ok());
    tally.startSession();
    QVERIFY(tally.addGame({"Sam"}, Tally::mine()).ok());
    QVERIFY(tally.addDoubleBull().ok());
    QCOMPARE(tally.toText(), QByteArray("9\r\n2\r\n0\r\nSam\r\n5\r\n5\r\n3\r\n2\r\n1\r\n3\r\n0\r\n0\r\n0\r\n1\r\n"
                                        "0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n"));
    auto back = Tally::fromText(tally.toText());
    QVERIFY(back.ok());
    QCOMPARE(back.value().toText(), tally.toText());
    // Bare line feeds and text after a count are read too.
    auto loose = Tally::fromText("9 columns\n1\n0\n4\n2\n1\n0\n0\n0\n0\n0\n");
    QVERIFY(loose.ok());
    QCOMPARE(row(loose.value(), 0), QStringList({"0", "4", "2", "1", "0", "0", "0", "0", "0"}));
}

void TestTally::winningAndLosing()
{
    Tally tally;
    QVERIFY(tally.addOpponent("Ann"));
    QVERIFY(tally.addOpponent("Bob"));
    // A win against two tallied opponents and an untallied one (names in any case).
    QVERIFY(tally.addGame({"ann", "Cid", "Bob"}, Tally::mine()).ok());
    QCOMPARE(row(tally, 0), QStringList({"0", "1", "1", "0", "0", "0", "0", "0", "0"}));
    QCOMPARE(row(tally, 1), QStringList({"Ann", "1", "0", "1", "0", "1", "0", "1", "0"}));
    QCOMPARE(row(tally, 2), QStringList({"Bob", "1", "0", "1", "0", "1", "0", "1", "0"}));
    QCOMPARE(tally.opponents(), QStringList({"Ann", "Bob"}));
    // Lost to Bob with Ann at the table; a name seated twice counts once.
    QVERIFY(tally.addGame({"Ann", "Bob", "Bob"}, "Bob").ok());
    QCOMPARE(row(tally, 0), QStringList({"0", "2", "1", "0", "0", "0", "0", "0", "0"}));
    QCOMPARE(row(tally, 1), QStringList({"Ann", "2", "0", "1", "1", "2", "0", "1", "1"}));
    QCOMPARE(row(tally, 2), QStringList({"Bob", "2", "1", "1", "0", "2", "1", "1", "0"}));
    // Lost to an untallied player: a game for everyone, won by neither tallied side.
    QVERIFY(tally.addGame({"Bob", "Cid"}, "Cid").ok());
    QCOMPARE(row(tally, 2), QStringList({"Bob", "3", "1", "1", "1", "3", "1", "1", "1"}));
    QCOMPARE(tally.cell(2, 0), QString("1"));
}

void TestTally::whatAGameCountsAs()
{
    QCOMPARE(Tally::winnerToCount("Me", "Me", true, true, false), Tally::mine());
    QCOMPARE(Tally::winnerToCount("Sam", "Me", true, true, false), QString("Sam"));
    QCOMPARE(Tally::winnerToCount("me", "Me", true, true, false), QString("me"));
    QVERIFY(Tally::winnerToCount("Me and Sam", "Me", true, true, true).isEmpty());
    QVERIFY(Tally::winnerToCount("Sam", "Me", false, true, false).isEmpty());
    QVERIFY(Tally::winnerToCount("Sam", "Me", true, false, false).isEmpty());
}

void TestTally::removingAndResetting()
{
    Tally tally;
    for (const char* name : {"Ann", "Bob", "Cid"})
        QVERIFY(tally.addOpponent(name));
    QVERIFY(!tally.addOpponent("BOB"));
    QVERIFY(!tally.addOpponent("Two\r\nlines"));
    QVERIFY(!tally.addOpponent(""));
    QVERIFY(tally.addGame({"Bob", "Cid"}, "Cid").ok());
    QVERIFY(tally.addGame({"Cid"}, Tally::mine()).ok());
    const QStringList cid = row(tally, 3);
    tally.removeOpponent(1);
    QCOMPARE(tally.opponents(), QStringList({"Ann", "Cid"}));
    QCOMPARE(row(tally, 2), cid);
    QCOMPARE(tally.opponentIndex("cid"), 1);
    tally.removeOpponent(5);
    QCOMPARE(tally.rowCount(), 3);

    tally.reset();
    QCOMPARE(tally.rowCount(), 1);
    QCOMPARE(row(tally, 0), QStringList(9, "0"));
    QVERIFY(!tally.isTallied("Cid"));
}

void TestTally::unreadableCellsCountNothing()
{
    auto edited = Tally::fromText("9\r\n3\r\n0\r\nAnn\r\nBob\r\n2\r\n1\r\nlots\r\n1\r\n0\r\n0\r\n0\r\n1\r\n1\r\n"
                                  "0\r\n0\r\n0\r\n0\r\n\r\n\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
    QVERIFY(edited.ok());
    Tally tally = edited.value();
    const QByteArray before = tally.toText();
    auto counted = tally.addGame({"Ann", "Bob"}, Tally::mine());
    QVERIFY(!counted.ok());
    QCOMPARE(QString::fromStdString(counted.error()), QString("'lots' is not a valid integer value"));
    QCOMPARE(tally.toText(), before);
    // Empty cells count as 0.
    QVERIFY(tally.addGame({"Ann"}, "Ann").ok());
    QCOMPARE(row(tally, 1), QStringList({"Ann", "2", "1", "1", "0", "1", "1", "0", "0"}));
}

void TestTally::damagedText()
{
    for (const QByteArray& text :
         {QByteArray(""), QByteArray("8\r\n1\r\n"), QByteArray("9\r\n0\r\n"), QByteArray("9\r\n999999999\r\n"),
          QByteArray("9\r\n2\r\n0\r\nSam\r\n5\r\n"), QByteArray("nine\r\n1\r\n")})
        QVERIFY2(!Tally::fromText(text).ok(), text.constData());
}

void TestTally::restartKeepsAllTimeCounts()
{
    QTemporaryDir folder;
    TallyStore first(folder.path());
    auto loaded = first.load();
    QVERIFY(loaded.read);
    QCOMPARE(loaded.tally.rowCount(), 1);
    QVERIFY(loaded.tally.addOpponent("Sam"));
    QVERIFY(loaded.tally.addGame({"Sam"}, Tally::mine()).ok());
    QVERIFY(first.save(loaded.tally).ok());
    QVERIFY(!QFile::exists(QDir::current().filePath("temp.txt")));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList({"velmoratally.tld"}));

    TallyStore second(folder.path());
    auto again = second.load();
    QVERIFY(again.read);
    QCOMPARE(row(again.tally, 0), QStringList({"0", "1", "1", "0", "0", "0", "0", "0", "0"}));
    QCOMPARE(row(again.tally, 1), QStringList({"Sam", "1", "0", "1", "0", "0", "0", "0", "0"}));
}

void TestTally::unreadableFileIsKeptAsBad()
{
    QTemporaryDir folder;
    TallyStore store(folder.path());
    writeRaw(store.path(), "not a tally at all");
    writeRaw(store.badPath(), "an older bad file");
    auto loaded = store.load();
    QCOMPARE(QString::fromStdString(loaded.read.error()),
             store.path() + " : Lzrw1 decompression : this file has no valid header !");
    QCOMPARE(loaded.tally.rowCount(), 1);
    QVERIFY(store.save(loaded.tally).ok());
    QCOMPARE(readRaw(store.badPath()), QByteArray("not a tally at all"));
    QVERIFY(TallyStore(folder.path()).load().read);

    // A file that expands but does not hold a tally is kept too.
    auto packed = tallyfile::compress(std::vector<std::uint8_t>{'7', '\r', '\n'});
    writeRaw(store.path(),
             QByteArray(reinterpret_cast<const char*>(packed.value().data()), qsizetype(packed.value().size())));
    QVERIFY(!store.load().read);
    QVERIFY(store.save(Tally()).ok());
    QCOMPARE(readRaw(store.badPath()).size(), qsizetype(packed.value().size()));
}

void TestTally::failedSaveKeepsTheOldFile()
{
    QTemporaryDir folder;
    TallyStore store(folder.path());
    Tally tally;
    QVERIFY(store.save(tally).ok());
    const QByteArray old = readRaw(store.path());
    for (int i = 0; i < 200; ++i)
        QVERIFY(tally.addOpponent(QString("Player %1 %2").arg(i).arg(i * 7919)));

    // Writes beyond a small size limit fail (even for root).
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = rlim_t(old.size() + 16);
    setrlimit(RLIMIT_FSIZE, &small);
    const auto result = store.save(tally);
    setrlimit(RLIMIT_FSIZE, &saved);

    QVERIFY(!result.ok());
    QCOMPARE(readRaw(store.path()), old);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"velmoratally.tld"}));
    QVERIFY(store.save(tally).ok());
    QCOMPARE(TallyStore(folder.path()).load().tally.opponents().size(), 200);
}

QTEST_GUILESS_MAIN(TestTally)
#include "tst_tally.moc"
