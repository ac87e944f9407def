#pragma once

#include "VYRQExport.h"

// Handle-based access to zip archives over minizip's unzip reader. Every operation
// returns one of the result codes below and also keeps it as the layer's last
// result code (zipLastResult), which is where an open failure's reason is found.

#include <cstdint>

enum ZipResult : uint32_t {
    ZR_OK = 0,
    ZR_MORE = 0x600,          // the caller's buffer is full and more data of the item remains
    ZR_CORRUPT = 0x700,       // local header does not match the central directory
    ZR_READ = 0x800,          // local extra field could not be positioned or read
    ZR_PASSWORD = 0x1000,     // encrypted item whose password check failed
    ZR_NOFILE = 0x200,        // archive cannot be opened, or is no zip archive
    ZR_ARGS = 0x10000,        // null handle, index out of range, unknown mode, bad buffer
    ZR_NOTREAD = 0x80000,     // the handle is not a reading handle
    ZR_SEEK = 0x2000000,      // an open file stream cannot report its position
    ZR_FLATE = 0x5000000      // inflating (or checking) the item failed
};

enum ZipOpenMode {
    ZipFromStream = 1,        // an open FILE*
    ZipFromFileName = 2,      // a file name (8-bit, UTF-8 on this platform)
    ZipFromMemory = 3         // a buffer that outlives the handle
};

struct VYRQTLIB_EXPORT ZipHandle {
    int kind = 0;             // 1 reading handle; 2 writing handle (never created here)
    void* state = nullptr;
};

struct VYRQTLIB_EXPORT ZipEntry {
    int index = 0;            // for the request -1: the number of items
    char name[1024] = {};     // cleaned path inside the archive, zero-terminated
    uint32_t attr = 0;        // Unix-style mode
    int64_t atime = 0;
    int64_t ctime = 0;
    int64_t mtime = 0;
    uint32_t compressedSize = 0;
    uint32_t unpackedSize = 0;
};

// Where an item's record lies in the archive's directory, and the CRC-32 it records for
// the item's data. Taken in one walk over the directory, it brings a reader of the same
// archive back to the item without walking, and tells whether the item is still the
// same.
struct VYRQTLIB_EXPORT ZipItemRef {
    int index = -1;
    uint64_t directoryOffset = 0;
    uint32_t crc = 0;
};

// Limits on what an archive may make us allocate.
constexpr uint32_t ZipMaxEntrySize = 64u * 1024u * 1024u;
constexpr uint64_t ZipMaxArchiveSize = 256ull * 1024u * 1024u;

VYRQTLIB_EXPORT ZipHandle* openZipFromFile(const char* path, const char* password);
VYRQTLIB_EXPORT ZipHandle* openZipFromMemory(const void* buffer, unsigned int length, const char* password);
VYRQTLIB_EXPORT ZipHandle* openZipHandle(const void* source, unsigned int length, int mode, const char* password);
VYRQTLIB_EXPORT uint32_t getZipItem(ZipHandle* handle, int index, ZipEntry* entry);
VYRQTLIB_EXPORT uint32_t unzipItem(ZipHandle* handle, int index, void* buffer, unsigned int size);
VYRQTLIB_EXPORT uint32_t closeZip(ZipHandle* handle);
VYRQTLIB_EXPORT uint32_t zipLastResult();
// The reference of item `index` (the reader moves to it).
VYRQTLIB_EXPORT uint32_t getZipItemRef(ZipHandle* handle, int index, ZipItemRef* ref);
// Moves the reader straight to the item `ref` names, so that getZipItem, getZipItemRef
// and unzipItem of ref.index then find it without a walk. ZR_CORRUPT when no directory
// record lies there. A reference taken from another archive lands on whatever record
// lies at its offset: check the record (name, size, CRC) before trusting it.
VYRQTLIB_EXPORT uint32_t seekZipItem(ZipHandle* handle, const ZipItemRef& ref);
// Directory records that readers stepped through to find items, over the whole
// process: what finding items has cost.
VYRQTLIB_EXPORT uint64_t zipDirectorySteps();

// Closes a handle when it goes out of scope.
class VYRQTLIB_EXPORT ZipHandleGuard {
public:
    explicit ZipHandleGuard(ZipHandle* h) : m_handle(h) {}
    ~ZipHandleGuard() { if (m_handle) closeZip(m_handle); }
    ZipHandleGuard(const ZipHandleGuard&) = delete;
    ZipHandleGuard& operator=(const ZipHandleGuard&) = delete;
    ZipHandle* get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
private:
    ZipHandle* m_handle;
};
