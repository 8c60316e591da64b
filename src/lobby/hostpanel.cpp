#include "hostpanel.h"

#include "network/gameaddress.h"
#include "network/gamerecord.h"
#include "network/portmapper.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QNetworkInterface>
#include <QPushButton>

namespace velmora::lobby {

namespace {

template <typename W> W* named(W* widget, const char* objectName, const QString& accessibleName)
{
    widget->setObjectName(QLatin1StringView(objectName));
    widget->setAccessibleName(accessibleName);
    return widget;
}

} // namespace

HostPanel::HostPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("Host a game"), parent)
    , m_title(named(new QLineEdit, "edit_title", QStringLiteral("Title")))
    , m_addresses(named(new QListWidget, "list_addresses", QStringLiteral("Addresses friends can use")))
    , m_copy(
          named(new QPushButton(QStringLiteral("&Copy invitation")), "button_copy", QStringLiteral("Copy invitation")))
    , m_internet(named(new QCheckBox(QStringLiteral("Let players from the &internet in")), "check_internet",
                       QStringLiteral("Let players from the internet in")))
    , m_outside(named(new QLabel, "label_internet", QStringLiteral("Internet")))
    , m_host(named(new QPushButton(QStringLiteral("&Host")), "button_host", QStringLiteral("Host a game")))
{
    setObjectName(QStringLiteral("group_host"));
    m_title->setMaxLength(int(net::kMaxTitle));
    m_addresses->addItems(invitations(protocol::kGamePort));
    m_addresses->setCurrentRow(0);
    m_addresses->setMaximumHeight(m_addresses->fontMetrics().height() * 4);
    m_outside->setWordWrap(true);
    m_outside->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* form = new QFormLayout(this);
    auto* titleLabel = new QLabel(QStringLiteral("&Title:"));
    titleLabel->setBuddy(m_title);
    form->addRow(titleLabel, m_title);
    auto* addressLabel = new QLabel(QStringLiteral("&Addresses:"));
    addressLabel->setBuddy(m_addresses);
    form->addRow(addressLabel, m_addresses);
    form->addRow(QString(), m_copy);
    form->addRow(QString(), m_internet);
    form->addRow(QString(), m_outside);
    form->addRow(QString(), m_host);

    connect(m_copy, &QPushButton::clicked, this, &HostPanel::copyInvitation);
    connect(m_host, &QPushButton::clicked, this, &HostPanel::hostRequested);
    connect(m_title, &QLineEdit::returnPressed, this, &HostPanel::hostRequested);
}

HostPanel::~HostPanel() = default;

QWidget* HostPanel::lastControl() const
{
    return m_host;
}

QString HostPanel::title(const QString& playerName) const
{
    const QString typed = net::cleanTitle(m_title->text());
    return typed.isEmpty() ? net::defaultTitle(playerName) : typed;
}

void HostPanel::setPlayerName(const QString& name)
{
    m_title->setPlaceholderText(name.trimmed().isEmpty() ? QString() : net::defaultTitle(name.trimmed()));
}

QStringList HostPanel::invitations(quint16 port)
{
    QStringList out;
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
        if (a.isLoopback() || a.isLinkLocal() || a.isMulticast())
            continue;
        out << net::invitationFor({a.toString(), port});
    }
    return out;
}

void HostPanel::copyInvitation()
{
    const QListWidgetItem* item = m_addresses->currentItem();
    if (!item)
        return;
    QGuiApplication::clipboard()->setText(item->text());
    m_outside->setText(QStringLiteral("Copied %1.").arg(item->text()));
}

bool HostPanel::gameStarted()
{
    m_outside->clear();
    if (!m_internet->isChecked())
        return false;
    m_mapper = std::make_unique<net::PortMapper>(protocol::kGamePort);
    connect(m_mapper.get(), &net::PortMapper::opened, this, [this](const QString& address, quint16 port) {
        m_outside->setText(
            QStringLiteral("Players from the internet join with %1").arg(net::invitationFor({address, port})));
    });
    connect(m_mapper.get(), &net::PortMapper::failed, m_outside, &QLabel::setText);
    m_outside->setText(QStringLiteral("Asking the router to open port %1...").arg(protocol::kGamePort));
    m_mapper->start();
    return true;
}

void HostPanel::gameEnded()
{
    // Going, the mapper takes the router's port back.
    m_mapper.reset();
}

} // namespace velmora::lobby
