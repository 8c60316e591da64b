#include "core/namedmutex.h"

#include <fcntl.h>
#include <semaphore.h>

namespace velmora {

NamedMutex::NamedMutex(const QString& name)
    : m_path("/" + name.toUtf8())
{
    sem_t* handle = ::sem_open(m_path.constData(), O_CREAT, 0600, 0);
    // Failing to create it changes nothing for the game itself.
    if (handle == SEM_FAILED)
        return;
    ::sem_post(handle);
    m_handle = handle;
}

NamedMutex::~NamedMutex()
{
    if (!m_handle)
        return;
    auto* handle = static_cast<sem_t*>(m_handle);
    int running = 0;
    if (::sem_trywait(handle) == 0 && ::sem_getvalue(handle, &running) == 0 && running == 0)
        ::sem_unlink(m_path.constData());
    ::sem_close(handle);
}

} // namespace velmora
