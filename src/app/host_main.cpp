// velmora-host: the game's host alone, without a window. The first
// connection takes slot 1 and is the host's player.

#include "game/constants.h"
#include "host/consoletext.h"
#include "host/hostconsole.h"
#include "host/tserver.h"
#include "hostoutreach.h"
#include "network/hostpublication.h"
#include "protocol/extensions.h"
#include "terminationsignals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QSysInfo>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

void printLine(const QString& line)
{
    if (line.isEmpty())
        return;
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Warnings carry text from the network (names, hostile messages): each is
// one line on stderr with its control characters escaped.
void printWarning(QtMsgType, const QMessageLogContext&, const QString& message)
{
    std::fputs(velmora::consoleSafe(message).toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
}

struct Settings {
    quint16 port = velmora::protocol::kGamePort;
    int botDelayMs = velmora::game::kDefaultBotDelayMs;
    int scoringPauseMs = velmora::TurnPacer::kScoringPauseMs;
    int rejoinGraceS = velmora::TServer::kDefaultRejoinGraceSeconds;
    velmora::OutreachOptions outreach; // the local network, the home router
};

std::optional<Settings> readSettings(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Hosts a game of Velmora without a window."));
    parser.addHelpOption();
    const Settings defaults;
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("TCP port to listen on (default %1).").arg(defaults.port),
                                        QStringLiteral("N"), QString::number(defaults.port));
    const QCommandLineOption botOption(
        QStringLiteral("bot-speed"),
        QStringLiteral("Milliseconds between the computer's steps (default %1).").arg(defaults.botDelayMs),
        QStringLiteral("MS"), QString::number(defaults.botDelayMs));
    const QCommandLineOption pauseOption(QStringLiteral("scoring-pause"),
                                         QStringLiteral("Milliseconds between the last die and the score (default "
                                                        "%1; shorter only for tests).")
                                             .arg(defaults.scoringPauseMs),
                                         QStringLiteral("MS"), QString::number(defaults.scoringPauseMs));
    const QCommandLineOption graceOption(
        QStringLiteral("rejoin-grace"),
        QStringLiteral("Seconds a player's seat is kept after his connection is lost during a game (default %1; "
                       "0: not kept).")
            .arg(defaults.rejoinGraceS),
        QStringLiteral("S"), QString::number(defaults.rejoinGraceS));
    const QCommandLineOption titleOption(QStringLiteral("title"),
                                         QStringLiteral("The game's title on the local network (default "
                                                        "\"HOST's game\", HOST this computer's name)."),
                                         QStringLiteral("T"));
    const QCommandLineOption quietOption(QStringLiteral("no-publish"),
                                         QStringLiteral("Do not announce the game on the local network."));
    const QCommandLineOption openOption(QStringLiteral("open-port"),
                                        QStringLiteral("Open the game's port on the home router (NAT-PMP, else "
                                                       "UPnP IGD) while the host runs, so players from the "
                                                       "internet can join."));
    const QCommandLineOption routerOption(QStringLiteral("router"),
                                          QStringLiteral("The router --open-port asks with NAT-PMP (default: "
                                                         "the default gateway)."),
                                          QStringLiteral("IPV4"));
    parser.addOptions(
        {portOption, botOption, pauseOption, graceOption, titleOption, quietOption, openOption, routerOption});
    parser.process(app);

    bool portOk = false;
    bool botOk = false;
    bool pauseOk = false;
    bool graceOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    Settings settings;
    settings.botDelayMs = parser.value(botOption).toInt(&botOk);
    settings.scoringPauseMs = parser.value(pauseOption).toInt(&pauseOk);
    settings.rejoinGraceS = parser.value(graceOption).toInt(&graceOk);
    if (!portOk || port > 65535 || !botOk || settings.botDelayMs < 0 || !pauseOk || settings.scoringPauseMs < 0 ||
        !graceOk || settings.rejoinGraceS < 0 || settings.rejoinGraceS > velmora::protocol::ext::kMaxHoldSeconds)
        return std::nullopt;
    settings.port = static_cast<quint16>(port);
    velmora::OutreachOptions& out = settings.outreach;
    out.publish = !parser.isSet(quietOption);
    out.openPort = parser.isSet(openOption);
    if (parser.isSet(routerOption) &&
        (!out.router.setAddress(parser.value(routerOption)) || out.router.protocol() != QAbstractSocket::IPv4Protocol))
        return std::nullopt;
    out.title = velmora::net::cleanTitle(parser.value(titleOption));
    if (out.title.isEmpty())
        out.title = velmora::net::HostPublication::titleFor(QSysInfo::machineHostName());
    return settings;
}

// Commands on standard input, a line at a time; its end ends the host. A
// line longer than any command is thrown away.
void readCommands(QCoreApplication& app, velmora::HostConsole& console)
{
    constexpr qsizetype kMaxLine = 4096;
    auto pending = std::make_shared<QByteArray>();
    auto* input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
    QObject::connect(input, &QSocketNotifier::activated, &app, [&app, &console, input, pending] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input->setEnabled(false);
            app.quit();
            return;
        }
        pending->append(buffer, n);
        for (qsizetype end = pending->indexOf('\n'); end >= 0; end = pending->indexOf('\n')) {
            printLine(console.execute(QString::fromLocal8Bit(pending->left(end))));
            pending->remove(0, end + 1);
        }
        if (pending->size() > kMaxLine)
            pending->clear();
    });
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(printWarning);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-host"));
    const std::optional<Settings> settings = readSettings(app);
    if (!settings) {
        std::fprintf(stderr, "velmora-host: --port takes 0 to 65535, --bot-speed and --scoring-pause a number of "
                             "milliseconds, --rejoin-grace 0 to 86400 seconds, --router an IPv4 address\n");
        return 2;
    }

    velmora::TServer server;
    server.setBotPace([ms = settings->botDelayMs] { return ms; });
    server.setScoringPauseMs(settings->scoringPauseMs);
    server.setRejoinGrace(settings->rejoinGraceS);
    velmora::HostConsole console(server);
    QObject::connect(&console, &velmora::HostConsole::output, &printLine);
    QObject::connect(&console, &velmora::HostConsole::quitRequested, &app, &QCoreApplication::quit);
    if (const velmora::Status listening = server.startListening(settings->port); !listening) {
        std::fprintf(stderr, "velmora-host: %s (port %u)\n", listening.error().c_str(), unsigned(settings->port));
        return 1;
    }
    printLine(QStringLiteral("listening on port %1").arg(server.port()));
    auto outreach = velmora::reachOut(server, settings->outreach, &printLine);
    velmora::onTerminationSignals(&app, [] { QCoreApplication::quit(); });
    readCommands(app, console);

    const int status = app.exec();
    outreach.reset(); // withdrawn and closed before the host stops listening
    printLine(QStringLiteral("host stopped"));
    return status;
}
