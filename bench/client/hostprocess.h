#pragma once

// A dedicated host for a benchmark: velmora-host on a free port.

#include <QCoreApplication>
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

// The host named on the command line, or the one built beside the benchmark.
inline QString hostPathFrom(int argc, char* argv[])
{
    return argc > 1 ? QString::fromLocal8Bit(argv[1])
                    : QCoreApplication::applicationDirPath() + QStringLiteral("/../../src/app/velmora-host");
}

inline void stopHost(QProcess& host)
{
    host.write("quit\n");
    host.waitForFinished(5000);
}

} // namespace velmora::bench
