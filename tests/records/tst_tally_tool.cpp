// The velmora-tally executable, run as a player would run it.

#include "overrunblock.h"
#include "records/tally.h"
#include "records/tallystore.h"
#include "strictwarnings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;

class TestTallyTool : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void showsATally();
    void convertsFilesBothWays();
    void failuresLeaveNoOutput();
    void usage();

private:
    struct Run {
        int code = -1;
        QString out;
        QString err;
    };
    Run run(const QStringList& arguments);
    QTemporaryDir m_folder;
};

TestTallyTool::Run TestTallyTool::run(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(VELMORA_TALLY_EXE), arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

void TestTallyTool::showsATally()
{
    TallyStore store(m_folder.path());
    Tally tally;
    QVERIFY(tally.addOpponent("Sam"));
    QVERIFY(tally.addGame({"Sam"}, Tally::mine()).ok());
    QVERIFY(tally.addGame({"Sam"}, "Sam").ok());
    const QString longName = QStringLiteral("Bartholomew of the Seven Hills");
    QVERIFY(tally.addOpponent(longName));
    QVERIFY(store.save(tally).ok());
    const Run shown = run({"show", store.path()});
    QCOMPARE(shown.code, 0);
    QVERIFY2(shown.out.contains("Your total: 2 games, 1 wins, 0 double bulls"), qPrintable(shown.out));
    QVERIFY(shown.out.contains(QRegularExpression("\nSam +2 +1 +1 +0\n")));
    // Titles and names are shown whole, the counts still in their columns.
    const QStringList lines = shown.out.split('\n');
    const QString heads = "   Games  His win Your win  Neither";
    QVERIFY2(lines.contains(QString("Session (as last saved)").leftJustified(longName.size()) + heads),
             qPrintable(shown.out));
    QCOMPARE(lines.count(longName + "       0       0       0       0"), 2);
}

void TestTallyTool::convertsFilesBothWays()
{
    const QString plain = m_folder.filePath("plain.txt");
    QFile file(plain);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("abc").repeated(4));
    file.close();
    QCOMPARE(run({"compress", plain, m_folder.filePath("packed")}).code, 0);
    QFile packed(m_folder.filePath("packed"));
    QVERIFY(packed.open(QIODevice::ReadOnly));
    QCOMPARE(packed.readAll().toHex(), QByteArray("57525a4c0c00000008004010006162630036"));
    QCOMPARE(run({"expand", m_folder.filePath("packed"), m_folder.filePath("back")}).code, 0);
    QFile back(m_folder.filePath("back"));
    QVERIFY(back.open(QIODevice::ReadOnly));
    QCOMPARE(back.readAll(), QByteArray("abcabcabcabc"));
}

void TestTallyTool::failuresLeaveNoOutput()
{
    const QString notPacked = m_folder.filePath("not-packed.txt");
    QFile file(notPacked);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("!HZL and more");
    file.close();
    const QString out = m_folder.filePath("never");
    const Run expanded = run({"expand", notPacked, out});
    QCOMPARE(expanded.code, 1);
    QCOMPARE(expanded.err.trimmed(),
             "velmora-tally: " + notPacked + " : Lzrw1 decompression : this file has no valid header !");
    QVERIFY(!QFile::exists(out));
    const Run shown = run({"show", m_folder.filePath("missing.tld")});
    QCOMPARE(shown.code, 1);
    QVERIFY(shown.err.contains("Failed to open input file"));
    QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden).filter("never").size(), 0);

    // A block that would yield more than 32 KiB, once a heap overrun.
    const QString overrun = m_folder.filePath("overrun.tld");
    QFile damaged(overrun);
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    const auto bytes = tallytest::overrunFile();
    damaged.write(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    damaged.close();
    const QString refusal =
        "velmora-tally: " + overrun + " : Lzrw1 decompression : damaged data, a block yields more than 32768 bytes";
    const Run overrunExpanded = run({"expand", overrun, out});
    QCOMPARE(overrunExpanded.code, 1);
    QCOMPARE(overrunExpanded.err.trimmed(), refusal);
    QVERIFY(!QFile::exists(out));
    const Run overrunShown = run({"show", overrun});
    QCOMPARE(overrunShown.code, 1);
    QCOMPARE(overrunShown.err.trimmed(), refusal);
    QCOMPARE(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden).filter("never").size(), 0);
}

void TestTallyTool::usage()
{
    const Run wrong = run({"squeeze", "a", "b"});
    QCOMPARE(wrong.code, 2);
    QVERIFY(wrong.err.startsWith("Usage: velmora-tally show FILE"));
    QCOMPARE(run({"--help"}).code, 0);
}

QTEST_GUILESS_MAIN(TestTallyTool)
#include "tst_tally_tool.moc"
