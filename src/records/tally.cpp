#include "tally.h"

namespace velmora {

namespace {

const QString kZero = QStringLiteral("0");

QStringList zeroRow(const QString& first)
{
    QStringList row(Tally::kColumns, kZero);
    row[0] = first;
    return row;
}

// Adds one to a cell's number; the text the player sees when it is not one.
Result<qint64> increment(QString& cell)
{
    bool ok = false;
    const qint64 value = cell.trimmed().toLongLong(&ok);
    if (!ok || value == std::numeric_limits<qint64>::max())
        return Failure{("'" + cell + "' is not a valid integer value").toStdString()};
    cell = QString::number(value + 1);
    return value + 1;
}

Status incrementAll(QStringList& row, std::initializer_list<int> columns)
{
    for (int column : columns) {
        auto counted = increment(row[column]);
        if (!counted)
            return Failure{counted.error()};
    }
    return success();
}

// The number at the start of a line; the rest of the line is ignored.
int leadingNumber(const QByteArray& line, bool* ok)
{
    const QByteArray text = line.trimmed();
    qsizetype digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    return text.left(qMin<qsizetype>(digits, 9)).toInt(ok);
}

Failure damaged(const char* what)
{
    return Failure{std::string("The tally file is damaged: ") + what};
}

} // namespace

QString Tally::winnerToCount(const QString& winnerText, const QString& myName, bool iAmSeated, bool othersSeated,
                             bool teamWin)
{
    if (!iAmSeated || !othersSeated || winnerText.isEmpty() || teamWin)
        return {};
    return winnerText == myName ? mine() : winnerText;
}

Tally::Tally()
{
    m_rows.append(zeroRow(kZero));
}

QString Tally::cell(int column, int row) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= kColumns)
        return {};
    return m_rows[row][column];
}

QStringList Tally::opponents() const
{
    QStringList names;
    for (qsizetype row = 1; row < m_rows.size(); ++row)
        names.append(m_rows[row][0]);
    return names;
}

int Tally::opponentIndex(const QString& name) const
{
    for (qsizetype row = 1; row < m_rows.size(); ++row)
        if (m_rows[row][0].compare(name, Qt::CaseInsensitive) == 0)
            return int(row - 1);
    return -1;
}

bool Tally::addOpponent(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('\r')) || name.contains(QLatin1Char('\n')) || isTallied(name) ||
        m_rows.size() >= kMaxRows)
        return false;
    m_rows.append(zeroRow(name));
    return true;
}

void Tally::removeOpponent(int index)
{
    if (index >= 0 && index + 1 < m_rows.size())
        m_rows.removeAt(index + 1);
}

Status Tally::addGame(const QStringList& players, const QString& winner)
{
    QList<QStringList> rows = m_rows;
    const bool iWon = winner == mine();
    if (auto counted = incrementAll(rows[0], iWon ? std::initializer_list<int>{MyGames, MyWins}
                                                  : std::initializer_list<int>{MyGames});
        !counted)
        return counted;
    QList<int> counted;
    for (const QString& player : players) {
        const int row = opponentIndex(player) + 1;
        if (row == 0 || counted.contains(row))
            continue;
        counted.append(row);
        QStringList& cells = rows[row];
        for (int column = 1; column < kColumns; ++column)
            if (cells[column].isEmpty())
                cells[column] = kZero;
        const int result = cells[0] == winner ? HisWins : iWon ? YourWins : NeitherWon;
        if (auto done = incrementAll(cells, {Games, Games + SessionOffset, result, result + SessionOffset}); !done)
            return done;
    }
    m_rows = std::move(rows);
    return success();
}

Status Tally::addDoubleBull()
{
    auto counted = addOne(MyDoubleBulls, 0);
    return counted ? success() : Status(Failure{counted.error()});
}

Result<qint64> Tally::addOne(int column, int row)
{
    if (row < 0 || row >= m_rows.size() || column < 1 || column >= kColumns)
        return Failure{"No such tally cell"};
    return increment(m_rows[row][column]);
}

void Tally::reset()
{
    m_rows = {zeroRow(kZero)};
}

void Tally::startSession()
{
    for (qsizetype row = 1; row < m_rows.size(); ++row)
        for (int column = Games + SessionOffset; column < kColumns; ++column)
            m_rows[row][column] = kZero;
}

QByteArray Tally::toText() const
{
    QByteArray text;
    const QByteArray end = "\r\n";
    text += QByteArray::number(kColumns) + end + QByteArray::number(m_rows.size()) + end;
    for (int column = 0; column < kColumns; ++column)
        for (const QStringList& row : m_rows)
            text += row[column].toUtf8() + end;
    return text;
}

Result<Tally> Tally::fromText(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    bool columnsOk = false;
    bool rowsOk = false;
    const int columns = lines.size() > 0 ? leadingNumber(lines[0], &columnsOk) : 0;
    const int rows = lines.size() > 1 ? leadingNumber(lines[1], &rowsOk) : 0;
    if (!columnsOk || !rowsOk || columns != kColumns)
        return damaged("it does not start with the size of a tally");
    if (rows < 1 || rows > kMaxRows)
        return damaged("it holds an impossible number of players");
    if (lines.size() < 2 + qsizetype(columns) * rows)
        return damaged("it ends too early");
    Tally tally;
    tally.m_rows = QList<QStringList>(rows, QStringList(kColumns));
    qsizetype at = 2;
    for (int column = 0; column < kColumns; ++column)
        for (int row = 0; row < rows; ++row)
            tally.m_rows[row][column] = QString::fromUtf8(lines[at++]);
    return tally;
}

} // namespace velmora
