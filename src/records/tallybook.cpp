#include "tallybook.h"

#include "datafolder.h"

namespace velmora {

TallyBook::TallyBook(QObject* parent)
    : QObject(parent)
    , m_store(dataFolder())
{
    TallyStore::Loaded loaded = m_store.load();
    m_tally = std::move(loaded.tally);
    m_loaded = loaded.read;
}

TallyBook::~TallyBook()
{
    // Nobody is left to tell; the previous file stays as it was.
    if (const Status saved = save(); !saved)
        qWarning("Tally not saved: %s", saved.error().c_str());
}

Status TallyBook::save()
{
    return m_store.save(m_tally);
}

bool TallyBook::addOpponent(const QString& name)
{
    if (!m_tally.addOpponent(name))
        return false;
    emit changed();
    return true;
}

bool TallyBook::removeOpponent(const QString& name)
{
    const int index = m_tally.opponentIndex(name);
    if (index < 0)
        return false;
    m_tally.removeOpponent(index);
    emit changed();
    return true;
}

void TallyBook::reset()
{
    m_tally.reset();
    emit cleared();
    emit changed();
}

void TallyBook::addGame(const QStringList& players, const QString& winner)
{
    m_lastGame = winner;
    counted(m_tally.addGame(players, winner));
}

void TallyBook::addDoubleBull()
{
    counted(m_tally.addDoubleBull());
}

void TallyBook::counted(const Status& status)
{
    if (!status)
        emit failed(QString::fromStdString(status.error()));
    emit changed();
}

} // namespace velmora
