#pragma once

#include "decoded.h"
#include "message.h"

#include <QString>
#include <functional>
#include <vector>

namespace velmora::protocol {

// What became of one inbound entry.
enum class Dispatch {
    Ignored,   // no command word, or one this side does not know
    Handled,   // decoded and handed to its handler
    Malformed, // a known command whose fields did not decode
};

// A table from command word to handler, the same shape on both sides: each
// route decodes its message once into a checked value and calls its handler
// with that value and the caller's context (the host passes the connection
// a message came on; the client passes nothing).
template <class... Context> class Dispatcher {
public:
    // Adds a route for the message type `Message` (one of the catalogue's
    // structs); `handler` is called as handler(context..., message).
    template <class Message, class Handler> void on(Handler handler)
    {
        m_routes.push_back({QLatin1String(Message::kCommand),
                            [handler = std::move(handler)](const QString& rest, QString* why, Context... context) {
                                const Decoded<Message> message = Message::decode(rest);
                                if (!message) {
                                    *why = message.error();
                                    return false;
                                }
                                handler(context..., *message);
                                return true;
                            }});
    }

    // Cuts the entry at its first "+" and runs the route of its command
    // word; `why` receives the reason a known message was malformed.
    Dispatch dispatch(const QString& entry, QString* why, Context... context) const
    {
        const CommandLine line = splitCommand(entry);
        if (line.command.isEmpty())
            return Dispatch::Ignored;
        for (const Route& route : m_routes) {
            if (route.command != line.command)
                continue;
            QString reason;
            if (route.run(line.rest, &reason, context...))
                return Dispatch::Handled;
            if (why)
                *why = reason;
            return Dispatch::Malformed;
        }
        return Dispatch::Ignored;
    }

private:
    struct Route {
        QLatin1String command;
        std::function<bool(const QString&, QString*, Context...)> run;
    };
    std::vector<Route> m_routes;
};

} // namespace velmora::protocol
