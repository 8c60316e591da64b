#include "joincheck.h"

#include <QHostInfo>

namespace velmora::lobby {

JoinCheck::JoinCheck(QObject* parent)
    : QObject(parent)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        finish(QStringLiteral("%1 did not answer within %2 seconds.")
                   .arg(m_address.toString())
                   .arg(kConnectWithinMs / 1000));
    });
    connect(&m_probe, &QTcpSocket::connected, this, [this] { finish({}); });
    connect(&m_probe, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::ConnectionRefusedError)
            finish(QStringLiteral("Nobody hosts a game at %1 (the connection was refused).").arg(m_address.toString()));
        else
            finish(QStringLiteral("Cannot reach %1: %2").arg(m_address.toString(), m_probe.errorString()));
    });
}

JoinCheck::~JoinCheck()
{
    cancel();
}

void JoinCheck::start(const net::GameAddress& address)
{
    cancel();
    m_address = address;
    m_address.port = address.portOr(protocol::kGamePort);
    m_running = true;
    m_deadline.start(kConnectWithinMs);
    const QHostAddress literal(address.host);
    if (!literal.isNull()) {
        probe(literal);
        return;
    }
    m_lookup = QHostInfo::lookupHost(address.host, this,
                                     [this](const QHostInfo& info) { lookedUp(info.lookupId(), info.addresses()); });
}

void JoinCheck::cancel()
{
    if (m_lookup >= 0)
        QHostInfo::abortHostLookup(m_lookup);
    m_lookup = -1;
    m_deadline.stop();
    m_probe.abort();
    m_running = false;
}

void JoinCheck::lookedUp(int id, const QList<QHostAddress>& addresses)
{
    if (id != m_lookup || !m_running)
        return;
    m_lookup = -1;
    if (addresses.isEmpty()) {
        finish(QStringLiteral("There is no computer called %1.").arg(m_address.host));
        return;
    }
    probe(addresses.first());
}

void JoinCheck::probe(const QHostAddress& address)
{
    m_probe.abort();
    m_probe.connectToHost(address, *m_address.port);
}

void JoinCheck::finish(const QString& reason)
{
    if (!m_running)
        return;
    const net::GameAddress address = m_address;
    cancel();
    if (reason.isEmpty())
        emit reachable(address);
    else
        emit failed(reason);
}

} // namespace velmora::lobby
