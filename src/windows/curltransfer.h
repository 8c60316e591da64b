#pragma once

#include "httptransfer.h"

#include <QHash>
#include <QObject>
#include <QTimer>

namespace velmora {

// One HTTP/1.0 GET of a document into a device through libcurl's multi
// interface, run on the event loop of the thread that owns the object: the
// sockets are watched by socket notifiers and the transfer's timeouts by a
// timer, so the window stays usable and nothing is locked.
class CurlTransfer final : public QObject, public HttpTransfer {
    Q_OBJECT
public:
    // The request headers the lobby's web server has always been sent.
    static constexpr const char* kUserAgent = "Mozilla/3.0 (compatible)";
    static constexpr const char* kAccept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";

    explicit CurlTransfer(Events* events);
    ~CurlTransfer() override;

    void setMaxBytes(qint64 bytes) override { m_maxBytes = bytes; }
    bool start(const QUrl& url, QIODevice* sink) override;
    void stop() override;
    bool isRunning() const override { return m_easy != nullptr; }
    qint64 bytesReceived() const override { return m_received; }
    int statusCode() const override { return m_status; }

private:
    struct Watch;

    static size_t onHeader(char* data, size_t size, size_t count, void* self);
    static size_t onBody(char* data, size_t size, size_t count, void* self);
    static int onSocket(void* easy, int fd, int what, void* self, void* watch);
    static int onTimer(void* multi, long timeoutMs, void* self);

    size_t takeHeader(const char* data, size_t length);
    size_t takeBody(const char* data, size_t length);
    void watchSocket(int fd, int what, Watch* watch);
    void drive(int fd, int events);
    void finishIfDone();
    QString tooLarge() const;
    QString describe(int code) const;
    void finish(Outcome outcome, const QString& detail);
    void release();

    Events* m_events;
    void* m_multi = nullptr;
    void* m_easy = nullptr;
    void* m_requestHeaders = nullptr;
    QIODevice* m_sink = nullptr;
    QTimer m_timer;
    QHash<int, Watch*> m_watches;
    QByteArray m_errorText;
    qint64 m_maxBytes = 0;
    qint64 m_received = 0;
    int m_status = 0;
    int m_depth = 0;              // > 0 while libcurl runs one of our callbacks
    bool m_stopRequested = false; // stop() came from inside a callback
    QString m_failure;            // why one of our callbacks refused the transfer
};

} // namespace velmora
