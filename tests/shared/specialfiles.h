#pragma once
// Files a reader must refuse before reading them whole: a FIFO (opening it waits for
// a writer), a link to a device node that reads without end, and a sparse file that
// starts with some text (its size costs no disk).

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/stat.h>

namespace specialfiles {

inline bool fifo(const QString& path)
{
    return mkfifo(QFile::encodeName(path).constData(), 0666) == 0;
}

inline bool linkToEndlessDevice(const QString& path)
{
    return QFile::link(QStringLiteral("/dev/zero"), path);
}

inline bool sparse(const QString& path, const QByteArray& head, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(head) == head.size() && file.resize(size);
}

} // namespace specialfiles
