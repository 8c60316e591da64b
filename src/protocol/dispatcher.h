#pragma once

#include "decoded.h"
#include "message.h"

#include <QString>
#include <functional>
#include <vector>

namespace velmora::protocol {

// What became of one inbound entry that was not malformed; a known command
// whose fields did not decode is a failure, with the decoder's reason.
enum class Dispatch {
    Ignored, // no command word, or one this side does not know
    Handled, // decoded and handed to its handler
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
                            [handler = std::move(handler)](const QString& rest, Context... context) -> Status {
                                const Decoded<Message> message = Message::decode(rest);
                                if (!message)
                                    return Failure{message.error()};
                                handler(context..., *message);
                                return success();
                            }});
    }

    // Cuts the entry at its first "+" and runs the route of its command
    // word; fails with the reason when a known message is malformed.
    Result<Dispatch> dispatch(const QString& entry, Context... context) const
    {
        const CommandLine line = splitCommand(entry);
        if (line.command.isEmpty())
            return Dispatch::Ignored;
        for (const Route& route : m_routes) {
            if (route.command != line.command)
                continue;
            const Status run = route.run(line.rest, context...);
            if (!run)
                return Failure{run.error()};
            return Dispatch::Handled;
        }
        return Dispatch::Ignored;
    }

private:
    struct Route {
        QLatin1String command;
        std::function<Status(const QString&, Context...)> run;
    };
    std::vector<Route> m_routes;
};

} // namespace velmora::protocol
