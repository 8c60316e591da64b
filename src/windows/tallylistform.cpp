#include "tallylistform.h"

#include "art/palette.h"
#include "controls/tselbutton.h"
#include "tickitemdelegate.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QSignalBlocker>

namespace velmora {

namespace {

const QString kZero = QStringLiteral("0");
// The opponent panel's heading until an opponent is chosen.
const QString kChooseHint = QStringLiteral("Choose an opponent in the list to see his tally");

QFrame* addPanel(QWidget* parent, const QRect& geometry)
{
    auto* panel = new QFrame(parent);
    panel->setGeometry(geometry);
    panel->setStyleSheet(QStringLiteral("QFrame { border: 1px solid #008000; }"));
    panel->lower();
    return panel;
}

} // namespace

Ttallylist::Ttallylist(const TallyBook& book, QWidget* parent)
    : SideWindow(parent)
    , m_book(book)
{
    setObjectName(QStringLiteral("Ttallylist"));
    setWindowTitle(QStringLiteral("Velmora - Tally List"));
    setFixedSize(520, 310);
    setBackgroundPicture(true);

    // Reports and questions never open a nested event loop: the boxes are
    // shown and answer through their signals.
    m_report = [](const QString& text) {
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Velmora"), text, QMessageBox::Ok);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->show();
    };
    m_confirm = [this](const QString& question, std::function<void(bool)> answer) {
        auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Velmora"), question,
                                    QMessageBox::Yes | QMessageBox::No, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        connect(box, &QMessageBox::finished, this,
                [answer = std::move(answer)](int result) { answer(result == QMessageBox::Yes); });
        box->open();
    };

    buildLists();
    buildPanels();

    showBook();
    connect(&m_book, &TallyBook::failed, this, [this](const QString& text) { m_report(text); });
    // A reset empties the opponent panel but leaves its names as they were.
    connect(&m_book, &TallyBook::cleared, this, [this] { forgetShownOpponent(true); });
    connect(&m_book, &TallyBook::changed, this, &Ttallylist::showBook);
    // Shown once the program runs, after whoever made us had a chance to
    // set a reporter, and never before the main window.
    if (!m_book.loaded())
        QMetaObject::invokeMethod(
            this, [this, error = QString::fromStdString(m_book.loaded().error())] { m_report(error); },
            Qt::QueuedConnection);
}

Ttallylist::~Ttallylist() = default;

QListWidget* Ttallylist::makeCheckList(const QString& objectName, const QRect& geometry)
{
    auto* list = new QListWidget(this);
    list->setObjectName(objectName);
    list->setGeometry(geometry);
    list->setStyleSheet(QStringLiteral("QListWidget { color: #00ff00; background-color: black; }"));
    list->setItemDelegate(new TickItemDelegate(list));
    return list;
}

void Ttallylist::buildLists()
{
    addLabel(QStringLiteral("Players In Current Game"), {12, 8, 180, 20}, 12, true);
    m_checklist = makeCheckList(QStringLiteral("checklist"), {12, 30, 180, 112});
    m_checklist->setAccessibleName(QStringLiteral("Players In Current Game"));
    addLabel(QStringLiteral("Players Being Tallied"), {12, 150, 180, 20}, 12, true);
    m_listboxTally = makeCheckList(QStringLiteral("listbox_tally"), {12, 172, 180, 126});
    m_listboxTally->setAccessibleName(QStringLiteral("Players Being Tallied"));
    connect(m_checklist, &QListWidget::itemChanged, this, &Ttallylist::checklistClickCheck);
    connect(m_listboxTally, &QListWidget::itemChanged, this, &Ttallylist::listbox_tallyClickCheck);
    connect(m_listboxTally, &QListWidget::currentRowChanged, this, &Ttallylist::listbox_tallyClick);
}

QLabel* Ttallylist::addCount(const QString& objectName, const QRect& geometry)
{
    QLabel* label = addLabel(kZero, geometry, 12, true, Qt::AlignRight | Qt::AlignVCenter);
    label->setObjectName(objectName);
    return label;
}

void Ttallylist::buildPanels()
{
    addPanel(this, {204, 8, 304, 92});
    addLabel(QStringLiteral("Your Total Tally"), {214, 12, 284, 20}, 12, true, Qt::AlignCenter);
    const QString mine[3] = {QStringLiteral("Total Games:"), QStringLiteral("Your Wins:"),
                             QStringLiteral("Dbl Bulls:")};
    for (int i = 0; i < 3; ++i) {
        addLabel(mine[i], {224, 34 + 20 * i, 120, 18});
        m_mine[i] = addCount(QStringLiteral("mylabel_%1").arg(i + 1), {360, 34 + 20 * i, 60, 18});
    }

    addPanel(this, {204, 108, 304, 154});
    m_hisNameTop = addLabel(QString(), {214, 112, 284, 20}, 12, true, Qt::AlignCenter);
    m_hisNameTop->setObjectName(QStringLiteral("label_hisnametop"));
    showOpponentTitle(QString());
    addLabel(QStringLiteral("Total"), {360, 134, 60, 18}, 12, true, Qt::AlignRight | Qt::AlignVCenter);
    addLabel(QStringLiteral("Session"), {430, 134, 60, 18}, 12, true, Qt::AlignRight | Qt::AlignVCenter);
    const int top = 156;
    addLabel(QStringLiteral("Number of Games"), {214, top, 140, 18});
    m_hisName = addLabel(QStringLiteral("XX Wins:"), {214, top + 24, 140, 18});
    m_hisName->setObjectName(QStringLiteral("label_hisname"));
    addLabel(QStringLiteral("Your Wins:"), {214, top + 48, 140, 18});
    addLabel(QStringLiteral("Neither Won:"), {214, top + 72, 140, 18});
    for (int i = 0; i < 8; ++i)
        m_counts[i] = addCount(QStringLiteral("label_%1").arg(i + 1), {i < 4 ? 360 : 430, top + 24 * (i % 4), 60, 18});

    m_reset = new TSelButton(QStringLiteral("Reset Tally"), this);
    m_reset->setObjectName(QStringLiteral("button_reset"));
    m_reset->useGameLook();
    m_reset->setGeometry(204, 274, 105, 25);
    connect(m_reset, &TSelButton::clicked, this, &Ttallylist::button_resetClick);
    m_done = new TSelButton(QStringLiteral("Done"), this);
    m_done->setObjectName(QStringLiteral("button_done"));
    m_done->useGameLook();
    m_done->setGeometry(433, 274, 75, 25);
    connect(m_done, &TSelButton::clicked, this, &QWidget::hide);
    setDefaultButton(m_done);
}

void Ttallylist::showOpponentTitle(const QString& name)
{
    // Until an opponent is chosen the heading says how to choose one, in
    // silver and smaller, so it fits and does not read as a name.
    QFont font = m_hisNameTop->font();
    font.setPixelSize(name.isEmpty() ? 11 : 12);
    font.setBold(!name.isEmpty());
    m_hisNameTop->setFont(font);
    QPalette colours = palette();
    if (name.isEmpty())
        colours.setColor(QPalette::WindowText, art::palette::silver);
    m_hisNameTop->setPalette(colours);
    m_hisNameTop->setText(name.isEmpty() ? kChooseHint : name + QStringLiteral("'s Tally"));
}

void Ttallylist::showMine()
{
    for (int i = 0; i < 3; ++i)
        m_mine[i]->setText(tally().cell(i + 1, 0));
}

void Ttallylist::clearChecklist()
{
    const QSignalBlocker blocker(m_checklist);
    m_checklist->clear();
}

void Ttallylist::addToChecklist(const QString& name, bool ticked)
{
    const QSignalBlocker blocker(m_checklist);
    auto* item = new QListWidgetItem(name, m_checklist);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

QStringList Ttallylist::checklist() const
{
    QStringList names;
    for (int row = 0; row < m_checklist->count(); ++row)
        names.append(m_checklist->item(row)->text());
    return names;
}

bool Ttallylist::isTallied(const QString& name) const
{
    return tally().isTallied(name);
}

void Ttallylist::showBook()
{
    showMine();
    showTallied();
    showChecklistTicks();
    if (m_listboxTally->currentRow() >= 0)
        listbox_tallyClick();
}

void Ttallylist::showTallied()
{
    const QStringList names = tally().opponents();
    QStringList listed;
    for (int row = 0; row < m_listboxTally->count(); ++row)
        listed.append(m_listboxTally->item(row)->text());
    if (listed == names)
        return;
    const QSignalBlocker blocker(m_listboxTally);
    m_listboxTally->clear();
    for (const QString& name : names) {
        auto* item = new QListWidgetItem(name, m_listboxTally);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    const int shown = m_shown.isEmpty() ? -1 : int(names.indexOf(m_shown));
    m_listboxTally->setCurrentRow(shown);
    if (shown < 0 && !m_shown.isEmpty())
        forgetShownOpponent(false);
}

void Ttallylist::tickAllTallied()
{
    const QSignalBlocker blocker(m_listboxTally);
    for (int row = 0; row < m_listboxTally->count(); ++row)
        m_listboxTally->item(row)->setCheckState(Qt::Checked);
}

void Ttallylist::forgetShownOpponent(bool keepName)
{
    m_shown.clear();
    if (!keepName) {
        m_hisName->setText(QStringLiteral("XX Wins:"));
        showOpponentTitle(QString());
    }
    for (QLabel* label : m_counts)
        label->setText(kZero);
}

void Ttallylist::showChecklistTicks()
{
    const QSignalBlocker blocker(m_checklist);
    for (int row = 0; row < m_checklist->count(); ++row) {
        QListWidgetItem* item = m_checklist->item(row);
        item->setCheckState(tally().isTallied(item->text()) ? Qt::Checked : Qt::Unchecked);
    }
}

void Ttallylist::listbox_tallyClick()
{
    const int index = m_listboxTally->currentRow();
    if (index < 0 || index + 1 >= tally().rowCount())
        return;
    for (int i = 0; i < 8; ++i)
        m_counts[i]->setText(tally().cell(i + 1, index + 1));
    const QString name = tally().cell(0, index + 1);
    m_shown = name;
    m_hisName->setText(name + QStringLiteral(" Wins:"));
    showOpponentTitle(name);
}

void Ttallylist::checklistClickCheck(QListWidgetItem* item)
{
    // Unticking here does not stop tallying (that is done in the other
    // list), so the tick keeps showing who is tallied.
    const QString name = item->text();
    if (item->checkState() == Qt::Checked && !tally().isTallied(name))
        emit tallyRequested(name);
    showChecklistTicks();
}

void Ttallylist::listbox_tallyClickCheck(QListWidgetItem* item)
{
    if (item->checkState() != Qt::Unchecked)
        return;
    const QString name = item->text();
    m_confirm(QStringLiteral("This will delete ") + name + QStringLiteral("'s Tally, Are you want to delete it?"),
              [this, name](bool yes) {
                  if (yes)
                      emit untallyRequested(name);
                  // Whoever the book still tallies stays ticked: after a no,
                  // or a yes that found him gone already.
                  tickAllTallied();
              });
}

void Ttallylist::button_resetClick()
{
    m_confirm(QStringLiteral("Are you sure you want to reset the Tally?"), [this](bool yes) {
        if (yes)
            emit resetRequested();
    });
}

} // namespace velmora
