#pragma once

// A dedicated host for a benchmark: velmora-host on a free port.

#include <QProcess>
#include <QString>
#include <cstdio>

namespace velmora::bench {

// Starts `hostPath` on a port of its choosing; returns the port it reports,
// 0 (and a line on stdout) when it did not start.
inline quint16 startHost(QProcess& host, const QString& hostPath, QStringList options = {})
{
    host.start(hostPath, QStringList{QStringLiteral("--port"), QStringLiteral("0")} + options);
    if (!host.waitForStarted() || !host.waitForReadyRead(10000)) {
        std::printf("velmora-host did not start: %s\n", qPrintable(hostPath));
        return 0;
    }
    return quint16(QString::fromLocal8Bit(host.readLine()).section(u' ', -1).trimmed().toUInt());
}

} // namespace velmora::bench
