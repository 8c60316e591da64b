#include "tallystore.h"

#include "tallycontainer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace velmora {

namespace {

// Far beyond any real tally; a larger file is not one of ours.
constexpr std::uint64_t kMaxFileSize = 8u << 20;
constexpr std::uint64_t kMaxTextSize = 32u << 20;

std::string nativeName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

TallyStore::TallyStore(const QString& folder)
    : m_path(QDir(folder).filePath(fileName()))
{
}

TallyStore::Loaded TallyStore::load()
{
    m_keepAsBad = false;
    if (!QFileInfo::exists(m_path))
        return {Tally(), success()};
    const std::string name = nativeName(m_path);
    auto file = tallyfile::readFile(name, kMaxFileSize);
    auto text = file ? tallyfile::expand(file.value(), name, kMaxTextSize)
                     : Result<std::vector<std::uint8_t>>(Failure{file.error()});
    auto tally = text ? Tally::fromText(QByteArray(reinterpret_cast<const char*>(text.value().data()),
                                                   qsizetype(text.value().size())))
                      : Result<Tally>(Failure{text.error()});
    if (!tally) {
        m_keepAsBad = true;
        return {Tally(), Failure{tally.error()}};
    }
    tally.value().startSession();
    return {std::move(tally).value(), success()};
}

Status TallyStore::save(const Tally& tally)
{
    const std::string name = nativeName(m_path);
    if (m_keepAsBad && QFileInfo::exists(m_path)) {
        // Keep the unreadable file for whoever wants to look at it.
        if (std::rename(name.c_str(), nativeName(badPath()).c_str()) != 0)
            return Failure{"Could not keep the unreadable tally file as " + nativeName(badPath())};
    }
    m_keepAsBad = false;
    const QByteArray text = tally.toText();
    auto packed =
        tallyfile::compress({reinterpret_cast<const std::uint8_t*>(text.constData()), std::size_t(text.size())});
    if (!packed)
        return Failure{packed.error()};
    return tallyfile::writeFile(name, packed.value());
}

} // namespace velmora
