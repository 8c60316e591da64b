#pragma once

#include <QString>

namespace velmora {

// A system-wide name that tells other programs (the lobby) the game is
// running, held from start until exit: a POSIX named semaphore whose count
// is the number of running copies. The last copy to leave removes the name.
// Nothing in the game waits on it.
class NamedMutex {
public:
    explicit NamedMutex(const QString& name);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    bool isHeld() const { return m_handle != nullptr; }

private:
    QByteArray m_path;
    void* m_handle = nullptr;
};

} // namespace velmora
