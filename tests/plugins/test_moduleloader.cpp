#include "chat/audiooutput.h"
#include "plugins/moduleloader.h"
#include "protocol/streamconnection.h"
#include "windows/httptransfer.h"
#include "strictwarnings.h"

#include <QTest>

using namespace velmora;

class TestModuleLoader : public QObject {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void buildTreeProgramsFindTheirModules()
    {
        QString error;
        QVERIFY2(modules::entryPoint<MakeAudioOutput>(QLatin1StringView(kAudioModule), kMakeAudioOutput, &error),
                 qPrintable(error));
        QVERIFY2(modules::entryPoint<MakeHttpTransfer>(QLatin1StringView(kHttpModule), kMakeHttpTransfer, &error),
                 qPrintable(error));
        QVERIFY2(modules::entryPoint<MakeStreamListener>(QLatin1StringView(kNetModule), kMakeStreamListener, &error),
                 qPrintable(error));
    }

    void missingModulesAndEntriesAreReported()
    {
        QString error;
        QVERIFY(!modules::entryPoint(QStringLiteral("velmora-nosuch"), "anything", &error));
        QVERIFY2(error.contains(QStringLiteral("velmora-nosuch")), qPrintable(error));
        // An entry point of another version is not taken for this one.
        QVERIFY(!modules::entryPoint(QLatin1StringView(kAudioModule), "velmora_make_audio_output_v0", &error));
        QVERIFY2(error.contains(QStringLiteral("velmora_make_audio_output_v0")), qPrintable(error));
        // Only module names, never paths, are looked up.
        QVERIFY(!modules::entryPoint(QStringLiteral("../modules/velmora-audio"), kMakeAudioOutput, &error));
    }
};

QTEST_GUILESS_MAIN(TestModuleLoader)
#include "test_moduleloader.moc"
