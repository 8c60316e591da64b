#pragma once

// The programs under measurement: started with a clean environment, watched
// through /proc, and ended.

#include "xdisplay.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace velmora::bench {

// The environment every measured program gets: the private display, the X11
// platform plugin, and a scratch home so no real settings or tally are read.
class ChildEnvironment {
public:
    ChildEnvironment(const std::string& display, const std::string& home);
    char** envp() { return m_pointers.data(); }

private:
    std::vector<std::string> m_entries;
    std::vector<char*> m_pointers;
};

// Starts `path` with `args`; -1 (and a message) when it cannot.
pid_t startChild(const std::string& path, const std::vector<std::string>& args, ChildEnvironment& env,
                 std::string& error);

// VmRSS of a live process in KiB, or -1.
long residentKb(pid_t pid);

// CPU time all threads of a live process have used so far, in ms (from the
// scheduler's own nanosecond counts), or -1. Unlike wall time, it hardly
// depends on how busy the rest of the machine is.
double cpuMs(pid_t pid);

// Waits for the child to exit until `deadline`; kills it after that.
// True when it exited by itself.
bool reapChild(pid_t pid, Clock::time_point deadline);

// True when nothing listens on the TCP port (on any address).
bool tcpPortFree(unsigned short port);

} // namespace velmora::bench
