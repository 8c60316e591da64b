#pragma once

#include <QObject>
#include <QString>

namespace velmora {

class TServer;

// The dedicated host's console: one line of output per connection, login,
// departure, game start and winner, and a few commands for whoever runs it
// (there is no window to offer "Start Game").
class HostConsole : public QObject {
    Q_OBJECT
public:
    HostConsole(TServer& server, QObject* parent = nullptr);

    // Runs one command line ("start [team] [nopoints]", "kick N", "who",
    // "quit") and returns what to print.
    QString execute(const QString& line);

signals:
    void output(const QString& line);
    void quitRequested();

private:
    QString slotTable() const;

    TServer& m_server;
};

} // namespace velmora
