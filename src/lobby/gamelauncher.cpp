#include "gamelauncher.h"

#include "network/gamerecord.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace velmora::lobby {

ProcessLauncher::ProcessLauncher(const QString& program)
    : m_program(program.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/velmora") : program)
{
}

Status ProcessLauncher::launch(const GameLaunch& launch)
{
    if (!QFileInfo(m_program).isExecutable())
        return Failure{QStringLiteral("The game is not installed at %1.").arg(m_program).toStdString()};
    QProcess process;
    process.setProgram(m_program);
    process.setArguments(launch.arguments());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QLatin1StringView(net::kTitleVariable));
    if (launch.host && !launch.title.isEmpty())
        environment.insert(QLatin1StringView(net::kTitleVariable), launch.title);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QFileInfo(m_program).absolutePath());
    if (!process.startDetached())
        return Failure{QStringLiteral("The game could not be started: %1").arg(process.errorString()).toStdString()};
    return success();
}

} // namespace velmora::lobby
