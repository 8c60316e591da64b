#include "records/datafolder.h"
#include "records/gamesettings.h"
#include "records/inifile.h"
#include "records/settingstable.h"
#include "strictwarnings.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace velmora;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Files bigger than the limit cannot be written by this process: a full disk,
// even for root, who may write any folder.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void init();
    void defaultsBeforeAndAfterLoading();
    void integerKeys();
    void colourAndSwitchKeys();
    void phrases();
    void everyOptionSurvivesARoundTrip();
    void firstSaveWritesEveryKeyInOrder();
    void foreignContentSurvivesManySaves();
    void optionChangedBeforeLoadingKeepsTheRest();
    void closingRule();
    void failedWriteKeepsTheOldFile();
    void hostileFiles();
    void dataFolderRule();
    void lobbyKeysAreReadNeverWritten();

private:
    GameSettings* loaded(const QByteArray& contents);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<GameSettings> m_settings;
    QString m_path;
};

void TestSettings::init()
{
    velmora::testing::failOnUnexpectedWarnings();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath("kivolobby.ini");
    m_settings = std::make_unique<GameSettings>();
    m_settings->setFilePath(m_path);
}

GameSettings* TestSettings::loaded(const QByteArray& contents)
{
    writeAll(m_path, contents);
    m_settings->load();
    return m_settings.get();
}

void TestSettings::defaultsBeforeAndAfterLoading()
{
    // Chatter sounds stay off until the file is read...
    GameSettings& s = *m_settings;
    QVERIFY(!s.preferences().chatterSounds);

    // ...and the file's defaults when there is no file.
    QSignalSpy loadedSpy(&s, &GameSettings::loaded);
    s.load();
    QCOMPARE(loadedSpy.size(), 1);
    QCOMPARE(s.preferences().textsize, 8);
    QCOMPARE(s.preferences().textcolor, 0x00FF00u);
    QCOMPARE(s.preferences().bounds, QRect(3, 3, 740, 563));
    QVERIFY(s.preferences().points && s.preferences().playsounds && s.preferences().playvoiceovers && s.preferences().chatterSounds);
    QCOMPARE(s.preferences().botspeed, 500);
    QCOMPARE(s.preferences().turnsound, 0);
    QCOMPARE(s.storedPhrase(1), QString());
    QVERIFY(!QFile::exists(m_path)); // reading never creates the file
}

void TestSettings::integerKeys()
{
    GameSettings* s = loaded("[Velmora]\nTextsize=12\nTop= 17 \nLeft=$10\nWidth=12.5\nHeight=99999999999\n");
    QCOMPARE(s->preferences().textsize, 12);
    QCOMPARE(s->preferences().bounds, QRect(16, 17, 740, 563));

    s = loaded("[Velmora]\nTextsize=abc\nTop=-40\nLeft=\nWidth=-5\nHeight=0x20\n");
    QCOMPARE(s->preferences().textsize, 8);
    QCOMPARE(s->preferences().bounds, QRect(3, -40, 740, 563));

    s = loaded("[Velmora]\nTextsize=0\n");
    QCOMPARE(s->preferences().textsize, 8);
}

void TestSettings::colourAndSwitchKeys()
{
    GameSettings* s = loaded("[Velmora]\nTextcolor=$0000FF00\nPoints=0\nPlaysounds=FALSE\nPlayvoiceovers=false\n"
                             "ChatterSounds=false\nBotspeed=750\nTurnsound=1\n");
    QCOMPARE(s->preferences().textcolor, 0x00FF00u);
    QVERIFY(!s->preferences().points);
    QVERIFY(s->preferences().playsounds); // only "false" exactly turns a switch off
    QVERIFY(!s->preferences().playvoiceovers);
    QVERIFY(!s->preferences().chatterSounds);
    QCOMPARE(s->preferences().botspeed, 750);
    QCOMPARE(s->preferences().turnsound, 1);
    s->setTurnSound(1);
    QVERIFY(readAll(m_path).contains("\nBotspeed=750\n"));

    s = loaded("[Velmora]\nTextcolor=clLime\nPoints=no\nBotspeed=1000\nTurnsound=01\n");
    QCOMPARE(s->preferences().textcolor, 0x00FF00u);
    QVERIFY(s->preferences().points);
    QCOMPARE(s->preferences().botspeed, 500);
    QCOMPARE(s->preferences().turnsound, 0);

    s = loaded("[Velmora]\nTextcolor=lime\nPoints=\nBotspeed=250\n");
    QCOMPARE(s->preferences().textcolor, 0xFFFFFFu);
    QVERIFY(s->preferences().points);
    QCOMPARE(s->preferences().botspeed, 250);

    s = loaded("[Velmora]\nTextcolor=\n");
    QCOMPARE(s->preferences().textcolor, 0xFFFFFFu);
}

