#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace velmora {

class ClientSession;
class DartResult;
struct ReceivedChat;

// What a screen reader is told as the game goes on, in words: whose turn it
// is, the dice thrown, each dart's result, the points at the end of a turn,
// the winner and incoming chat. It listens to the client session and says
// only news: a rejoin's catch-up replays the game so far in silence.
//
// Asked, it also says again what it said last (and, asked again at once, what
// came before, as far back as it remembers), every seat's marks and points,
// and whose turn it is with the dice left to place. Its words read well at a
// reader's default punctuation: commas and full stops, no colons.
class Narrator : public QObject {
    Q_OBJECT
public:
    // How many announcements it remembers to say again.
    static constexpr int kRemembered = 8;

    explicit Narrator(const ClientSession& session, QObject* parent = nullptr);

    // Says the last announcement again; asked again before anything new is
    // said, the one before it, down to the oldest remembered.
    void repeatLast();
    // Says every seated player's marks, target by target, and points.
    void tellScores();
    // Says whose turn it is, the dice left to place and the darts so far.
    void tellTurn();
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
    void answer(const QString& text);
    QString nameOf(int seat) const;
    QString winnerWords(const QString& names) const;
    QString dartsSoFar() const;
    void onTurn(int seat);
    void onThrow();
    void onDart(int seat, int dart, const DartResult& result);
    void onScored(int seat);
    void onChat(const ReceivedChat& chat);

    const ClientSession& m_session;
    QStringList m_history; // the newest last, at most kRemembered
    int m_stepsBack = -1;  // how far back repeatLast() last went; -1 after news
    QString m_winner;      // the finished game's winner in words, until the next game
};

} // namespace velmora
