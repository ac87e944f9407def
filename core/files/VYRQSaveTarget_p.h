#pragma once

// Saves write a temporary file beside the target and rename it over the target once
// all of it is on disk. A device, a FIFO or a folder at the target (also behind a
// symbolic link) would then be replaced by a plain file: a save may only put a file
// where there is none or a regular one.

#include "VYRQExport.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>

namespace vyr {

inline bool isSaveTarget(const QString& path)
{
    const QFileInfo target(path);
    return !target.exists() || target.isFile();
}

// Puts `bytes` at path as a save does (`text`: in text mode). False when path is no save
// target or any step fails (a full disk, a file-size limit, no write access): path is
// then as it was, no temporary file is left, and `why` says what failed, for the
// caller's message.
VYRQTLIB_EXPORT bool saveWholeFile(const QString& path, const QByteArray& bytes, QString& why, bool text = false);

} // namespace vyr
