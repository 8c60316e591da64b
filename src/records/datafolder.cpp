#include "datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora {

namespace {

QString& testingFolder()
{
    static QString folder;
    return folder;
}

QString userFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    const QString folder = base + QStringLiteral("/velmora");
    QDir().mkpath(folder);
    return folder;
}

} // namespace

QString chooseDataFolder(const QString& executableFolder)
{
    // An installed game sits in a folder only the administrator may write:
    // its files then live with the user.
    const QFileInfo info(executableFolder);
    if (!executableFolder.isEmpty() && info.isDir() && info.isWritable())
        return info.absoluteFilePath();
    return userFolder();
}

QString dataFolder()
{
    if (!testingFolder().isEmpty())
        return testingFolder();
    const QString executableFolder = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    return chooseDataFolder(executableFolder);
}

void setDataFolderForTesting(const QString& folder)
{
    testingFolder() = folder;
}

} // namespace velmora
