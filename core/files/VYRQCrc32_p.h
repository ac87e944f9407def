#pragma once

// Library-internal; not installed.

#include "VYRQExport.h"

#include <QtGlobal>

namespace vyr {

// The CRC-32 of zip and gzip (zlib's crc32) of `size` bytes at `data`: folded 64 bytes
// at a time with carry-less multiplication where the processor has it, which reads a
// theme file's bytes several times faster than zlib's tables.
VYRQTLIB_EXPORT quint32 crc32Of(const char* data, qint64 size);

} // namespace vyr
