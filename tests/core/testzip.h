#pragma once

// Builds zip fixtures for the resource manager tests with minizip's writer,
// including entries whose recorded size or CRC lies about their data.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <minizip/zip.h>

struct TestZipItem {
    QByteArray name;
    QByteArray data;
    // For a stored entry written raw: the size and CRC recorded in the archive.
    qint64 declaredSize = -1;
    quint32 declaredCrc = 0;
};

inline TestZipItem zipItem(const QByteArray& name, const QByteArray& data)
{
    return TestZipItem{ name, data };
}

inline TestZipItem lyingZipItem(const QByteArray& name, const QByteArray& data, qint64 declaredSize, quint32 crc)
{
    return TestZipItem{ name, data, declaredSize, crc };
}

inline bool writeTestZip(const QString& path, const QList<TestZipItem>& items)
{
    zipFile zf = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zf)
        return false;
    bool ok = true;
    for (const TestZipItem& item : items) {
        zip_fileinfo info = {};
        const bool raw = item.declaredSize >= 0;
        ok = ok && zipOpenNewFileInZip2(zf, item.name.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                        raw ? 0 : Z_DEFLATED, raw ? 0 : Z_DEFAULT_COMPRESSION, raw ? 1 : 0) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zf, item.data.constData(), unsigned(item.data.size())) == ZIP_OK;
        if (raw)
            ok = ok && zipCloseFileInZipRaw64(zf, quint64(item.declaredSize), item.declaredCrc) == ZIP_OK;
        else
            ok = ok && zipCloseFileInZip(zf) == ZIP_OK;
    }
    return zipClose(zf, nullptr) == ZIP_OK && ok;
}

inline QByteArray readTestFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
