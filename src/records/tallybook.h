#pragma once

#include "tally.h"
#include "tallystore.h"

#include <QObject>
#include <QString>

namespace velmora {

// The tally of this run: read from "velmoratally.tld" in the data folder when
// the book is made, with the session counts at 0, and written back when it
// goes at the end of the program. Every change goes through here, made by the
// game core alone; the tally list window only shows it.
class TallyBook : public QObject {
    Q_OBJECT
public:
    explicit TallyBook(QObject* parent = nullptr);
    ~TallyBook() override;

    const Tally& tally() const { return m_tally; }
    // Whether the file was read (or there was none); an unreadable one is
    // moved aside at the next save.
    const Status& loaded() const { return m_loaded; }

    bool addOpponent(const QString& name);
    // Stops tallying a player, found by name; false when he was not tallied.
    bool removeOpponent(const QString& name);
    void reset();
    // Counts a finished game against the players listed; `winner` is the
    // winner's name or Tally::mine(). A failure is told through failed().
    void addGame(const QStringList& players, const QString& winner);
    void addDoubleBull();
    // The winner word of the last game counted.
    QString lastGame() const { return m_lastGame; }

    // Writes the tally now (it is also written when the book goes).
    Status save();

signals:
    void changed();
    // The tally was reset: sent just before changed().
    void cleared();
    void failed(const QString& text);

private:
    void counted(const Status& status);

    TallyStore m_store;
    Tally m_tally;
    Status m_loaded = success();
    QString m_lastGame;
};

} // namespace velmora
