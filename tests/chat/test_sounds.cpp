#include "game/dartresult.h"
#include "media/soundnames.h"
#include "soundplayer.h"
#include "strictwarnings.h"

#include <QAbstractEventDispatcher>
#include <QAudioDevice>
#include <QDir>
#include <QFile>
#include <QMediaDevices>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QSoundEffect>
#include <QTest>

using namespace velmora;

namespace {

struct WaveFormat {
    int format = 0;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    qint64 dataBytes = -1;
};

// Walks the RIFF chunks of a WAV file; dataBytes stays -1 when the file is
// not one or its chunks run past its end.
WaveFormat readWaveFormat(const QByteArray& file)
{
    WaveFormat wave;
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return wave;
    const auto byte = [&](qsizetype at) { return qint64(quint8(file.at(at))); };
    const auto u16 = [&](qsizetype at) { return int(byte(at) | byte(at + 1) << 8); };
    const auto u32 = [&](qsizetype at) { return qint64(u16(at)) | qint64(u16(at + 2)) << 16; };
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const QByteArray id = file.mid(at, 4);
        const qint64 size = u32(at + 4);
        if (at + 8 + size > file.size())
            return {};
        if (id == "fmt " && size >= 16) {
            wave.format = u16(at + 8);
            wave.channels = u16(at + 10);
            wave.rate = int(u32(at + 12));
            wave.bits = u16(at + 22);
        } else if (id == "data") {
            wave.dataBytes = size;
        }
        at += 8 + size + (size & 1);
    }
    return wave;
}

// Every name the game can ask for, from the mapping functions themselves.
QSet<QString> producibleNames()
{
    QSet<QString> names{sounds::diceName, sounds::enteredName, sounds::winnerName};
    for (int choice : {-1, 0, 1, 2})
        names << sounds::turnSound(choice);
    for (int sum = 0; sum <= 24; ++sum)
        names << sounds::dartSound(DartResult::fromSum(sum));
    names << sounds::dartSound(DartResult());
    for (int n = -1; n <= sounds::chatterCount + 1; ++n)
        if (const QString name = sounds::chatterSound(n); !name.isEmpty())
            names << name;
    return names;
}

// Whether the sound module is mapped into this process.
bool audioModuleLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/velmora-audio.so");
}

bool hasAudioOutput()
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

} // namespace

class TestSounds : public QObject {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void everyProducibleNameHasAValidShortRecording()
    {
        const QSet<QString> names = producibleNames();
        QCOMPARE(names.size(), 34);
        for (const QString& name : names) {
            const QUrl url = SoundPlayer::recordingUrl(name);
            QVERIFY2(!url.isEmpty(), qPrintable(name));
            QFile file(QLatin1Char(':') + url.path());
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
            const WaveFormat wave = readWaveFormat(file.readAll());
            QVERIFY2(wave.format == 1 && wave.channels == 1 && wave.rate == 22050 && wave.bits == 16, qPrintable(name));
            const double seconds = double(wave.dataBytes) / (22050 * 2);
            QVERIFY2(seconds > 0.1 && seconds < 1.5, qPrintable(name + QStringLiteral(": %1 s").arg(seconds)));
        }
        // No recording that nothing plays.
        QCOMPARE(QDir(QStringLiteral(":/velmora/sounds")).entryList(QDir::Files).size(), names.size());
    }

