#pragma once

#include "mappingfailure.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class QSocketNotifier;

namespace velmora::net {

// Opens the game's TCP port on the home router with NAT-PMP: the same port
// outside as inside and never another, the lease renewed at half its life
// and removed when the mapper goes. Says what the outside address is, or why
// nothing was opened. Driven from the event loop; nothing waits.
class NatPmpMapper : public QObject {
    Q_OBJECT
public:
    // A router that has not answered by then is taken as none.
    static constexpr int kAnswerWithinMs = 3000;

    explicit NatPmpMapper(quint16 port, QObject* parent = nullptr);
    ~NatPmpMapper() override;

    // The router to ask; by default the system's default gateway.
    void setGateway(const QHostAddress& gateway) { m_gateway = gateway; }
    void start();
    // Removes the mapping (one request, not waited for).
    void stop();

signals:
    void opened(const QString& externalAddress, quint16 port);
    void renewed();
    void failed(MappingFailure why, const QString& reason);

private:
    enum class Step { Idle, AskingAddress, Mapping, Mapped };
    struct Session;
    void takeAnswer();
    void scheduleRetry();
    void requestMapping();
    void fail(MappingFailure why, const QString& reason);
    void close();

    quint16 m_port;
    QHostAddress m_gateway;
    std::unique_ptr<Session> m_session;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_retry;
    QTimer m_renew;
    QDeadlineTimer m_answerBy;
    Step m_step = Step::Idle;
    bool m_everOpened = false;
    QString m_external;
};

} // namespace velmora::net
