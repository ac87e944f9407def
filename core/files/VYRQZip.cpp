#include "VYRQZip.h"

// The zip access layer over Debian's minizip (1.1). Archives are read through our
// own zlib_filefunc64_def functions: a bounds-checked memory source, and a FILE*
// source (opened here, a regular file only, or handed in already open). Both
// refuse to seek past the end of the archive and never read outside it.
//
// Nothing here allocates from a size declared by the archive: unpacking goes into
// the caller's buffer, names go into a fixed 1024-byte array and the local extra
// field (a 16-bit length) into a fixed 64 KiB array of the reading state.
//
// Extraction to files (modes 1 and 2 of extractZipItem, createDirectoryPath) is
// left out: this system unpacks to memory only.

#include <QtGlobal>

#include <minizip/ioapi.h>
#include <minizip/unzip.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <new>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

std::atomic<uint32_t> g_lastResult{ZR_OK};
std::atomic<uint64_t> g_directorySteps{0};

uint32_t setLast(uint32_t code)
{
    g_lastResult.store(code, std::memory_order_relaxed);
    return code;
}

// Smallest central directory record: an archive of N bytes cannot hold more
// than N / 46 items, whatever its end record claims.
constexpr uint64_t minCentralRecord = 46;

// ---------------------------------------------------------------------------
// Sources

// A stretch of an archive file kept in memory (see fileRead).
struct ZipWindow {
    std::unique_ptr<unsigned char[]> bytes;
    uint64_t start = 0;       // relative to the source's base
    size_t length = 0;
};

struct ZipSource {
    // memory source
    const unsigned char* data = nullptr;
    // file source
    FILE* file = nullptr;
    bool ownsFile = false;
    off_t base = 0;           // offset of the archive's first byte in the stream
    ZipWindow windows[2];
    ZipWindow* last = nullptr;   // the window that served the last read
    // both
    uint64_t size = 0;        // bytes of the archive (from base to the end)
    uint64_t pos = 0;         // current position, relative to base
    bool error = false;
};

// Resolves a seek to an absolute position in [0, size]; false when it would leave
// that range.
bool resolveSeek(const ZipSource* s, ZPOS64_T offset, int origin, uint64_t& target)
{
    uint64_t from;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: from = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: from = s->pos; break;
    case ZLIB_FILEFUNC_SEEK_END: from = s->size; break;
    default: return false;
    }
    if (from > s->size || offset > s->size - from)
        return false;
    target = from + offset;
    return true;
}

bool readOnlyMode(int mode)
{
    return (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) == ZLIB_FILEFUNC_MODE_READ
        && (mode & ZLIB_FILEFUNC_MODE_CREATE) == 0;
}

voidpf ZCALLBACK srcOpen(voidpf opaque, const void*, int mode)
{
    auto* s = static_cast<ZipSource*>(opaque);
    if (!s || !readOnlyMode(mode))
        return nullptr;
    s->pos = 0;
    s->error = false;
    return s;
}

uLong ZCALLBACK srcWrite(voidpf, voidpf stream, const void*, uLong)
{
    if (auto* s = static_cast<ZipSource*>(stream))
        s->error = true;
    return 0;
}

ZPOS64_T ZCALLBACK srcTell(voidpf, voidpf stream)
{
    auto* s = static_cast<ZipSource*>(stream);
    return s ? s->pos : static_cast<ZPOS64_T>(-1);
}

int ZCALLBACK srcTestError(voidpf, voidpf stream)
{
    auto* s = static_cast<ZipSource*>(stream);
    return (!s || s->error) ? 1 : 0;
}

// Memory source

