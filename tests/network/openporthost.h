#pragma once

#include <QProcess>
#include <QStringList>
#include <QtTest>

// velmora-host started as a player starts it to let the internet in
// (--open-port), asking the given router, with the first two lines of its
// console: where it listens, and what the router did. Fewer lines when the
// host says less within the wait.
inline QStringList startOpenPortHost(QProcess& host, const QString& router, int waitMs)
{
    host.start(QStringLiteral(VELMORA_HOST_PATH), {"--port", "0", "--no-publish", "--open-port", "--router", router});
    QStringList lines;
    (void)QTest::qWaitFor(
        [&] {
            while (host.canReadLine())
                lines << QString::fromLocal8Bit(host.readLine()).trimmed();
            return lines.size() >= 2;
        },
        waitMs);
    return lines;
}
