#pragma once

#include "base/result.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace velmora {

// The tally of games: a grid of nine text columns. Row 0 is the local
// player (games, wins, double bulls in columns 1 to 3); every further row is
// a tallied opponent: his name, then games together, his wins, the local
// player's wins and games neither won, all time (1 to 4) and this session
// (5 to 8). Cells stay text, as they are stored, and are read as numbers
// only when counted.
class Tally {
public:
    static constexpr int kColumns = 9;
    static constexpr int kMaxRows = 100000;

    enum MyColumn { MyGames = 1, MyWins = 2, MyDoubleBulls = 3 };
    enum OpponentColumn { Games = 1, HisWins = 2, YourWins = 3, NeitherWon = 4, SessionOffset = 4 };

    // The winner word meaning the local player won.
    static QString mine() { return QStringLiteral("addtomine"); }

    // What the end of a game counts as: mine(), the winner's name, or
    // nothing (empty) for a spectator, a team win or a game with no other
    // player seated.
    static QString winnerToCount(const QString& winnerText, const QString& myName, bool iAmSeated, bool othersSeated,
                                 bool teamWin);

    Tally();

    int rowCount() const { return int(m_rows.size()); }
    QString cell(int column, int row) const;
    // Tallied opponents, in the order of their rows (row = index + 1).
    QStringList opponents() const;
    // Position of a tallied opponent, names compared without regard to case; -1 if none.
    int opponentIndex(const QString& name) const;
    bool isTallied(const QString& name) const { return opponentIndex(name) >= 0; }

    // Starts tallying a player with every count at 0. False when he is
    // already tallied, or the name is empty or would break the stored layout.
    bool addOpponent(const QString& name);
    // Stops tallying the opponent at index; the rows below keep their counts.
    void removeOpponent(int index);

    // Counts a finished game. players: the others seated in it; winner: the
    // winner's name, or mine(). Only tallied players' rows change, each once.
    // A cell that does not read as a number fails the whole count, which
    // then changes nothing.
    Status addGame(const QStringList& players, const QString& winner);
    Status addDoubleBull();
    // Adds one to a cell and returns the new value.
    Result<qint64> addOne(int column, int row);

    // Forgets every opponent and zeroes the local player's counts.
    void reset();
    // Zeroes the session counts of every opponent (a new run of the game).
    void startSession();

    // The stored text: column count, row count, then every cell column by
    // column, each line ended by CR LF.
    QByteArray toText() const;
    static Result<Tally> fromText(const QByteArray& text);

private:
    QList<QStringList> m_rows;
};

} // namespace velmora
