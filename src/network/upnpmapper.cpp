#include "upnpmapper.h"

#include "upnpigd.h"

#include <QHostAddress>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace velmora::net {

namespace {

// 725: OnlyPermanentLeasesSupported, the router maps only for good.
constexpr int kOnlyPermanentLeases = 725;

QString plainWords(int code)
{
    switch (code) {
    case 606:
        return QStringLiteral(", not allowed");
    case 718:
        return QStringLiteral(", the port is already mapped to another machine");
    case 728:
        return QStringLiteral(", no room for another port");
    case 729:
        return QStringLiteral(", another of the router's services holds the port");
    default:
        return {};
    }
}

QString refusal(quint16 port, const UpnpIgd::Result& result)
{
    if (result.code < 0)
        return QStringLiteral("The router gave no usable answer to the request to open port %1 (UPnP IGD).").arg(port);
    const QString name = result.name();
    const QString why = name.isEmpty() ? QStringLiteral("error %1").arg(result.code) : name;
    return QStringLiteral("The router refused to open port %1 (UPnP IGD: %2%3).")
        .arg(port)
        .arg(why, plainWords(result.code));
}

} // namespace

// The worker thread and its queue of jobs, run one after the other. It
// outlives the mapper when the mapper's destruction cannot wait for it: it
// then finishes its jobs (the removal last) and ends on its own.
struct UpnpMapper::Worker : std::enable_shared_from_this<Worker> {
    struct Settings {
        quint16 port;
        quint32 lease;
        QString descriptionUrl;
    };
    using Job = std::function<void(Worker&)>;

    std::mutex lock;
    std::condition_variable wake;
    std::condition_variable done;
    std::deque<Job> jobs;         // under lock; a start or renewal and a removal at most
    bool closing = false;         // under lock
    bool finished = false;        // under lock
    UpnpMapper* mapper = nullptr; // under lock; null once the mapper goes
    std::thread thread;

    // Touched by the worker thread only.
    UpnpIgd igd;
    bool mapped = false;
    quint32 lease = 0;
    // Set by the mapper's stop(): a search under way does not map any more.
    std::atomic<bool> cancelled = false;

    void launch(UpnpMapper* owner)
    {
        mapper = owner;
        thread = std::thread([self = shared_from_this()] { self->run(); });
    }
    void queue(Job job)
    {
        {
            std::lock_guard guard(lock);
            jobs.push_back(std::move(job));
        }
        wake.notify_one();
    }
    void run()
    {
        for (;;) {
            Job job;
            {
                std::unique_lock held(lock);
                wake.wait(held, [this] { return closing || !jobs.empty(); });
                if (jobs.empty())
                    break;
                job = std::move(jobs.front());
                jobs.pop_front();
            }
            job(*this);
        }
        std::lock_guard guard(lock);
        finished = true;
        done.notify_all();
    }
    // Hands `answer` to the mapper on its own thread, unless it is gone.
    void answer(std::function<void(UpnpMapper*)> answer)
    {
        std::lock_guard guard(lock);
        if (UpnpMapper* target = mapper)
            QMetaObject::invokeMethod(
                target, [target, answer = std::move(answer)] { answer(target); }, Qt::QueuedConnection);
    }
    void fail(MappingFailure why, const QString& reason)
    {
        answer([why, reason](UpnpMapper* m) { m->takeFailure(why, reason); });
    }

    void open(const Settings& settings);
    void renew(quint16 port);
    void remove(quint16 port);
};

