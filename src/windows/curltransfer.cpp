#include "curltransfer.h"
#include "plugins/moduleloader.h"

#include <QIODevice>
#include <QSocketNotifier>
#include <curl/curl.h>
#include <mutex>

namespace velmora {

namespace {

// libcurl wants its global set-up exactly once, before any handle exists.
void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool isSuccess(int status)
{
    return status >= 200 && status <= 299;
}

// How long a silent server is given before the transfer counts as broken.
constexpr long kConnectTimeoutS = 30;
constexpr long kStallTimeoutS = 60;
constexpr long kMaxRedirects = 5;

} // namespace

// The notifiers of one socket libcurl asked us to watch.
struct CurlTransfer::Watch {
    QSocketNotifier* read = nullptr;
    QSocketNotifier* write = nullptr;

    void retire()
    {
        // Either may be the notifier whose signal is being delivered right now.
        for (QSocketNotifier* n : {read, write}) {
            if (n) {
                n->setEnabled(false);
                n->deleteLater();
            }
        }
        read = write = nullptr;
    }
};

CurlTransfer::CurlTransfer(Events* events)
    : m_events(events)
{
    initCurlOnce();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { drive(CURL_SOCKET_TIMEOUT, 0); });
}

CurlTransfer::~CurlTransfer()
{
    release();
    if (m_multi)
        curl_multi_cleanup(m_multi);
    m_multi = nullptr;
    for (Watch* watch : std::as_const(m_watches)) {
        watch->retire();
        delete watch;
    }
}

bool CurlTransfer::start(const QUrl& url, QIODevice* sink)
{
    if (m_easy || !sink || !url.isValid())
        return false;
    if (!m_multi) {
        m_multi = curl_multi_init();
        if (!m_multi)
            return false;
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &CurlTransfer::onSocket);
        curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &CurlTransfer::onTimer);
        curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
    }
    CURL* easy = curl_easy_init();
    if (!easy)
        return false;

    m_sink = sink;
    m_received = 0;
    m_status = 0;
    m_stopRequested = false;
    m_failure.clear();
    m_errorText = QByteArray(CURL_ERROR_SIZE + 1, '\0');
    const std::string accept = std::string("Accept: ") + kAccept;
    m_requestHeaders = curl_slist_append(nullptr, accept.c_str());
    const bool secure = url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;

    curl_easy_setopt(easy, CURLOPT_URL, url.toEncoded().constData());
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, m_requestHeaders);
    curl_easy_setopt(easy, CURLOPT_PROXY, ""); // straight to the server, whatever the environment says
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    // A secure address must not be redirected to a plain one: the file is run.
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutS);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kStallTimeoutS);
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_maxBytes));
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, m_errorText.data());
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &CurlTransfer::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &CurlTransfer::onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);

    m_easy = easy;
    if (curl_multi_add_handle(m_multi, easy) != CURLM_OK) {
        release();
        return false;
    }
    return true;
}

void CurlTransfer::stop()
{
    if (!m_easy)
        return;
    if (m_depth > 0) {
        // libcurl may not be called back into from its own callbacks: the
        // next callback refuses the data, and drive() finishes.
        m_stopRequested = true;
        return;
    }
    finish(Outcome::Stopped, {});
}

// Nothing may be thrown through libcurl: a callback that fails refuses the data.
size_t CurlTransfer::onHeader(char* data, size_t size, size_t count, void* self)
{
    auto* me = static_cast<CurlTransfer*>(self);
    try {
        return me->takeHeader(data, size * count);
    } catch (const std::exception& e) {
        me->m_failure = QString::fromLocal8Bit(e.what());
    }
    return 0;
}

size_t CurlTransfer::onBody(char* data, size_t size, size_t count, void* self)
{
    auto* me = static_cast<CurlTransfer*>(self);
    try {
        return me->takeBody(data, size * count);
    } catch (const std::exception& e) {
        me->m_failure = QString::fromLocal8Bit(e.what());
    }
    return 0;
}

size_t CurlTransfer::takeHeader(const char* data, size_t length)
{
    if (m_stopRequested)
        return 0;
    QByteArray line(data, qsizetype(length));
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (!line.isEmpty()) {
        m_events->onHeaderLine(line);
    } else {
        // End of a head: only a 2xx answer brings the document (a redirect's
        // head is followed by the next answer's).
        long status = 0;
        curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &status);
        m_status = int(status);
        if (isSuccess(m_status))
            m_events->onBodyStarted();
    }
    return m_stopRequested ? 0 : length;
}