uLong ZCALLBACK memRead(voidpf, voidpf stream, void* buf, uLong size)
{
    auto* s = static_cast<ZipSource*>(stream);
    if (!s || size == 0)
        return 0;
    if (!buf || !s->data) {
        if (s)
            s->error = true;
        return 0;
    }
    const uint64_t avail = s->pos < s->size ? s->size - s->pos : 0;
    const uLong n = static_cast<uint64_t>(size) < avail ? size : static_cast<uLong>(avail);
    if (n > 0)
        std::memcpy(buf, s->data + s->pos, n);
    s->pos += n;
    // A short read is an error: minizip's byte reader takes end-of-file for success
    // (UNZ_EOF == UNZ_OK) and would go on with a value it never read.
    s->error = n < size;
    return n;
}

long ZCALLBACK memSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto* s = static_cast<ZipSource*>(stream);
    uint64_t target = 0;
    if (!s || !resolveSeek(s, offset, origin, target))
        return -1;
    s->pos = target;
    return 0;
}

int ZCALLBACK memClose(voidpf, voidpf stream)
{
    auto* s = static_cast<ZipSource*>(stream);
    if (s)
        s->data = nullptr;
    return 0;
}

// File source

// minizip reads every header field a byte at a time and moves between the directory
// at the end of the archive and the items at its front: through stdio alone that is a
// locked call a byte and a system call a move. Reads are served from two windows of
// the file instead, one of which stays on the directory while the other follows the
// items; a read as long as a window goes straight to the caller's buffer.
constexpr size_t zipWindowBytes = 32 * 1024;

bool fillFrom(ZipSource* s, uint64_t at, unsigned char* to, size_t length, size_t& got)
{
    got = 0;
    if (at > static_cast<uint64_t>(INT64_MAX) - static_cast<uint64_t>(s->base)
        || fseeko(s->file, s->base + static_cast<off_t>(at), SEEK_SET) != 0)
        return false;
    got = std::fread(to, 1, length, s->file);
    return got > 0;
}

const ZipWindow* windowAt(ZipSource* s, uint64_t at)
{
    const auto holds = [at](const ZipWindow& w) { return w.bytes && at >= w.start && at - w.start < w.length; };
    for (ZipWindow* w : { s->last, &s->windows[0], &s->windows[1] }) {
        if (w && holds(*w))
            return s->last = w;
    }
    // The window not used last is the one filled again.
    ZipWindow* w = s->last == &s->windows[0] ? &s->windows[1] : &s->windows[0];
    if (!w->bytes)
        w->bytes.reset(new (std::nothrow) unsigned char[zipWindowBytes]);
    if (!w->bytes)
        return nullptr;
    const size_t length = static_cast<size_t>(std::min<uint64_t>(zipWindowBytes, s->size - at));
    if (!fillFrom(s, at, w->bytes.get(), length, w->length)) {
        w->length = 0;
        return nullptr;
    }
    w->start = at;
    return s->last = w;
}

uLong ZCALLBACK fileRead(voidpf, voidpf stream, void* buf, uLong size)
{
    auto* s = static_cast<ZipSource*>(stream);
    if (!s || size == 0)
        return 0;
    if (!buf || !s->file) {
        if (s)
            s->error = true;
        return 0;
    }
    const uint64_t avail = s->pos < s->size ? s->size - s->pos : 0;
    const size_t want = static_cast<uint64_t>(size) < avail ? size : static_cast<size_t>(avail);
    auto* out = static_cast<unsigned char*>(buf);
    size_t got = 0;
    while (got < want) {
        const uint64_t at = s->pos + got;
        if (want - got >= zipWindowBytes) {
            size_t direct = 0;
            fillFrom(s, at, out + got, want - got, direct);
            got += direct;
            break;
        }
        const ZipWindow* w = windowAt(s, at);
        if (!w)
            break;
        const size_t n = std::min<size_t>(want - got, static_cast<size_t>(w->start + w->length - at));
        const unsigned char* from = w->bytes.get() + (at - w->start);
        if (n == 1)
            out[got] = *from;   // most reads are one header byte
        else
            std::memcpy(out + got, from, n);
        got += n;
    }
    s->pos += got;
    s->error = got < size;  // as for memory: a short read is an error
    return static_cast<uLong>(got);
}

