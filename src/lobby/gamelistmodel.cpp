#include "gamelistmodel.h"

#include "game/constants.h"

#include <QBrush>
#include <QPalette>

namespace velmora::lobby {

GameListModel::GameListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void GameListModel::setGames(const QList<net::FoundGame>& games)
{
    beginResetModel();
    m_games = games;
    endResetModel();
}

const net::FoundGame* GameListModel::gameAt(int row) const
{
    return row >= 0 && row < m_games.size() ? &m_games[row] : nullptr;
}

int GameListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_games.size());
}

int GameListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString GameListModel::text(const net::FoundGame& game, int column) const
{
    const net::GameRecord& r = game.record;
    switch (column) {
    case Title:
        return r.title;
    case Host:
        return r.host;
    case Players:
        return QStringLiteral("%1/%2").arg(r.players).arg(game::kSeats);
    case Spectators:
        return QStringLiteral("%1/%2").arg(r.spectators).arg(game::kMaxConnections - game::kSeats);
    case State:
        return r.playing ? QStringLiteral("playing") : QStringLiteral("waiting");
    case Version:
        return r.version;
    case Note:
        return game.note;
    default:
        return {};
    }
}

QVariant GameListModel::data(const QModelIndex& index, int role) const
{
    const net::FoundGame* game = index.isValid() ? gameAt(index.row()) : nullptr;
    if (!game)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(*game, index.column());
    case Qt::ToolTipRole:
        return game->note.isEmpty() ? QVariant() : game->note;
    case Qt::AccessibleTextRole:
        // A reader hears why a greyed game cannot be joined with its title.
        if (index.column() == Title && !game->joinable)
            return QStringLiteral("%1, cannot be joined: %2").arg(game->record.title, game->note);
        return text(*game, index.column());
    case Qt::ForegroundRole:
        return game->joinable ? QVariant() : QBrush(QPalette().color(QPalette::Disabled, QPalette::Text));
    default:
        return {};
    }
}

QVariant GameListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const names[] = {"Title", "Host", "Players", "Spectators", "State", "Version", "Note"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

Qt::ItemFlags GameListModel::flags(const QModelIndex& index) const
{
    const net::FoundGame* game = index.isValid() ? gameAt(index.row()) : nullptr;
    if (!game)
        return Qt::NoItemFlags;
    // A greyed game is only painted grey: the keyboard and a reader still
    // reach it and its note, and joining it is refused with that note.
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

} // namespace velmora::lobby
