// velmora: the game. Without parameters a solo game against the computer;
// with a name, a host address and "true" or anything else, hosts or joins.

#include "art/gamestyle.h"
#include "client/tchat.h"
#include "host/tserver.h"
#include "windows/aboutform.h"
#include "windows/downloadform.h"
#include "windows/gamestartform.h"
#include "windows/helpform.h"
#include "windows/phrasesform.h"
#include "windows/sidewindow.h"
#include "windows/spylistform.h"
#include "windows/tallylistform.h"

#include <QApplication>
#include <QMessageBox>

#include <memory>

namespace {

// An error that escapes an event handler is shown, and the game goes on.
class VelmoraApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            QMessageBox::warning(activeWindow(), QStringLiteral("Velmora"), QString::fromLocal8Bit(e.what()));
        }
        return false;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    VelmoraApplication app(argc, argv);
    velmora::setApplicationNames();
    QApplication::setStyle(velmora::art::makeApplicationStyle());
    QApplication::setQuitOnLastWindowClosed(false);

    // Help and about are made when first opened; they outlive the main window.
    std::unique_ptr<velmora::Tabout> about;
    std::unique_ptr<velmora::Thelp> help;

    // The windows, in the order the game has always made them; all but the
    // main window start hidden.
    velmora::Tchat chat;
    velmora::Tchat::SideWindows windows;
    chat.setLateWindows(
        [&about] {
            about = std::make_unique<velmora::Tabout>();
            return about.get();
        },
        [&help] {
            help = std::make_unique<velmora::Thelp>();
            return help.get();
        });
    velmora::TServer server;
    velmora::Ttallylist tally;
    velmora::Tspylist spies;
    velmora::Tphrases phrases;
    velmora::Tdownload download;
    velmora::Tgamestart gamestart;
    windows.server = &server;
    windows.tally = &tally;
    windows.spies = &spies;
    windows.phrases = &phrases;
    windows.download = &download;
    windows.gamestart = &gamestart;
    chat.attach(windows);

    QStringList parameters = QApplication::arguments();
    parameters.removeFirst();
    chat.setParameters(parameters);
    QObject::connect(&chat, &velmora::Tchat::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    chat.show();
    return app.exec();
}
