#include "children.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace velmora::bench {

namespace {

bool replacedByUs(const std::string& entry)
{
    for (const char* name : {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=", "HOME=", "XDG_"}) {
        if (entry.rfind(name, 0) == 0)
            return true;
    }
    return false;
}

} // namespace

ChildEnvironment::ChildEnvironment(const std::string& display, const std::string& home)
{
    for (char** e = environ; *e; ++e) {
        if (!replacedByUs(*e))
            m_entries.emplace_back(*e);
    }
    m_entries.push_back("DISPLAY=" + display);
    m_entries.push_back("QT_QPA_PLATFORM=xcb");
    m_entries.push_back("HOME=" + home);
    m_entries.push_back("XDG_RUNTIME_DIR=" + home + "/run");
    m_entries.push_back("XDG_CONFIG_HOME=" + home + "/config");
    m_entries.push_back("XDG_DATA_HOME=" + home + "/data");
    m_entries.push_back("XDG_CACHE_HOME=" + home + "/cache");
    for (std::string& entry : m_entries)
        m_pointers.push_back(entry.data());
    m_pointers.push_back(nullptr);
}

pid_t startChild(const std::string& path, const std::vector<std::string>& args, ChildEnvironment& env,
                 std::string& error)
{
    std::vector<std::string> words{path};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), env.envp());
    if (rc != 0) {
        error = "cannot start " + path + ": " + std::strerror(rc);
        return -1;
    }
    return pid;
}

long residentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = -1;
            status >> kb;
            return kb;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

double cpuMs(pid_t pid)
{
    std::error_code error;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    long long ns = 0;
    bool any = false;
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream in(task.path() / "schedstat");
        long long running = 0;
        if (in >> running) {
            ns += running;
            any = true;
        }
    }
    return any ? static_cast<double>(ns) / 1e6 : -1;
}

bool reapChild(pid_t pid, Clock::time_point deadline)
{
    while (Clock::now() < deadline) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno == ECHILD))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return false;
}

bool tcpPortFree(unsigned short port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    // Like a listener, ignore connections lingering in TIME_WAIT.
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    const bool free = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return free;
}

} // namespace velmora::bench
