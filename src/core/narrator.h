#pragma once

#include <QObject>
#include <QString>

namespace velmora {

class ClientSession;
class DartResult;
struct ReceivedChat;

// What a screen reader is told as the game goes on, in words: whose turn it
// is, the dice thrown, each dart's result, the points at the end of a turn,
// the winner and incoming chat. It listens to the client session and says
// only news: a rejoin's catch-up replays the game so far in silence.
class Narrator : public QObject {
    Q_OBJECT
public:
    explicit Narrator(const ClientSession& session, QObject* parent = nullptr);

    // Whose turn it is, as the board says it when it takes the keyboard:
    // "Your turn, 7 dice left.", "Your turn.", "Borl's turn."; empty before
    // the first turn.
    QString boardTurn() const;
    // Says where the die the player placed went: "Dart 2, place 3."
    void tellPlaced(int dart, int place);

signals:
    // Something to say, as it is to be spoken.
    void said(const QString& text);

private:
    void say(const QString& text);
    QString nameOf(int seat) const;
    void onTurn(int seat);
    void onThrow();
    void onDart(int seat, int dart, const DartResult& result);
    void onScored(int seat);
    void onChat(const ReceivedChat& chat);

    const ClientSession& m_session;
};

} // namespace velmora
