#pragma once

// Library-internal; not installed.

#include <QByteArray>
#include <QString>

struct stat;

namespace vyr {

// What tells a file on disk from the same file changed or replaced: its device, inode,
// size and modification time (to the nanosecond), as text; a path into Qt's resources
// (":/...", which cannot change) stands for itself. Empty when `path` names no regular
// file.
QByteArray fileIdentity(const QString& path);

// The same text for what fstat or stat told of a file; empty when it is not regular.
QByteArray fileIdentity(const struct stat& info);

} // namespace vyr
