#pragma once

#include "records/datafolder.h"

#include <QString>
#include <QTemporaryDir>

namespace velmora::testing {

// A fresh data folder for the settings and tally files while it lives.
struct TemporaryDataFolder {
    QTemporaryDir dir;
    TemporaryDataFolder() { setDataFolderForTesting(dir.path()); }
    ~TemporaryDataFolder() { setDataFolderForTesting({}); }
    QString file(const QString& name) const { return dir.filePath(name); }
};

} // namespace velmora::testing