size_t CurlTransfer::takeBody(const char* data, size_t length)
{
    // Refusing the block ends the transfer at once.
    if (m_stopRequested || !isSuccess(m_status))
        return 0;
    if (m_received + qint64(length) > m_maxBytes) {
        m_failure = tooLarge();
        return 0;
    }
    if (m_sink->write(data, qint64(length)) != qint64(length)) {
        m_failure = tr("Cannot write the file: %1").arg(m_sink->errorString());
        return 0;
    }
    m_received += qint64(length);
    m_events->onBodyReceived(m_received);
    return m_stopRequested ? 0 : length;
}

int CurlTransfer::onSocket(void*, int fd, int what, void* self, void* watch)
{
    static_cast<CurlTransfer*>(self)->watchSocket(fd, what, static_cast<Watch*>(watch));
    return 0;
}

int CurlTransfer::onTimer(void*, long timeoutMs, void* self)
{
    auto* me = static_cast<CurlTransfer*>(self);
    if (timeoutMs < 0)
        me->m_timer.stop();
    else
        me->m_timer.start(int(qMin(timeoutMs, long(INT_MAX))));
    return 0;
}

void CurlTransfer::watchSocket(int fd, int what, Watch* watch)
{
    if (what == CURL_POLL_REMOVE) {
        if (watch) {
            watch->retire();
            m_watches.remove(fd);
            delete watch;
        }
        return;
    }
    if (!watch) {
        watch = new Watch;
        watch->read = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        watch->write = new QSocketNotifier(fd, QSocketNotifier::Write, this);
        connect(watch->read, &QSocketNotifier::activated, this, [this, fd] { drive(fd, CURL_CSELECT_IN); });
        connect(watch->write, &QSocketNotifier::activated, this, [this, fd] { drive(fd, CURL_CSELECT_OUT); });
        m_watches.insert(fd, watch);
        curl_multi_assign(m_multi, fd, watch);
    }
    watch->read->setEnabled(what == CURL_POLL_IN || what == CURL_POLL_INOUT);
    watch->write->setEnabled(what == CURL_POLL_OUT || what == CURL_POLL_INOUT);
}

void CurlTransfer::drive(int fd, int events)
{
    // A nested event loop inside one of our signals must not re-enter libcurl.
    if (!m_multi || m_depth > 0)
        return;
    int running = 0;
    ++m_depth;
    curl_multi_socket_action(m_multi, fd, events, &running);
    --m_depth;
    finishIfDone();
}

void CurlTransfer::finishIfDone()
{
    if (!m_easy)
        return;
    bool done = false;
    CURLcode result = CURLE_OK;
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == m_easy) {
            done = true;
            result = message->data.result;
        }
    }
    if (m_stopRequested) {
        finish(Outcome::Stopped, {});
        return;
    }
    if (!done)
        return;
    long status = 0;
    curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &status);
    m_status = int(status);
    if (!m_failure.isEmpty())
        finish(Outcome::TransferError, m_failure);
    else if (result == CURLE_FILESIZE_EXCEEDED)
        finish(Outcome::TransferError, tooLarge());
    else if (m_status != 0 && !isSuccess(m_status))
        finish(Outcome::HttpFailure, tr("The server answered with status %1").arg(m_status));
    else if (result != CURLE_OK)
        finish(Outcome::TransferError, describe(result));
    else
        finish(Outcome::Completed, {});
}

QString CurlTransfer::tooLarge() const
{
    return tr("The file is larger than %1 bytes").arg(m_maxBytes);
}

QString CurlTransfer::describe(int code) const
{
    // libcurl's own sentence about this transfer says more than the code's name.
    const QString text = QString::fromUtf8(m_errorText.constData()).trimmed();
    return text.isEmpty() ? QString::fromUtf8(curl_easy_strerror(CURLcode(code))) : text;
}

void CurlTransfer::finish(Outcome outcome, const QString& detail)
{
    release();
    m_events->onFinished(outcome, detail);
}

void CurlTransfer::release()
{
    if (m_easy) {
        curl_multi_remove_handle(m_multi, m_easy);
        curl_easy_cleanup(m_easy);
        m_easy = nullptr;
    }
    if (m_requestHeaders) {
        curl_slist_free_all(static_cast<curl_slist*>(m_requestHeaders));
        m_requestHeaders = nullptr;
    }
    m_sink = nullptr;
    m_stopRequested = false;
    m_timer.stop();
}

} // namespace velmora

VELMORA_MODULE_ENTRY velmora::HttpTransfer* velmora_make_http_transfer_v1(velmora::HttpTransfer::Events* events)
{
    return new velmora::CurlTransfer(events);
}