void TestSettings::lobbyKeysAreReadNeverWritten()
{
    QCOMPARE(m_settings->lobbyInstallerUrl(), QString()); // no file yet
    GameSettings* s = loaded("[Other]\nLobbyPath=/elsewhere\n[Velmora]\nLobbyInstallerUrl=https://host/setup.exe\n"
                             "LobbyPath=/opt/lobby\n");
    QCOMPARE(s->lobbyInstallerUrl(), QStringLiteral("https://host/setup.exe"));
    QCOMPARE(s->lobbyPath(), QStringLiteral("/opt/lobby"));
    // Read afresh at each call: the lobby may have changed the file meanwhile.
    s->setTextSize(12);
    writeAll(m_path, readAll(m_path).replace("/opt/lobby", "/usr/lobby"));
    QCOMPARE(s->lobbyPath(), QStringLiteral("/usr/lobby"));
    QVERIFY(readAll(m_path).contains("LobbyInstallerUrl=https://host/setup.exe"));
}

void TestSettings::phrases()
{
    GameSettings* s = loaded("[Velmora]\nPhrase2=Hi there\nPhrase3=\nPhrase10=Bye\n");
    QCOMPARE(s->storedPhrase(2), QString("Hi there"));
    QCOMPARE(s->storedPhrase(3), QString());
    QCOMPARE(s->storedPhrase(10), QString("Bye"));
    QCOMPARE(s->storedPhrase(11), QString());
    QCOMPARE(GameSettings::builtInPhrases().value(2), QString("Nice Try!"));

    // An emptied phrase is written empty; a line break cannot smuggle in a key.
    QFile::remove(m_path);
    QStringList edited = GameSettings::builtInPhrases();
    edited[0] = "gg\nPoints=0";
    edited[2] = "";
    s->savePhrases(edited);
    const QByteArray bytes = readAll(m_path);
    QVERIFY(bytes.startsWith("[Velmora]\nPhrase1=gg Points=0\nPhrase2=Good One!\nPhrase3=\nPhrase4=Excellent!\n"));
    QVERIFY(bytes.endsWith("Phrase10=See ya!\n"));
    s->load();
    QVERIFY(s->preferences().points);
    QCOMPARE(s->storedPhrase(3), QString());
    QCOMPARE(s->storedPhrase(1), QString("gg Points=0"));
}

void TestSettings::everyOptionSurvivesARoundTrip()
{
    // Every member away from its default; one the table misses, or keeps in
    // the wrong place, comes back changed.
    Preferences wanted;
    wanted.textsize = 14;
    wanted.bounds = QRect(-20, 40, 900, 700);
    wanted.textcolor = 0x123456;
    wanted.phrases.fill(QStringLiteral("gg"));
    wanted.points = wanted.playsounds = wanted.playvoiceovers = wanted.chatterSounds = false;
    wanted.botspeed = 250;
    wanted.turnsound = 1;
    for (const settings::Entry& entry : settings::table())
        m_settings->setOption(entry.id, entry.access.get(wanted));
    m_settings->savePhrases(QStringList(wanted.phrases.begin(), wanted.phrases.end()));

    GameSettings fresh;
    fresh.setFilePath(m_path);
    fresh.load();
    const Preferences& read = fresh.preferences();
    QCOMPARE(read.textsize, wanted.textsize);
    QCOMPARE(read.bounds, wanted.bounds);
    QCOMPARE(read.textcolor, wanted.textcolor);
    QCOMPARE(read.phrases, wanted.phrases);
    QVERIFY(!read.points && !read.playsounds && !read.playvoiceovers && !read.chatterSounds);
    QCOMPARE(read.botspeed, wanted.botspeed);
    QCOMPARE(read.turnsound, wanted.turnsound);
}

void TestSettings::firstSaveWritesEveryKeyInOrder()
{
    m_settings->load();
    m_settings->setTextColour(0x123456);
    QCOMPARE(readAll(m_path), QByteArray("[Velmora]\nTextsize=8\nTop=3\nLeft=3\nWidth=740\nHeight=563\n"
                                         "Botspeed=500\nPoints=1\nTurnsound=0\nTextcolor=$00123456\n"
                                         "Playsounds=true\nPlayvoiceovers=true\nChatterSounds=true\n"));
}

void TestSettings::foreignContentSurvivesManySaves()
{
    // The lobby's lines in its own letter case and line endings, a comment, no final newline.
    const QByteArray before = "; lobby settings\r\n[Lobby]\r\nUser=Ann\r\nvelmora=not ours\r\n\r\n";
    const QByteArray ours = "[VELMORA]\r\ntextsize=12\r\n; keep me\r\nCustom=1\r\n";
    const QByteArray after = "\r\n[Other]\r\nTextsize=99";
    GameSettings* s = loaded(before + ours + after);
    QCOMPARE(s->preferences().textsize, 12);

    for (int i = 0; i < 50; ++i) {
        s->setPlaySounds(i % 2 == 0);
        s->setTextSize(i % 2 == 0 ? 14 : 10);
    }
    const QByteArray expected =
        before +
        "[VELMORA]\r\nTextsize=10\r\n; keep me\r\nCustom=1\r\nTop=3\r\nLeft=3\r\n"
        "Width=740\r\nHeight=563\r\nBotspeed=500\r\nPoints=1\r\nTurnsound=0\r\n"
        "Textcolor=clLime\r\nPlaysounds=false\r\nPlayvoiceovers=true\r\nChatterSounds=true\r\n" +
        after;
    QCOMPARE(readAll(m_path), expected);
    s->savePhrases({"a", "b"});
    QVERIFY(readAll(m_path).startsWith(before));
    QVERIFY(readAll(m_path).endsWith("Phrase10=\r\n" + after));
}

