#include "VYRQRegularFile.h"

#include "VYRQFileIdentity_p.h"
#include "VYRQZip.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static_assert(vyr::maxFileBytes == qint64(ZipMaxEntrySize), "a theme file and a zip entry share one limit");

namespace vyr {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() { if (m_fd >= 0) ::close(m_fd); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
private:
    int m_fd;
};

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE FileRead readResourceFile(const QString& path, qint64 maxBytes, QByteArray& out, qint64* size, int* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = ENOENT;
        return FileRead::Missing;
    }
    if (size)
        *size = file.size();
    if (file.size() > maxBytes)
        return FileRead::TooLarge;
    out = file.read(maxBytes);
    return FileRead::Read;
}

} // namespace

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE FileRead readRegularFile(const QString& path, qint64 maxBytes, QByteArray& out, qint64* size, int* error,
                         QByteArray* identity)
{
    // Emptied keeping the room it has reserved; left null when nothing is read.
    out.resize(0);
    const auto nothing = [&out](FileRead result) {
        out.clear();
        return result;
    };
    if (size)
        *size = -1;
    if (error)
        *error = 0;
    if (identity)
        identity->clear();
    if (path.startsWith(QLatin1Char(':')) || path.startsWith(QLatin1String("qrc:"))) {
        const FileRead result = readResourceFile(path, maxBytes, out, size, error);
        if (identity && result != FileRead::Missing)
            *identity = fileIdentity(path);
        return result == FileRead::Read ? result : nothing(result);
    }
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty()) {
        if (error)
            *error = ENOENT;
        return nothing(FileRead::Missing);
    }
    // Without O_NONBLOCK opening a FIFO waits for a writer, and a check of the type
    // before the open would not see a name replaced in between.
    const Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        if (error)
            *error = errno;
        return nothing(FileRead::Missing);
    }
    struct stat info;
    if (::fstat(fd.get(), &info) != 0) {
        if (error)
            *error = errno;
        return nothing(FileRead::Failed);
    }
    if (!S_ISREG(info.st_mode))
        return nothing(FileRead::NotRegular);
    // Of what is read, not of what the name leads to once the read is done: a file
    // finished after the read must not pass for the one that was read.
    if (identity)
        *identity = fileIdentity(info);
    if (size)
        *size = info.st_size;
    if (info.st_size > maxBytes || info.st_size > qint64(INT_MAX))
        return nothing(FileRead::TooLarge);

    out.resize(int(info.st_size));
    qint64 done = 0;
    while (done < info.st_size) {
        const ssize_t got = ::read(fd.get(), out.data() + done, size_t(info.st_size - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            if (error)
                *error = errno;
            return nothing(FileRead::Failed);
        }
        if (got == 0)
            break;   // shrunk meanwhile
        done += got;
    }
    out.resize(int(done));
    return FileRead::Read;
}

const char* fileReadText(FileRead result)
{
    switch (result) {
    case FileRead::Read: return "read";
    case FileRead::Missing: return "missing";
    case FileRead::NotRegular: return "not a regular file";
    case FileRead::TooLarge: return "too large";
    case FileRead::Failed: return "unreadable";
    }
    return "unreadable";
}

} // namespace vyr
