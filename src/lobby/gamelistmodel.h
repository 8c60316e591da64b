#pragma once

#include "network/gamebrowser.h"

#include <QAbstractTableModel>
#include <QList>

namespace velmora::lobby {

// The games on this network as a table, one row a game: title, host's
// player, players n/4, spectators n/5, waiting or playing, version, and
// what is wrong with it. A game that cannot be joined (another version, a
// record that lies) is greyed, and its note says why.
class GameListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Title, Host, Players, Spectators, State, Version, Note, ColumnCount };

    explicit GameListModel(QObject* parent = nullptr);

    // Shows these games, in the order given.
    void setGames(const QList<net::FoundGame>& games);
    const net::FoundGame* gameAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QString text(const net::FoundGame& game, int column) const;
    QList<net::FoundGame> m_games;
};

} // namespace velmora::lobby
