#include "namedmutex.h"

#include <fcntl.h>
#include <semaphore.h>

namespace velmora {

NamedMutex::NamedMutex(const QString& name)
{
    const QByteArray path = "/" + name.toUtf8();
    sem_t* handle = ::sem_open(path.constData(), O_CREAT, 0600, 1);
    // Failing to create it changes nothing for the game itself.
    m_handle = handle == SEM_FAILED ? nullptr : handle;
}

NamedMutex::~NamedMutex()
{
    if (m_handle)
        ::sem_close(static_cast<sem_t*>(m_handle));
}

} // namespace velmora
