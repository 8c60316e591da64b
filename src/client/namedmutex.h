#pragma once

#include <QString>

namespace velmora {

// A system-wide name that tells other programs (the lobby) the game is
// running: a POSIX named semaphore, opened at start and held until exit.
// Nothing in the game waits on it.
class NamedMutex {
public:
    explicit NamedMutex(const QString& name);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    bool isHeld() const { return m_handle != nullptr; }

private:
    void* m_handle = nullptr;
};

} // namespace velmora