void UpnpMapper::Worker::open(const Settings& settings)
{
    if (!igd.find(settings.descriptionUrl))
        return fail(MappingFailure::NoAnswer, QStringLiteral("No UPnP IGD answered the search for a router."));
    QString text;
    const UpnpIgd::Result asked = igd.externalAddress(&text);
    if (!asked.ok())
        return fail(MappingFailure::Refused, refusal(settings.port, asked));
    const QHostAddress outside(text);
    if (outside.protocol() != QAbstractSocket::IPv4Protocol)
        return fail(MappingFailure::Refused,
                    QStringLiteral("The router gave no usable outside address (UPnP IGD); nothing was opened."));
    if (!isPublicAddress(outside))
        return fail(MappingFailure::NotPublic, notPublicReason(outside));
    if (cancelled)
        return;
    lease = settings.lease;
    UpnpIgd::Result added = igd.addMapping(settings.port, lease);
    if (added.code == kOnlyPermanentLeases) {
        lease = 0; // removed all the same when the game ends
        added = igd.addMapping(settings.port, lease);
    }
    if (!added.ok())
        return fail(MappingFailure::Refused, refusal(settings.port, added));
    mapped = true;
    answer([external = outside.toString(), lease = lease](UpnpMapper* m) { m->takeOpened(external, lease); });
}

void UpnpMapper::Worker::renew(quint16 port)
{
    if (!mapped || cancelled)
        return;
    const UpnpIgd::Result added = igd.addMapping(port, lease);
    const QString reason = added.ok() ? QString() : refusal(port, added);
    answer([ok = added.ok(), reason](UpnpMapper* m) { m->takeRenewed(ok, reason); });
}

void UpnpMapper::Worker::remove(quint16 port)
{
    if (mapped)
        igd.deleteMapping(port);
    mapped = false;
    cancelled = false; // for a start after this stop
}

UpnpMapper::UpnpMapper(quint16 port, QObject* parent)
    : QObject(parent)
    , m_port(port)
{
    m_renew.setSingleShot(true);
    connect(&m_renew, &QTimer::timeout, this, &UpnpMapper::renew);
}

UpnpMapper::~UpnpMapper()
{
    stop();
    if (!m_worker)
        return;
    std::unique_lock held(m_worker->lock);
    m_worker->mapper = nullptr;
    m_worker->closing = true;
    m_worker->wake.notify_one();
    const bool ended = m_worker->done.wait_for(held, std::chrono::milliseconds(kRemoveWithinMs),
                                               [this] { return m_worker->finished; });
    held.unlock();
    if (ended)
        m_worker->thread.join();
    else
        m_worker->thread.detach();
}

void UpnpMapper::start()
{
    if (m_running)
        return;
    m_running = true;
    if (!m_worker) {
        m_worker = std::make_shared<Worker>();
        m_worker->launch(this);
    }
    m_worker->queue([settings = Worker::Settings{m_port, m_lease, m_descriptionUrl}](Worker& w) { w.open(settings); });
}

void UpnpMapper::stop()
{
    m_renew.stop();
    if (!m_running)
        return;
    m_running = false;
    // A search or request under way finds itself cancelled before it maps.
    m_worker->cancelled = true;
    {
        std::lock_guard guard(m_worker->lock);
        m_worker->jobs.clear();
    }
    m_worker->queue([port = m_port](Worker& w) { w.remove(port); });
}

void UpnpMapper::renew()
{
    if (m_running)
        m_worker->queue([port = m_port](Worker& w) { w.renew(port); });
}

void UpnpMapper::takeOpened(const QString& externalAddress, quint32 lease)
{
    if (!m_running)
        return;
    m_granted = lease;
    scheduleRenewal();
    emit opened(externalAddress, m_port);
}

void UpnpMapper::takeRenewed(bool ok, const QString& reason)
{
    if (!m_running)
        return;
    if (!ok)
        return takeFailure(MappingFailure::Refused, reason);
    scheduleRenewal();
    emit renewed();
}

void UpnpMapper::scheduleRenewal()
{
    if (m_granted > 0) // else mapped for good
        m_renew.start(int(std::clamp<quint64>(quint64(m_granted) * 1000 / 2, 500, 24 * 3600 * 1000)));
}

void UpnpMapper::takeFailure(MappingFailure why, const QString& reason)
{
    if (!m_running)
        return;
    stop();
    emit failed(why, reason);
}

} // namespace velmora::net
