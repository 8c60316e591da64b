// velmora-host: the game's host alone, without a window. The first
// connection takes slot 1 and is the host's player.

#include "host/hostconsole.h"
#include "host/tserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

void printLine(const QString& line)
{
    if (line.isEmpty())
        return;
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-host"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Hosts a game of Velmora without a window."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("TCP port to listen on (default 7772)."),
                                        QStringLiteral("N"), QStringLiteral("7772"));
    const QCommandLineOption botOption(QStringLiteral("bot-speed"),
                                       QStringLiteral("Milliseconds between the computer's steps (default 500)."),
                                       QStringLiteral("MS"), QStringLiteral("500"));
    const QCommandLineOption pauseOption(QStringLiteral("scoring-pause"),
                                         QStringLiteral("Milliseconds between the last die and the score (default "
                                                        "1500; shorter only for tests)."),
                                         QStringLiteral("MS"), QStringLiteral("1500"));
    parser.addOption(portOption);
    parser.addOption(botOption);
    parser.addOption(pauseOption);
    parser.process(app);

    bool portOk = false;
    bool botOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    bool pauseOk = false;
    const int botDelay = parser.value(botOption).toInt(&botOk);
    const int scoringPause = parser.value(pauseOption).toInt(&pauseOk);
    if (!portOk || port > 65535 || !botOk || botDelay < 0 || !pauseOk || scoringPause < 0) {
        std::fprintf(stderr, "velmora-host: --port takes 0 to 65535, --bot-speed and --scoring-pause a number of "
                             "milliseconds\n");
        return 2;
    }

    velmora::TServer server;
    server.setBotDelayMs(botDelay);
    server.setScoringPauseMs(scoringPause);
    velmora::HostConsole console(server);
    QObject::connect(&console, &velmora::HostConsole::output, &printLine);
    QObject::connect(&console, &velmora::HostConsole::quitRequested, &app, &QCoreApplication::quit);
    try {
        server.startListening(static_cast<quint16>(port));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmora-host: %s (port %u)\n", e.what(), port);
        return 1;
    }
    printLine(QStringLiteral("listening on port %1").arg(server.port()));

    // SIGINT and SIGTERM end the event loop through a pipe, so shutdown runs
    // on the main thread like everything else.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, nullptr);
        ::sigaction(SIGTERM, &action, nullptr);
        auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    }

    // Commands on standard input, a line at a time; its end ends the host.
    QByteArray pending;
    auto* input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
    QObject::connect(input, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            input->setEnabled(false);
            app.quit();
            return;
        }
        pending.append(buffer, n);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QString line = QString::fromLocal8Bit(pending.left(end));
            pending.remove(0, end + 1);
            try {
                printLine(console.execute(line));
            } catch (const std::exception& e) {
                std::fprintf(stderr, "velmora-host: %s\n", e.what());
            }
        }
    });

    const int status = app.exec();
    printLine(QStringLiteral("host stopped"));
    return status;
}
