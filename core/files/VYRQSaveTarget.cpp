#include "VYRQSaveTarget_p.h"

#include <QSaveFile>

namespace vyr {

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE bool saveWholeFile(const QString& path, const QByteArray& bytes, QString& why, bool text)
{
    why.clear();
    if (!isSaveTarget(path)) {
        why = QStringLiteral("it is not a regular file");
        return false;
    }
    QSaveFile file(path);
    // Unbuffered: commit() would not see an error that shows only when a buffer is
    // flushed, and would rename a cut file over the old one.
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered;
    if (!file.open(text ? mode | QIODevice::Text : mode)) {
        why = file.errorString();
        return false;
    }
    // A write cut short (a full disk, a file-size limit) sets no error; writing the rest
    // fails with the reason.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 chunk = file.write(bytes.constData() + written, bytes.size() - written);
        if (chunk <= 0)
            break;
        written += chunk;
    }
    if (written < bytes.size()) {
        why = file.error() == QFileDevice::NoError ? QStringLiteral("the file was cut short") : file.errorString();
        file.cancelWriting();   // the temporary file goes, the old one stays as it was
        return false;
    }
    if (!file.commit()) {
        why = file.errorString();
        return false;
    }
    return true;
}

} // namespace vyr
