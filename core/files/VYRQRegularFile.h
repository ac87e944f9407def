#pragma once

#include "VYRQExport.h"

// Reading a whole file that the library is given by name: a theme, skin, page, menu,
// icon, language or movie file, an image that HTML names. The file is opened without
// blocking and its type and size are checked on the open descriptor: a name that was
// replaced by a FIFO or a device after it was listed neither hangs nor reads without
// end, and nothing is allocated before the size is known to be within the bound.
// Paths into Qt's resources (":/...") are read through QFile under the same bound.
// scripts/check-file-opens.sh keeps this the one way in.

#include <QByteArray>
#include <QString>

namespace vyr {

// The most any one file of a theme, skin or page may hold (a zip entry's limit too).
constexpr qint64 maxFileBytes = 64 * 1024 * 1024;

enum class FileRead {
    Read,         // `out` holds the file (no more than the size checked, should it grow)
    Missing,      // no such file, or it cannot be opened
    NotRegular,   // a FIFO, device node, socket or folder; nothing was read
    TooLarge,     // more than the bound; nothing was read
    Failed        // a read error; `out` is empty
};

// Reads the file at `path` into `out` (emptied first; room reserved in it is read into, so
// a reader of file after file allocates once). `size`, when given, receives the
// file's size as found before reading, or -1 when it was not found; `error` the system's
// error number when the file was Missing or Failed (0 otherwise); `identity` what tells
// the file that was opened from the same file changed since (vyr::fileIdentity of the
// open descriptor, taken before the read), empty when no regular file was opened.
VYRQTLIB_EXPORT FileRead readRegularFile(const QString& path, qint64 maxBytes, QByteArray& out,
                                         qint64* size = nullptr, int* error = nullptr,
                                         QByteArray* identity = nullptr);

// A few words for a refusal, for warnings: "not a regular file", "too large" ...
VYRQTLIB_EXPORT const char* fileReadText(FileRead result);

} // namespace vyr
