#include "moduleloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

namespace velmora::modules {

namespace {

bool isInside(const QString& path, const QString& folder)
{
    return !folder.isEmpty() && (path == folder || path.startsWith(folder + QLatin1Char('/')));
}

QStringList moduleFolders()
{
    const QString programs = QCoreApplication::applicationDirPath();
    QStringList folders{QDir::cleanPath(programs + QLatin1Char('/') + QLatin1StringView(VELMORA_MODULES_FROM_PROGRAMS))};
    // Only a program of this build tree may take modules from it: an
    // installed game must not load whatever a build folder holds.
    const QString buildRoot = QFileInfo(QStringLiteral(VELMORA_BUILD_ROOT)).canonicalFilePath();
    if (isInside(QFileInfo(programs).canonicalFilePath(), buildRoot))
        folders << QStringLiteral(VELMORA_BUILD_MODULES);
    return folders;
}

} // namespace

QFunctionPointer entryPoint(const QString& module, const char* symbol, QString* error)
{
    if (module.isEmpty() || module.contains(QLatin1Char('/'))) {
        if (error)
            *error = QStringLiteral("%1 is not a module name").arg(module);
        return nullptr;
    }
    QStringList tried;
    for (const QString& folder : moduleFolders()) {
        const QString path = folder + QLatin1Char('/') + module + QStringLiteral(".so");
        if (!QFileInfo::exists(path)) {
            tried << path;
            continue;
        }
        QLibrary library(path);
        if (!library.load()) {
            if (error)
                *error = library.errorString();
            return nullptr;
        }
        if (QFunctionPointer entry = library.resolve(symbol))
            return entry;
        if (error)
            *error = QStringLiteral("%1 has no %2").arg(path, QLatin1StringView(symbol));
        return nullptr;
    }
    if (error)
        *error = QStringLiteral("%1 not found (looked for %2)").arg(module, tried.join(QStringLiteral(", ")));
    return nullptr;
}

} // namespace velmora::modules
