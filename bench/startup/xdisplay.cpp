#include "xdisplay.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velmora::bench {

namespace {

template <typename T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T> XcbReply<T> own(T* reply)
{
    return XcbReply<T>(reply, &std::free);
}

// Reads the display number Xvfb writes once it accepts connections.
std::string readDisplayNumber(int fd, std::chrono::seconds timeout)
{
    std::string digits;
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (::poll(&p, 1, static_cast<int>(left.count()) + 1) <= 0)
            continue;
        char c = 0;
        if (::read(fd, &c, 1) != 1)
            break;
        if (c == '\n')
            return digits;
        digits += c;
    }
    return {};
}

} // namespace

PrivateXServer::PrivateXServer() = default;

PrivateXServer::~PrivateXServer()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
}

bool PrivateXServer::start(std::string& error)
{
    int fds[2];
    if (::pipe(fds) != 0) {
        error = std::strerror(errno);
        return false;
    }
    const std::string fdText = std::to_string(fds[1]);
    const char* argv[] = {"Xvfb",         "-displayfd", fdText.c_str(), "-screen",  "0",
                          "1280x1024x24", "-nolisten",  "tcp",          "-noreset", nullptr};
    const int rc = ::posix_spawnp(&m_pid, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        m_pid = -1;
        error = std::string("cannot start Xvfb: ") + std::strerror(rc);
        return false;
    }
    const std::string number = readDisplayNumber(fds[0], std::chrono::seconds(20));
    ::close(fds[0]);
    if (number.empty()) {
        error = "Xvfb did not report a display number";
        return false;
    }
    m_display = ":" + number;
    return true;
}

MapWatcher::~MapWatcher()
{
    if (m_conn)
        xcb_disconnect(m_conn);
}

bool MapWatcher::connect(const std::string& display, std::string& error)
{
    m_conn = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(m_conn)) {
        error = "cannot connect to " + display;
        return false;
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_conn, m_root, XCB_CW_EVENT_MASK, &mask);
    m_pidAtom = atom("_NET_WM_PID");
    m_nameAtom = atom("_NET_WM_NAME");
    m_utf8Atom = atom("UTF8_STRING");
    m_protocolsAtom = atom("WM_PROTOCOLS");
    m_deleteAtom = atom("WM_DELETE_WINDOW");
    xcb_flush(m_conn);
    return true;
}

xcb_atom_t MapWatcher::atom(const char* name)
{
    auto reply = own(xcb_intern_atom_reply(
        m_conn, xcb_intern_atom(m_conn, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::string MapWatcher::windowTitle(xcb_window_t window)
{
    auto reply = own(
        xcb_get_property_reply(m_conn, xcb_get_property(m_conn, 0, window, m_nameAtom, m_utf8Atom, 0, 256), nullptr));
    if (!reply || reply->format != 8)
        return {};
    const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return std::string(text, static_cast<size_t>(xcb_get_property_value_length(reply.get())));
}

std::optional<MappedWindow> MapWatcher::matching(xcb_window_t window, pid_t pid, const std::string& title)
{
    auto pidReply = own(xcb_get_property_reply(
        m_conn, xcb_get_property(m_conn, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr));
    if (!pidReply || xcb_get_property_value_length(pidReply.get()) != 4)
        return std::nullopt;
    if (*static_cast<const uint32_t*>(xcb_get_property_value(pidReply.get())) != static_cast<uint32_t>(pid))
        return std::nullopt;
    // A message box carries the game's name too, but belongs to another window.
    auto transient = own(xcb_get_property_reply(
        m_conn, xcb_get_property(m_conn, 0, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 0, 1), nullptr));
    if (transient && xcb_get_property_value_length(transient.get()) > 0)
        return std::nullopt;
    if (windowTitle(window) != title)
        return std::nullopt;
    MappedWindow found;
    found.id = window;
    auto geometry = own(xcb_get_geometry_reply(m_conn, xcb_get_geometry(m_conn, window), nullptr));
    if (geometry) {
        found.width = geometry->width;
        found.height = geometry->height;
    }
    return found;
}

std::optional<MappedWindow> MapWatcher::waitForWindow(pid_t pid, const std::string& title, Clock::time_point deadline)
{
    const int fd = xcb_get_file_descriptor(m_conn);
    while (Clock::now() < deadline) {
        while (xcb_generic_event_t* raw = xcb_poll_for_event(m_conn)) {
            auto event = own(raw);
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
                continue;
            // Take the time first: the property look-ups below are round trips.
            const auto when = Clock::now();
            const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event.get());
            if (auto found = matching(map->window, pid, title)) {
                found->when = when;
                return found;
            }
        }
        if (xcb_connection_has_error(m_conn))
            return std::nullopt;
        pollfd p{fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        ::poll(&p, 1, static_cast<int>(std::max<long>(left.count(), 0)) + 1);
    }
    return std::nullopt;
}

void MapWatcher::requestClose(xcb_window_t window)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = m_protocolsAtom;
    message.data.data32[0] = m_deleteAtom;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_conn, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(m_conn);
}

} // namespace velmora::bench
