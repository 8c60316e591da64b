#include "natpmpmapper.h"

#include "portmapper.h"

#include <QSocketNotifier>
#include <arpa/inet.h>
#include <natpmp.h>

namespace velmora::net {

namespace {

QString refusal(int status)
{
    switch (status) {
    case NATPMP_ERR_NOTAUTHORIZED:
        return QStringLiteral("not allowed");
    case NATPMP_ERR_NETWORKFAILURE:
        return QStringLiteral("the router has no outside connection");
    case NATPMP_ERR_OUTOFRESOURCES:
        return QStringLiteral("no room for another port");
    default:
        return QStringLiteral("not supported");
    }
}

} // namespace

struct NatPmpMapper::Session {
    natpmp_t natpmp{};
};

NatPmpMapper::NatPmpMapper(quint16 port, QObject* parent)
    : QObject(parent)
    , m_port(port)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &NatPmpMapper::takeAnswer);
    m_renew.setSingleShot(true);
    connect(&m_renew, &QTimer::timeout, this, &NatPmpMapper::requestMapping);
}

NatPmpMapper::~NatPmpMapper()
{
    stop();
}

void NatPmpMapper::start()
{
    if (m_session)
        return;
    m_session = std::make_unique<Session>();
    const bool forced = !m_gateway.isNull();
    const int status = initnatpmp(&m_session->natpmp, forced ? 1 : 0, forced ? htonl(m_gateway.toIPv4Address()) : 0);
    if (status < 0) {
        m_session.reset();
        fail(MappingFailure::NoAnswer,
             QStringLiteral("No router to ask with NAT-PMP: this computer has no default gateway."));
        return;
    }
    m_notifier = new QSocketNotifier(m_session->natpmp.s, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &NatPmpMapper::takeAnswer);
    m_step = Step::AskingAddress;
    m_answerBy = QDeadlineTimer(kAnswerWithinMs);
    sendpublicaddressrequest(&m_session->natpmp);
    scheduleRetry();
}

void NatPmpMapper::requestMapping()
{
    if (!m_session)
        return;
    m_step = Step::Mapping;
    m_answerBy = QDeadlineTimer(kAnswerWithinMs);
    sendnewportmappingrequest(&m_session->natpmp, NATPMP_PROTOCOL_TCP, m_port, m_port, kLeaseSeconds);
    scheduleRetry();
}

void NatPmpMapper::scheduleRetry()
{
    timeval wait{};
    if (getnatpmprequesttimeout(&m_session->natpmp, &wait) < 0)
        return;
    const qint64 ms = qint64(wait.tv_sec) * 1000 + wait.tv_usec / 1000;
    m_retry.start(int(std::clamp<qint64>(ms, 1, std::max<qint64>(1, m_answerBy.remainingTime()))));
}

void NatPmpMapper::takeAnswer()
{
    if (!m_session || m_step == Step::Mapped || m_step == Step::Idle)
        return;
    natpmpresp_t answer{};
    const int status = readnatpmpresponseorretry(&m_session->natpmp, &answer);
    if (status == NATPMP_TRYAGAIN) {
        if (m_answerBy.hasExpired())
            fail(MappingFailure::NoAnswer,
                 QStringLiteral("No router answered the request to open port %1 (NAT-PMP).").arg(m_port));
        else
            scheduleRetry();
        return;
    }
    if (status == NATPMP_ERR_NOTAUTHORIZED || status == NATPMP_ERR_NETWORKFAILURE ||
        status == NATPMP_ERR_OUTOFRESOURCES || status == NATPMP_ERR_UNSUPPORTEDOPCODE) {
        fail(MappingFailure::Refused,
             QStringLiteral("The router refused to open port %1 (NAT-PMP: %2).").arg(m_port).arg(refusal(status)));
        return;
    }
    if (status < 0) {
        fail(MappingFailure::NoAnswer,
             QStringLiteral("No router answered the request to open port %1 (NAT-PMP).").arg(m_port));
        return;
    }
    m_retry.stop();
    if (answer.type == NATPMP_RESPTYPE_PUBLICADDRESS) {
        const QHostAddress outside(ntohl(answer.pnu.publicaddress.addr.s_addr));
        if (!isPublicAddress(outside)) {
            fail(MappingFailure::NotPublic, notPublicReason(outside));
            return;
        }
        m_external = outside.toString();
        requestMapping();
        return;
    }
    if (answer.type != NATPMP_RESPTYPE_TCPPORTMAPPING || answer.pnu.newportmapping.privateport != m_port)
        return scheduleRetry();
    if (answer.pnu.newportmapping.mappedpublicport != m_port) {
        const quint16 offered = answer.pnu.newportmapping.mappedpublicport;
        sendnewportmappingrequest(&m_session->natpmp, NATPMP_PROTOCOL_TCP, m_port, offered, 0);
        fail(MappingFailure::Refused,
             QStringLiteral("The router offered port %1 instead of the game's port %2; nothing was opened.")
                 .arg(offered)
                 .arg(m_port));
        return;
    }
    m_step = Step::Mapped;
    const quint32 lease = std::max<quint32>(2, answer.pnu.newportmapping.lifetime);
    m_renew.start(int(std::min<quint64>(quint64(lease) * 1000 / 2, 24 * 3600 * 1000)));
    if (m_everOpened) {
        emit renewed();
        return;
    }
    m_everOpened = true;
    emit opened(m_external, m_port);
}

void NatPmpMapper::stop()
{
    if (m_session && (m_step == Step::Mapped || m_step == Step::Mapping))
        sendnewportmappingrequest(&m_session->natpmp, NATPMP_PROTOCOL_TCP, m_port, 0, 0);
    close();
}

void NatPmpMapper::fail(MappingFailure why, const QString& reason)
{
    close();
    emit failed(why, reason);
}

void NatPmpMapper::close()
{
    m_retry.stop();
    m_renew.stop();
    m_step = Step::Idle;
    delete m_notifier;
    m_notifier = nullptr;
    if (m_session)
        closenatpmp(&m_session->natpmp);
    m_session.reset();
}

} // namespace velmora::net
