#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

class QIODevice;

namespace velmora {

// One HTTP GET into a device, as the "velmora-http" module provides it
// (libcurl stands behind it). The game loads the module on the first
// download, so that libcurl and its many libraries cost the first window
// nothing. HttpDownload is the face the windows use.
class HttpTransfer {
public:
    enum class Outcome {
        Completed,     // the whole body arrived with a 2xx status
        HttpFailure,   // the server answered with a status other than 2xx
        TransferError, // connection failed or broke, body cut short, too large, write failed
        Stopped,       // stop() was called
    };

    // What the transfer reports, as it happens.
    class Events {
    public:
        // One line of the response head, without its line end (status line included).
        virtual void onHeaderLine(const QByteArray& line) = 0;
        // The head of a 2xx answer is complete and its body follows.
        virtual void onBodyStarted() = 0;
        // A block of the body was written; total is the count so far.
        virtual void onBodyReceived(qint64 total) = 0;
        // The transfer is over; detail says why it failed (empty on success).
        virtual void onFinished(Outcome outcome, const QString& detail) = 0;

    protected:
        ~Events() = default;
    };

    // Aborts a running transfer without reporting.
    virtual ~HttpTransfer() = default;

    virtual void setMaxBytes(qint64 bytes) = 0;
    // See HttpDownload::start() and stop().
    virtual bool start(const QUrl& url, QIODevice* sink) = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
    virtual qint64 bytesReceived() const = 0;
    virtual int statusCode() const = 0;
};

// The module's entry point; events must outlive the transfer.
using MakeHttpTransfer = HttpTransfer*(HttpTransfer::Events* events);
inline constexpr const char* kHttpModule = "velmora-http";
inline constexpr const char* kMakeHttpTransfer = "velmora_make_http_transfer_v1";

} // namespace velmora
