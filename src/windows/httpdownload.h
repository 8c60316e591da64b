#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

class QIODevice;
class QSocketNotifier;

namespace velmora {

// One HTTP/1.0 GET of a document into a device, run on the event loop of the
// thread that owns the object: the sockets are watched by socket notifiers and
// the transfer's timeouts by a timer, so the window stays usable and nothing
// is locked. libcurl stays behind this class.
class HttpDownload : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        Completed,     // the whole body arrived with a 2xx status
        HttpFailure,   // the server answered with a status other than 2xx
        TransferError, // connection failed or broke, body cut short, too large, write failed
        Stopped,       // stop() was called
    };
    Q_ENUM(Outcome)

    // The request headers the lobby's web server has always been sent.
    static constexpr const char* kUserAgent = "Mozilla/3.0 (compatible)";
    static constexpr const char* kAccept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    // A download larger than this is cut off: the installer is a few megabytes.
    static constexpr qint64 kDefaultMaxBytes = 256 * 1024 * 1024;

    explicit HttpDownload(QObject* parent = nullptr);
    // Aborts a running transfer without signalling.
    ~HttpDownload() override;

    void setMaxBytes(qint64 bytes) { m_maxBytes = bytes; }

    // Starts a GET of url (http or https; https certificates are verified)
    // writing the body into sink, which must stay open until finished().
    // False, with nothing started, when a transfer is already running or the
    // transfer cannot be set up; finished() then is not emitted.
    bool start(const QUrl& url, QIODevice* sink);
    // Ends a running transfer; finished(Stopped) follows, at once or, when
    // called from a progress slot, as soon as control is back with us.
    void stop();
    bool isRunning() const { return m_easy != nullptr; }

    qint64 bytesReceived() const { return m_received; }
    int statusCode() const { return m_status; }

signals:
    // One line of the response head, without its line end (status line included).
    void headerLine(const QByteArray& line);
    // The head of a 2xx answer is complete and its body follows.
    void bodyStarted();
    // A block of the body was written; total is the count so far.
    void bodyReceived(qint64 total);
    // The transfer is over; detail says why it failed (empty on success).
    void finished(velmora::HttpDownload::Outcome outcome, const QString& detail);

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

    void* m_multi = nullptr;
    void* m_easy = nullptr;
    void* m_requestHeaders = nullptr;
    QIODevice* m_sink = nullptr;
    QTimer m_timer;
    QHash<int, Watch*> m_watches;
    QByteArray m_errorText;
    qint64 m_maxBytes = kDefaultMaxBytes;
    qint64 m_received = 0;
    int m_status = 0;
    int m_depth = 0;              // > 0 while libcurl runs one of our callbacks
    bool m_stopRequested = false; // stop() came from inside a callback
    QString m_failure;            // why one of our callbacks refused the transfer
};

} // namespace velmora