    void dartValuesMapToCalls_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("sound");
        QTest::newRow("14 misses") << "14"
                                   << "miss";
        QTest::newRow("15 is the lowest number") << "15"
                                                 << "wav15";
        QTest::newRow("20") << "20"
                            << "wav20";
        QTest::newRow("bull as the host spells it") << "Bull"
                                                    << "bull";
        QTest::newRow("double bull") << "dBull"
                                     << "dbull";
        QTest::newRow("bull in capitals") << "BULL"
                                          << "bull";
        QTest::newRow("nothing") << ""
                                 << "miss";
        QTest::newRow("not a number") << "x17"
                                      << "miss";
        QTest::newRow("number past 20") << "21"
                                        << "miss";
    }
    void dartValuesMapToCalls()
    {
        QFETCH(QString, value);
        QFETCH(QString, sound);
        QCOMPARE(sounds::dartSound(DartResult::parse(value.toStdString()).value_or(DartResult())), sound);
    }

    void chatterNamesOnlyInTheirCanonicalSpelling()
    {
        for (int n = 1; n <= sounds::chatterCount; ++n)
            QCOMPARE(sounds::chatterNumber(sounds::chatterSound(n)), n);
        QCOMPARE(sounds::chatterNumber(u"WAVE13"), 13);
        for (const char* bad : {"wave0", "wave21", "wave05", "wave", "wave+1", "wave 1", "wave1x", "winner", "",
                                "wave99999999999999999999"})
            QVERIFY2(sounds::chatterNumber(QString::fromLatin1(bad)) == 0, bad);
        QVERIFY(sounds::chatterSound(0).isEmpty());
        QVERIFY(sounds::chatterSound(21).isEmpty());
        QCOMPARE(sounds::chatterCaption(0), QStringLiteral("<Cancel>"));
        QCOMPARE(sounds::chatterCaption(13), QStringLiteral("Applause"));
        QCOMPARE(sounds::chatterCaption(20), QStringLiteral("Crying"));
        QVERIFY(sounds::chatterCaption(21).isEmpty());
        QVERIFY(sounds::chatterCaption(-1).isEmpty());
    }

    void onlyTheDiceAreNotAVoice()
    {
        QVERIFY(!sounds::isVoice(sounds::diceName));
        for (const QString& name : {sounds::turnSound(0), sounds::turnSound(1), QString(sounds::enteredName),
                                    QString(sounds::winnerName), sounds::dartSound(DartResult::bull())})
            QVERIFY2(sounds::isVoice(name), qPrintable(name));
    }

    void creatingThePlayerLoadsNothingAndLeavesNoTimer()
    {
        SoundPlayer player;
        QVERIFY(player.findChildren<QSoundEffect*>().isEmpty());
        QVERIFY(QAbstractEventDispatcher::instance()->registeredTimers(&player).isEmpty());
        QVERIFY(!player.isPlaying());
        // The sound output comes with the first sound, not before.
        QVERIFY(!audioModuleLoaded());
        // Without a sound server, loading the output says nothing either.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        player.prepare();
        QVERIFY(audioModuleLoaded());
    }

    void playingReportsTheNameAndNeverHangs()
    {
        // Not a word on the console, sound server or not.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        SoundPlayer player;
        QSignalSpy spy(&player, &SoundPlayer::played);
        QVERIFY(player.play(u"WINNER"));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.takeFirst().first().toString(), QStringLiteral("winner"));
        QCOMPARE(player.audible(), hasAudioOutput());
        // Names a peer might send: nothing plays, nothing is reported.
        for (const char* bad : {"nosuch", "", "wave21", "../art/x", ":/velmora/sounds/bull", "bull.wav", "bu ll"})
            QVERIFY2(!player.play(QString::fromLatin1(bad)), bad);
        QCOMPARE(spy.size(), 0);
        QCOMPARE(player.current(), QStringLiteral("winner"));
        // A burst of sounds, each replacing the last, while the event loop runs.
        QStringList sent;
        for (int n = 1; n <= sounds::chatterCount; ++n) {
            sent << sounds::chatterSound(n);
            QVERIFY(player.play(sent.last()));
            QCoreApplication::processEvents();
        }
        QCOMPARE(spy.size(), sent.size());
        for (int i = 0; i < sent.size(); ++i)
            QCOMPARE(spy.at(i).first().toString(), sent.at(i));
        QCOMPARE(player.current(), sent.last());
        if (!hasAudioOutput())
            QVERIFY(!player.isPlaying());
    }

    void aNewSoundReplacesThePlayingOne()
    {
        if (!hasAudioOutput())
            QSKIP("no audio output here; the played() reports are checked above");
        SoundPlayer player;
        QVERIFY(player.play(sounds::chatterSound(20)));
        QTRY_VERIFY_WITH_TIMEOUT(player.isPlaying(), 5000);
        QVERIFY(player.play(sounds::diceName));
        const auto effectOf = [&player](QAnyStringView name) {
            for (QSoundEffect* effect : player.findChildren<QSoundEffect*>())
                if (effect->source() == SoundPlayer::recordingUrl(name))
                    return effect;
            return static_cast<QSoundEffect*>(nullptr);
        };
        QSoundEffect* chatter = effectOf(sounds::chatterSound(20));
        QSoundEffect* dice = effectOf(sounds::diceName);
        QVERIFY(chatter && dice);
        QVERIFY(!chatter->isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(dice->isLoaded() && dice->isPlaying(), 5000);
        // A recording heard before starts again from its own effect, loaded already.
        QVERIFY(player.play(sounds::chatterSound(20)));
        QVERIFY(chatter->isLoaded() && chatter->isPlaying());
        QVERIFY(!dice->isPlaying());
        QCOMPARE(player.findChildren<QSoundEffect*>().size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestSounds)
#include "test_sounds.moc"
