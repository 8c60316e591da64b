#pragma once

#include "base/result.h"
#include "tally.h"

#include <QString>

namespace velmora {

// Keeps the tally in "velmoratally.tld" in a folder: the grid text,
// compressed. Saving writes a new file beside the old one and renames it over
// only when complete, so a failed save never costs the previous tally.
class TallyStore {
public:
    static QString fileName() { return QStringLiteral("velmoratally.tld"); }

    explicit TallyStore(const QString& folder);

    QString path() const { return m_path; }
    // Where a tally file that could not be read is kept.
    QString badPath() const { return m_path + QStringLiteral(".bad"); }

    struct Loaded {
        Tally tally;
        Status read; // fails with the reason the file could not be read
    };
    // Reads the tally, its session counts at 0 for the new run. A missing
    // file is an empty tally; a file that cannot be read gives an empty
    // tally and the error, and is moved aside to badPath() by the next save.
    Loaded load();
    Status save(const Tally& tally);

private:
    QString m_path;
    bool m_keepAsBad = false;
};

} // namespace velmora
