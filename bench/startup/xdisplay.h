#pragma once

// A private X server for the start-up benchmark, and a watch on the top-level
// windows its clients map.

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <xcb/xcb.h>

namespace velmora::bench {

using Clock = std::chrono::steady_clock;

// Xvfb on a display number the server picks itself; stopped with the object.
class PrivateXServer {
public:
    PrivateXServer();
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    bool start(std::string& error);
    const std::string& display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

struct MappedWindow {
    xcb_window_t id = 0;
    Clock::time_point when;
    int width = 0;
    int height = 0;
};

// Listens for top-level windows being mapped (there is no window manager, so
// a client's windows are children of the root) and tells them apart by the
// process that owns them and their title.
class MapWatcher {
public:
    MapWatcher() = default;
    ~MapWatcher();
    MapWatcher(const MapWatcher&) = delete;
    MapWatcher& operator=(const MapWatcher&) = delete;

    bool connect(const std::string& display, std::string& error);
    // The first window of `pid` titled `title` mapped before `deadline`.
    std::optional<MappedWindow> waitForWindow(pid_t pid, const std::string& title, Clock::time_point deadline);
    // Asks the window to close, as a window manager's close button does.
    void requestClose(xcb_window_t window);

private:
    xcb_atom_t atom(const char* name);
    std::optional<MappedWindow> matching(xcb_window_t window, pid_t pid, const std::string& title);
    std::string windowTitle(xcb_window_t window);

    xcb_connection_t* m_conn = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_pidAtom = 0;
    xcb_atom_t m_nameAtom = 0;
    xcb_atom_t m_utf8Atom = 0;
    xcb_atom_t m_protocolsAtom = 0;
    xcb_atom_t m_deleteAtom = 0;
};

} // namespace velmora::bench
