#include "httpdownload.h"

#include "plugins/moduleloader.h"

namespace velmora {

HttpDownload::HttpDownload(QObject* parent)
    : QObject(parent)
{
}

HttpDownload::~HttpDownload() = default;

void HttpDownload::setMaxBytes(qint64 bytes)
{
    m_maxBytes = bytes;
    if (m_transfer)
        m_transfer->setMaxBytes(bytes);
}

bool HttpDownload::start(const QUrl& url, QIODevice* sink)
{
    if (!loadTransfer())
        return false;
    return m_transfer->start(url, sink);
}

void HttpDownload::stop()
{
    if (m_transfer)
        m_transfer->stop();
}

bool HttpDownload::loadTransfer()
{
    if (m_transfer)
        return true;
    m_setUpError.clear();
    auto make = modules::entryPoint<MakeHttpTransfer>(QLatin1StringView(kHttpModule), kMakeHttpTransfer, &m_setUpError);
    if (!make)
        return false;
    m_transfer.reset(make(this));
    m_transfer->setMaxBytes(m_maxBytes);
    return true;
}

} // namespace velmora
