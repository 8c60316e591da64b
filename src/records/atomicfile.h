#pragma once

#include <cstddef>
#include <string>

namespace velmora {

// Writes a file so that it appears whole or not at all: the bytes go to a
// temporary file in the same folder, which replaces the target only when
// commit() succeeds. Until then an existing target stays as it was, and a
// file that is never committed is removed. Plain C++ and POSIX calls.
class AtomicFile {
public:
    explicit AtomicFile(std::string target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; false when the folder is not writable.
    bool open();
    bool write(const void* data, std::size_t size);
    // Flushes the data to disk and renames it over the target.
    bool commit();
    void discard();

    const std::string& target() const { return m_target; }

private:
    std::string m_target;
    std::string m_temp;
    int m_fd = -1;
};

} // namespace velmora