long ZCALLBACK fileSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto* s = static_cast<ZipSource*>(stream);
    uint64_t target = 0;
    if (!s || !s->file || !resolveSeek(s, offset, origin, target))
        return -1;
    // The file itself is positioned when a read needs it.
    s->pos = target;
    return 0;
}

int ZCALLBACK fileClose(voidpf, voidpf stream)
{
    auto* s = static_cast<ZipSource*>(stream);
    if (!s || !s->file)
        return 0;
    int rc = 0;
    if (s->ownsFile)
        rc = std::fclose(s->file);
    s->file = nullptr;
    s->ownsFile = false;
    return rc == 0 ? 0 : -1;
}

// ---------------------------------------------------------------------------
// Reading state

struct ZipReader {
    unzFile uf = nullptr;
    ZipSource src;
    zlib_filefunc64_def funcs{};
    bool hasPassword = false;
    std::string password;
    int count = 0;                // number of items
    int current = -1;             // item the reader stands on; -1 unknown
    bool seeked = false;          // it got there by a position, not by walking
    int badRecord = INT_MAX;      // first directory record that could not be read
    int openItem = -1;            // item whose data is open for reading; -1 none
    bool openEncrypted = false;
    int lastIndex = INT_MIN;      // index of the kept record; INT_MIN none
    ZipEntry last;
    unsigned char extra[0xFFFF];  // local extra field of the item being described
};

void closeOpenItem(ZipReader* st)
{
    if (st->openItem >= 0) {
        unzCloseCurrentFile(st->uf);
        st->openItem = -1;
        st->openEncrypted = false;
    }
}

// Moves the reader to item `index` (0 <= index < count): back to the first item
// when it lies before the current one, then forward one item at a time. Records are
// found only by walking the directory, so none past a bad one can be reached: they
// fail at once, or a directory that claims more items than it holds would be walked
// again from the start for every item it lies about.
uint32_t moveTo(ZipReader* st, int index)
{
    if (index == st->current)
        return ZR_OK;
    if (index >= st->badRecord)
        return ZR_CORRUPT;
    // After a seek the reader's index is the caller's word: walk from the first item.
    if (st->current < 0 || index < st->current || st->seeked) {
        st->seeked = false;
        g_directorySteps.fetch_add(1, std::memory_order_relaxed);
        if (unzGoToFirstFile(st->uf) != UNZ_OK) {
            st->current = -1;
            st->badRecord = 0;
            return ZR_CORRUPT;
        }
        st->current = 0;
    }
    while (st->current < index) {
        g_directorySteps.fetch_add(1, std::memory_order_relaxed);
        if (unzGoToNextFile(st->uf) != UNZ_OK) {
            st->badRecord = st->current + 1;
            st->current = -1;
            return ZR_CORRUPT;
        }
        ++st->current;
    }
    return ZR_OK;
}

uint32_t saturate32(ZPOS64_T v)
{
    return v > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
}

int64_t dosTimeToUnix(uLong dos)
{
    const unsigned date = static_cast<unsigned>((dos >> 16) & 0xFFFF);
    const unsigned tod = static_cast<unsigned>(dos & 0xFFFF);
    struct tm t;
    std::memset(&t, 0, sizeof t);
    t.tm_year = static_cast<int>((date >> 9) & 0x7F) + 80;
    t.tm_mon = static_cast<int>((date >> 5) & 0x0F) - 1;
    t.tm_mday = static_cast<int>(date & 0x1F);
    t.tm_hour = static_cast<int>((tod >> 11) & 0x1F);
    t.tm_min = static_cast<int>((tod >> 5) & 0x3F);
    t.tm_sec = static_cast<int>(tod & 0x1F) * 2;
    t.tm_isdst = -1;
    const time_t r = std::mktime(&t);
    return r == static_cast<time_t>(-1) ? 0 : static_cast<int64_t>(r);
}

