#pragma once

#include "httptransfer.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

class QIODevice;

namespace velmora {

// One HTTP/1.0 GET of a document into a device, run on the event loop of the
// thread that owns the object, so the window stays usable and nothing is
// locked. The transfer itself lives in the "velmora-http" module, loaded on
// the first start(): libcurl stays behind it.
class HttpDownload : public QObject, private HttpTransfer::Events {
    Q_OBJECT
public:
    using Outcome = HttpTransfer::Outcome;

    // A download larger than this is cut off: the installer is a few megabytes.
    static constexpr qint64 kDefaultMaxBytes = 256 * 1024 * 1024;

    explicit HttpDownload(QObject* parent = nullptr);
    // Aborts a running transfer without signalling.
    ~HttpDownload() override;

    void setMaxBytes(qint64 bytes);

    // Starts a GET of url (http or https; https certificates are verified)
    // writing the body into sink, which must stay open until finished().
    // False, with nothing started, when a transfer is already running or the
    // transfer cannot be set up (setUpError() says why); finished() then is
    // not emitted.
    bool start(const QUrl& url, QIODevice* sink);
    // Ends a running transfer; finished(Stopped) follows, at once or, when
    // called from a progress slot, as soon as control is back with us.
    void stop();
    bool isRunning() const { return m_transfer && m_transfer->isRunning(); }

    qint64 bytesReceived() const { return m_transfer ? m_transfer->bytesReceived() : 0; }
    int statusCode() const { return m_transfer ? m_transfer->statusCode() : 0; }
    // Why the last start() could not begin, when the download engine is missing.
    QString setUpError() const { return m_setUpError; }

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
    // The module's reports become this object's signals.
    void onHeaderLine(const QByteArray& line) override { emit headerLine(line); }
    void onBodyStarted() override { emit bodyStarted(); }
    void onBodyReceived(qint64 total) override { emit bodyReceived(total); }
    void onFinished(Outcome outcome, const QString& detail) override { emit finished(outcome, detail); }

    bool loadTransfer();

    std::unique_ptr<HttpTransfer> m_transfer;
    qint64 m_maxBytes = kDefaultMaxBytes;
    QString m_setUpError;
};

} // namespace velmora