void TestSettings::optionChangedBeforeLoadingKeepsTheRest()
{
    writeAll(m_path, "[Velmora]\nTextsize=14\nTop=100\n");
    m_settings->setPlaySounds(false);
    QCOMPARE(readAll(m_path), QByteArray("[Velmora]\nTextsize=14\nTop=100\nPlaysounds=false\n"));
}

void TestSettings::closingRule()
{
    const QRect workArea(0, 0, 1280, 1000);
    // Closing where the window was first placed writes nothing, before or after loading.
    QVERIFY(!m_settings->saveBoundsAtClose(Preferences::kDefaultBounds, workArea));
    m_settings->load();
    QVERIFY(!m_settings->saveBoundsAtClose(Preferences::kDefaultBounds, workArea));
    QVERIFY(!QFile::exists(m_path));

    QVERIFY(m_settings->saveBoundsAtClose({50, 60, 800, 600}, workArea));
    QVERIFY(readAll(m_path).contains("\nTop=60\nLeft=50\nWidth=800\nHeight=600\n"));
    QVERIFY(!m_settings->saveBoundsAtClose({50, 60, 800, 600}, workArea));

    // Too big for the work area: 15 pixels smaller, once, not fitted.
    QVERIFY(m_settings->saveBoundsAtClose({10, 10, 1300, 2000}, workArea));
    QCOMPARE(m_settings->preferences().bounds, QRect(10, 10, 1285, 1985));
    m_settings->load();
    QCOMPARE(m_settings->preferences().bounds, QRect(10, 10, 1285, 1985));
}

void TestSettings::failedWriteKeepsTheOldFile()
{
    GameSettings* s = loaded("[Velmora]\nTextsize=10\n");
    s->setBotSpeed(250);
    const QByteArray good = readAll(m_path);
    QSignalSpy failed(s, &GameSettings::writeFailed);
    {
        const FileSizeLimit limit(good.size() - 1); // the new file cannot be written whole
        s->setBotSpeed(750);
    }
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), "Unable to write to " + m_path);
    QCOMPARE(readAll(m_path), good);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"kivolobby.ini"}); // no temporary left

    // A folder that is not there.
    s->setFilePath(m_dir->filePath("gone/kivolobby.ini"));
    s->setTextSize(12);
    QCOMPARE(failed.size(), 2);
}

void TestSettings::hostileFiles()
{
    // Too big to be the settings file: neither read nor replaced.
    QByteArray huge("[Velmora]\nTextsize=12\n");
    huge += QByteArray(IniFile::kMaxBytes, 'x');
    GameSettings* s = loaded(huge);
    QCOMPARE(s->preferences().textsize, 8);
    QSignalSpy failed(s, &GameSettings::writeFailed);
    s->setTextSize(10);
    QCOMPARE(failed.size(), 1);
    QCOMPARE(readAll(m_path).size(), huge.size());

    // Binary bytes, bare brackets and a long line are carried through untouched.
    const QByteArray binary = QByteArray("\0\xff\xfe[\n=\n[]\n[Velmora\n", 19) + QByteArray(100000, '\x01') + "\n";
    s = loaded(binary + "[Velmora]\nTop=\xe9t\xe9\n");
    QCOMPARE(s->preferences().bounds.top(), 3);
    s->setTextSize(14);
    QVERIFY(readAll(m_path).startsWith(binary + "[Velmora]\nTop=3\n"));

    IniFile file;
    file.parse("[S]\nk=caf\xe9\nu=caf\xc3\xa9"); // Latin-1 and UTF-8 values
    QCOMPARE(file.value("s", "K"), std::optional<QString>(QString::fromUtf8("caf\xc3\xa9")));
    QCOMPARE(file.value("S", "u"), std::optional<QString>(QString::fromUtf8("caf\xc3\xa9")));
    QCOMPARE(file.value("S", "missing"), std::nullopt);
    file.setValue("S", "n", "1");
    QCOMPARE(file.toBytes(), QByteArray("[S]\nk=caf\xe9\nu=caf\xc3\xa9\nn=1\n"));
}

void TestSettings::dataFolderRule()
{
    QCOMPARE(chooseDataFolder(m_dir->path()), m_dir->path());

    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    const QString fallback = chooseDataFolder(m_dir->filePath("no/such/folder"));
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(fallback, config.path() + "/velmora");
    QVERIFY(QFileInfo(fallback).isDir());

    setDataFolderForTesting(m_dir->path());
    QCOMPARE(dataFolder(), m_dir->path());
    GameSettings unset;
    QCOMPARE(unset.filePath(), m_dir->filePath("kivolobby.ini"));
    setDataFolderForTesting({});
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
