#pragma once

// Saves write a temporary file beside the target and rename it over the target once
// all of it is on disk. A device, a FIFO or a folder at the target (also behind a
// symbolic link) would then be replaced by a plain file: a save may only put a file
// where there is none or a regular one.

#include <QFileInfo>
#include <QString>

namespace vyr {

inline bool isSaveTarget(const QString& path)
{
    const QFileInfo target(path);
    return !target.exists() || target.isFile();
}

} // namespace vyr