uint32_t le32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8)
        | (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Scans a local extra field for the first "UT" block and takes from it the times
// that are flagged and actually present. A block whose length runs past the field
// ends the scan; a flagged time that is missing ends the block.
void applyUnixTimes(const unsigned char* ex, size_t len, ZipEntry* ze)
{
    if (len <= 4)
        return;
    size_t pos = 0;
    while (len - pos > 4) {
        const size_t dataSize = static_cast<size_t>(ex[pos + 2]) | (static_cast<size_t>(ex[pos + 3]) << 8);
        if (dataSize > len - pos - 4)
            return;
        if (ex[pos] == 'U' && ex[pos + 1] == 'T') {
            const unsigned char* d = ex + pos + 4;
            if (dataSize < 1)
                return;
            const unsigned flags = d[0];
            size_t off = 1;
            int64_t* targets[3] = {&ze->mtime, &ze->atime, &ze->ctime};
            for (int bit = 0; bit < 3; ++bit) {
                if (!(flags & (1u << bit)))
                    continue;
                if (dataSize - off < 4)
                    return;
                *targets[bit] = static_cast<int64_t>(le32(d + off));
                off += 4;
            }
            return;
        }
        pos += 4 + dataSize;
    }
}

bool isSep(char c) { return c == '/' || c == '\\'; }

// Drops, repeatedly, a drive prefix, a leading separator, a leading "../" or
// "..\", and everything up to and including the first "<sep>..<sep>".
const char* cleanName(const char* s)
{
    for (;;) {
        if (s[0] != 0 && s[1] == ':') { s += 2; continue; }
        if (isSep(s[0])) { ++s; continue; }
        if (s[0] == '.' && s[1] == '.' && isSep(s[2])) { s += 3; continue; }
        const char* hit = nullptr;
        for (const char* p = s; p[0] && p[1] && p[2] && p[3]; ++p) {
            if (isSep(p[0]) && p[1] == '.' && p[2] == '.' && isSep(p[3])) { hit = p; break; }
        }
        if (hit) { s = hit + 4; continue; }
        return s;
    }
}

uint32_t unixModeOf(const unz_file_info64& fi)
{
    uint32_t mode = static_cast<uint32_t>((fi.external_fa >> 16) & 0xFFFF);
    const unsigned host = static_cast<unsigned>((fi.version >> 8) & 0xFF);
    bool readOnly;
    bool folder;
    if (host == 0 || host == 7 || host == 11 || host == 14) {
        readOnly = (fi.external_fa & 0x01) != 0;
        folder = (fi.external_fa & 0x10) != 0;
    } else {
        readOnly = (mode & 0x80) == 0;
        folder = (mode & 0xF000) == 0x4000;
    }
    if (folder)
        mode |= 0x4000;
    if (readOnly)
        mode &= ~0x80u;
    return mode;
}

// The item lookup behind getZipItem.
uint32_t readerGetItem(ZipReader* st, int index, ZipEntry* ze)
{
    if (index < -1 || index >= st->count)
        return ZR_ARGS;
    closeOpenItem(st);
    if (index == st->lastIndex) {
        *ze = st->last;
        return ZR_OK;
    }
    if (index == -1) {
        *ze = ZipEntry();
        ze->index = st->count;
        return ZR_OK;
    }

    uint32_t r = moveTo(st, index);
    if (r != ZR_OK)
        return r;

    unz_file_info64 fi;
    char rawName[1024];
    if (unzGetCurrentFileInfo64(st->uf, &fi, rawName, sizeof rawName - 1, nullptr, 0, nullptr, 0) != UNZ_OK)
        return ZR_CORRUPT;
    rawName[fi.size_filename < sizeof rawName - 1 ? fi.size_filename : sizeof rawName - 1] = 0;

    // Opening the item raw checks its local header against the central record and
    // positions its local extra field; nothing is inflated or decrypted.
    if (unzOpenCurrentFile2(st->uf, nullptr, nullptr, 1) != UNZ_OK)
        return ZR_CORRUPT;
    const int extraSize = unzGetLocalExtrafield(st->uf, nullptr, 0);
    size_t extraLen = 0;
    if (extraSize < 0 || static_cast<size_t>(extraSize) > sizeof st->extra) {
        unzCloseCurrentFile(st->uf);
        return ZR_READ;
    }
    if (extraSize > 0) {
        const int got = unzGetLocalExtrafield(st->uf, st->extra, static_cast<unsigned>(extraSize));
        if (got != extraSize) {
            unzCloseCurrentFile(st->uf);
            return ZR_READ;
        }
        extraLen = static_cast<size_t>(extraSize);
    }
    unzCloseCurrentFile(st->uf);

    ZipEntry out;
    out.index = index;
    const char* clean = cleanName(rawName);
    const size_t nameLength = std::min(std::strlen(clean), sizeof out.name - 1);
    std::memcpy(out.name, clean, nameLength);
    out.name[nameLength] = 0;
    out.attr = unixModeOf(fi);
    const int64_t t = dosTimeToUnix(fi.dosDate);
    out.atime = out.ctime = out.mtime = t;
    applyUnixTimes(st->extra, extraLen, &out);
    out.compressedSize = saturate32(fi.compressed_size);
    out.unpackedSize = saturate32(fi.uncompressed_size);

    *ze = out;
    st->last = out;
    st->lastIndex = index;
    return ZR_OK;
}

// Closes the open item after its last byte; its CRC must match.
uint32_t finishItem(ZipReader* st)
{
    const int rc = unzCloseCurrentFile(st->uf);
    st->openItem = -1;
    st->openEncrypted = false;
    return rc == UNZ_OK ? ZR_OK : ZR_FLATE;
}

// The worker behind unzipItem. Mode 3 unpacks into `target` (size bytes); modes 1
// (an open FILE*) and 2 (a file under a root folder) are not built here.
uint32_t extractZipItem(ZipReader* st, int index, void* target, unsigned int size, int mode)
{
    if (mode != ZipFromMemory)
        return ZR_ARGS;
    if (index < 0 || index >= st->count || (!target && size > 0))
        return ZR_ARGS;

    if (st->openItem != index) {
        closeOpenItem(st);
        uint32_t r = moveTo(st, index);
        if (r != ZR_OK)
            return r;
        unz_file_info64 fi;
        if (unzGetCurrentFileInfo64(st->uf, &fi, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            return ZR_CORRUPT;
        // minizip without bzip2 would hand out other methods' data raw and unchecked.
        if (fi.compression_method != 0 && fi.compression_method != Z_DEFLATED)
            return ZR_FLATE;
        const bool encrypted = (fi.flag & 1) != 0;
        if (encrypted && !st->hasPassword)
            return ZR_PASSWORD;
        const int rc = unzOpenCurrentFilePassword(st->uf, encrypted ? st->password.c_str() : nullptr);
        if (rc != UNZ_OK) {
            // Debian's minizip 1.1 is built without decryption and refuses any
            // password (UNZ_PARAMERROR): the item cannot be opened with it.
            return (encrypted && rc == UNZ_PARAMERROR) ? ZR_PASSWORD : ZR_CORRUPT;
        }
        st->openItem = index;
        st->openEncrypted = encrypted;
    }

    unsigned char* out = static_cast<unsigned char*>(target);
    unsigned int total = 0;
    bool dry = false;  // the item gave nothing more although the buffer had room
    while (total < size) {
        const unsigned int left = size - total;
        const unsigned int chunk = left < (1u << 30) ? left : (1u << 30);
        const int got = unzReadCurrentFile(st->uf, out + total, chunk);
        if (got < 0) {
            const bool encrypted = st->openEncrypted;
            closeOpenItem(st);
            return encrypted ? ZR_PASSWORD : ZR_FLATE;
        }
        if (got == 0) {
            dry = true;
            break;
        }
        total += static_cast<unsigned int>(got);
    }

    if (unzeof(st->uf) == 1)
        return finishItem(st);
    if (!dry)
        return ZR_MORE;
    // The data ended before the declared unpacked size.
    const bool encrypted = st->openEncrypted;
    closeOpenItem(st);
    return encrypted ? ZR_PASSWORD : ZR_FLATE;
}

void destroyReader(ZipReader* st)
{
    if (!st)
        return;
    if (st->uf) {
        closeOpenItem(st);
        unzClose(st->uf);  // closes the source (and the file when we opened it)
        st->uf = nullptr;
    }
    if (st->src.file && st->src.ownsFile)
        std::fclose(st->src.file);
    delete st;
}

// Opens an archive for reading without blocking (a FIFO waits for a writer when
// opened plainly) and only when it is a regular file.
// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE FILE* openRegularFile(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    FILE* fp = ::fdopen(fd, "rb");
    if (!fp)
        ::close(fd);
    return fp;
}

ZipReader* readerOf(ZipHandle* handle, uint32_t& code)
{
    if (!handle) {
        code = ZR_ARGS;
        return nullptr;
    }
    if (handle->kind != 1 || !handle->state) {
        code = ZR_NOTREAD;
        return nullptr;
    }
    code = ZR_OK;
    return static_cast<ZipReader*>(handle->state);
}

} // namespace

// ---------------------------------------------------------------------------
// Public interface

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE ZipHandle* openZipHandle(const void* source, unsigned int length, int mode, const char* password)
{
    if (mode != ZipFromStream && mode != ZipFromFileName && mode != ZipFromMemory) {
        setLast(ZR_ARGS);
        return nullptr;
    }
    if (!source || (mode == ZipFromMemory && length == 0)) {
        setLast(ZR_ARGS);
        return nullptr;
    }

    ZipReader* st = new (std::nothrow) ZipReader;
    if (!st) {
        setLast(ZR_NOFILE);
        return nullptr;
    }
    if (password) {
        st->hasPassword = true;
        st->password = password;
    }

    ZipSource& src = st->src;
    zlib_filefunc64_def& f = st->funcs;
    f.zopen64_file = srcOpen;
    f.zwrite_file = srcWrite;
    f.ztell64_file = srcTell;
    f.zerror_file = srcTestError;
    f.opaque = &src;

    if (mode == ZipFromMemory) {
        src.data = static_cast<const unsigned char*>(source);
        src.size = length;
        f.zread_file = memRead;
        f.zseek64_file = memSeek;
        f.zclose_file = memClose;
    } else {
        FILE* fp;
        if (mode == ZipFromFileName) {
            fp = openRegularFile(static_cast<const char*>(source));
            if (!fp) {
                destroyReader(st);
                setLast(ZR_NOFILE);
                return nullptr;
            }
            src.ownsFile = true;
        } else {
            fp = static_cast<FILE*>(const_cast<void*>(source));
        }
        src.file = fp;
        const uint32_t failCode = mode == ZipFromStream ? ZR_SEEK : ZR_NOFILE;
        const off_t base = ftello(fp);
        if (base < 0) {
            destroyReader(st);
            setLast(failCode);
            return nullptr;
        }
        src.base = base;
        off_t end = -1;
        if (fseeko(fp, 0, SEEK_END) == 0)
            end = ftello(fp);
        if (end < 0 || fseeko(fp, base, SEEK_SET) != 0) {
            destroyReader(st);
            setLast(failCode);
            return nullptr;
        }
        src.size = end > base ? static_cast<uint64_t>(end - base) : 0;
        f.zread_file = fileRead;
        f.zseek64_file = fileSeek;
        f.zclose_file = fileClose;
    }

    // On failure minizip closes the source through fileClose/memClose itself.
    st->uf = unzOpen2_64(&src, &f);
    if (!st->uf) {
        destroyReader(st);
        setLast(ZR_NOFILE);
        return nullptr;
    }
    unz_global_info64 gi;
    if (unzGetGlobalInfo64(st->uf, &gi) != UNZ_OK
        || gi.number_entry > src.size / minCentralRecord
        || gi.number_entry >= static_cast<ZPOS64_T>(INT_MAX)) {
        destroyReader(st);
        setLast(ZR_NOFILE);
        return nullptr;
    }
    st->count = static_cast<int>(gi.number_entry);

    ZipHandle* h = new (std::nothrow) ZipHandle;
    if (!h) {
        destroyReader(st);
        setLast(ZR_NOFILE);
        return nullptr;
    }
    h->kind = 1;
    h->state = st;
    setLast(ZR_OK);
    return h;
}

ZipHandle* openZipFromFile(const char* path, const char* password)
{
    return openZipHandle(path, 0, ZipFromFileName, password);
}

ZipHandle* openZipFromMemory(const void* buffer, unsigned int length, const char* password)
{
    return openZipHandle(buffer, length, ZipFromMemory, password);
}

uint32_t getZipItem(ZipHandle* handle, int index, ZipEntry* entry)
{
    if (entry) {
        entry->index = 0;
        entry->name[0] = 0;
        entry->unpackedSize = 0;
    }
    uint32_t code;
    ZipReader* st = readerOf(handle, code);
    if (!st)
        return setLast(code);
    if (!entry)
        return setLast(ZR_ARGS);
    return setLast(readerGetItem(st, index, entry));
}

uint32_t unzipItem(ZipHandle* handle, int index, void* buffer, unsigned int size)
{
    uint32_t code;
    ZipReader* st = readerOf(handle, code);
    if (!st)
        return setLast(code);
    if (index < 0 || (!buffer && size > 0))
        return setLast(ZR_ARGS);
    return setLast(extractZipItem(st, index, buffer, size, ZipFromMemory));
}

uint32_t closeZip(ZipHandle* handle)
{
    uint32_t code;
    ZipReader* st = readerOf(handle, code);
    if (!st)
        return setLast(code);
    destroyReader(st);
    handle->state = nullptr;
    handle->kind = 0;
    delete handle;
    return setLast(ZR_OK);
}

uint32_t zipLastResult()
{
    return g_lastResult.load(std::memory_order_relaxed);
}

uint32_t getZipItemRef(ZipHandle* handle, int index, ZipItemRef* ref)
{
    uint32_t code;
    ZipReader* st = readerOf(handle, code);
    if (!st)
        return setLast(code);
    if (!ref || index < 0 || index >= st->count)
        return setLast(ZR_ARGS);
    closeOpenItem(st);
    const uint32_t moved = moveTo(st, index);
    if (moved != ZR_OK)
        return setLast(moved);
    unz64_file_pos at;
    unz_file_info64 fi;
    if (unzGetFilePos64(st->uf, &at) != UNZ_OK
        || unzGetCurrentFileInfo64(st->uf, &fi, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return setLast(ZR_CORRUPT);
    ref->index = index;
    ref->directoryOffset = at.pos_in_zip_directory;
    ref->crc = static_cast<uint32_t>(fi.crc);
    return setLast(ZR_OK);
}

uint32_t seekZipItem(ZipHandle* handle, const ZipItemRef& ref)
{
    uint32_t code;
    ZipReader* st = readerOf(handle, code);
    if (!st)
        return setLast(code);
    if (ref.index < 0 || ref.index >= st->count)
        return setLast(ZR_ARGS);
    closeOpenItem(st);
    const unz64_file_pos at{ ref.directoryOffset, static_cast<ZPOS64_T>(ref.index) };
    // The kept record belongs to wherever the reader stood before.
    st->lastIndex = INT_MIN;
    if (unzGoToFilePos64(st->uf, &at) != UNZ_OK) {
        st->current = -1;
        return setLast(ZR_CORRUPT);
    }
    st->current = ref.index;
    st->seeked = true;
    return setLast(ZR_OK);
}

uint64_t zipDirectorySteps()
{
    return g_directorySteps.load(std::memory_order_relaxed);
}
