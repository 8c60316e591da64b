// velmora: the game. Without parameters a solo game against the computer;
// with a name, a host address and "true" or anything else, hosts or joins.

#include "art/fonts.h"
#include "art/gamestyle.h"
#include "client/gamecore.h"
#include "client/tchat.h"
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

struct SideWindowSet {
    std::unique_ptr<velmora::Ttallylist> tally;
    std::unique_ptr<velmora::Tspylist> spies;
    std::unique_ptr<velmora::Tphrases> phrases;
    std::unique_ptr<velmora::Tdownload> download;
    std::unique_ptr<velmora::Tgamestart> gamestart;
    std::unique_ptr<velmora::Tabout> about;
    std::unique_ptr<velmora::Thelp> help;

    // In the order the game has always made them.
    velmora::Tchat::SideWindows make(velmora::GameCore& core)
    {
        tally = std::make_unique<velmora::Ttallylist>(core.tally());
        spies = std::make_unique<velmora::Tspylist>();
        phrases = std::make_unique<velmora::Tphrases>();
        download = std::make_unique<velmora::Tdownload>();
        gamestart = std::make_unique<velmora::Tgamestart>();
        velmora::Tchat::SideWindows windows;
        windows.tally = tally.get();
        windows.spies = spies.get();
        windows.phrases = phrases.get();
        windows.download = download.get();
        windows.gamestart = gamestart.get();
        return windows;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    std::thread fontConfiguration = velmora::art::preloadFontConfiguration();
    VelmoraApplication app(argc, argv);
    fontConfiguration.join();
    velmora::setApplicationNames();
    QApplication::setStyle(velmora::art::makeApplicationStyle());
    QApplication::setQuitOnLastWindowClosed(false);

    QStringList parameters = QApplication::arguments();
    parameters.removeFirst();
    velmora::GameCore core(parameters);

    // The side windows are made once the main window is on the screen, help
    // and about only when first opened; all outlive the main window and
    // start hidden.
    SideWindowSet windows;
    velmora::Tchat chat(core);
    chat.attachWhenShown([&windows, &core] { return windows.make(core); });
    chat.setLateWindows(
        [&windows] {
            windows.about = std::make_unique<velmora::Tabout>();
            return windows.about.get();
        },
        [&windows] {
            windows.help = std::make_unique<velmora::Thelp>();
            return windows.help.get();
        });

    QObject::connect(&chat, &velmora::Tchat::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    chat.show();
    return app.exec();
}
