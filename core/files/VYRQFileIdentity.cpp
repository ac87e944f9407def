#include "VYRQFileIdentity_p.h"

#include <QFile>

#include <sys/stat.h>

namespace vyr {

QByteArray fileIdentity(const QString& path)
{
    if (path.startsWith(QLatin1Char(':')) || path.startsWith(QLatin1String("qrc:")))
        return path.toUtf8();
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QByteArray();
    return fileIdentity(info);
}

QByteArray fileIdentity(const struct stat& info)
{
    if (!S_ISREG(info.st_mode))
        return QByteArray();
    return QByteArray::number(quint64(info.st_dev)) + ':' + QByteArray::number(quint64(info.st_ino)) + ':'
        + QByteArray::number(qint64(info.st_size)) + ':' + QByteArray::number(qint64(info.st_mtim.tv_sec)) + '.'
        + QByteArray::number(qint64(info.st_mtim.tv_nsec));
}

} // namespace vyr
