// velmora: the game. Without parameters a solo game against the computer;
// with a name, a host address and "true" or anything else, hosts or joins.

#include "art/fonts.h"
#include "art/gamestyle.h"
#include "core/gamecore.h"
#include "client/gamewindows.h"
#include "network/gamerecord.h"
#include "terminationsignals.h"
#include "windows/sidewindow.h"

#include <QApplication>
#include <QMessageBox>

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
    std::thread fontConfiguration = velmora::art::preloadFontConfiguration();
    VelmoraApplication app(argc, argv);
    fontConfiguration.join();
    velmora::setApplicationNames();
    QApplication::setStyle(velmora::art::makeApplicationStyle());
    QApplication::setQuitOnLastWindowClosed(false);

    QStringList parameters = QApplication::arguments();
    parameters.removeFirst();
    velmora::GameCore core(parameters);
    core.setGameTitle(qEnvironmentVariable(velmora::net::kTitleVariable));

    velmora::GameWindows windows(core);
    velmora::Tchat& chat = windows.main();
    QObject::connect(&chat, &velmora::Tchat::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    // Told to stop, the game closes its window as the player would.
    velmora::onTerminationSignals(&app, [&chat] { chat.close(); });
    chat.show();
    return app.exec();
}
