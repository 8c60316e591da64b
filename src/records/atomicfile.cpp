#include "atomicfile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

// A name beside the target that no one else is using.
std::string temporaryNameFor(const std::string& target)
{
    static std::mt19937_64 generator{std::random_device{}()};
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    char suffix[20];
    std::snprintf(suffix, sizeof suffix, ".%08llx", static_cast<unsigned long long>(generator() & 0xFFFFFFFF));
    return folder + "." + name + suffix + ".part";
}

// Keep the permissions of the file being replaced; a new file gets the
// usual ones (the umask still applies at creation).
mode_t modeFor(const std::string& target)
{
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        return info.st_mode & 07777;
    return 0666;
}

} // namespace

AtomicFile::AtomicFile(std::string target)
    : m_target(std::move(target))
{
}

AtomicFile::~AtomicFile()
{
    discard();
}

bool AtomicFile::open()
{
    discard();
    const mode_t mode = modeFor(m_target);
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name = temporaryNameFor(m_target);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            m_fd = fd;
            m_temp = std::move(name);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool AtomicFile::write(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    while (m_fd >= 0 && size > 0) {
        const ssize_t done = ::write(m_fd, bytes, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes += done;
        size -= std::size_t(done);
    }
    return m_fd >= 0;
}

bool AtomicFile::commit()
{
    if (m_fd < 0)
        return false;
    const bool synced = ::fsync(m_fd) == 0;
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    if (!synced || !closed || std::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        discard();
        return false;
    }
    m_temp.clear();
    return true;
}

void AtomicFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

} // namespace velmora
