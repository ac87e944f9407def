#pragma once

// Writes zip fixtures with minizip's writer, including stored entries whose recorded
// size or CRC lies about their data.

#include <QFile>
#include <QList>

#include <minizip/zip.h>

struct TestZipItem {
    QByteArray name;
    QByteArray data;
    qint64 declaredSize = -1;   // >= 0: stored raw, recorded with this size and declaredCrc
    quint32 declaredCrc = 0;
};

inline TestZipItem zipItem(const QByteArray& name, const QByteArray& data) { return TestZipItem{ name, data }; }
inline TestZipItem lyingZipItem(const QByteArray& name, const QByteArray& data, qint64 size, quint32 crc)
{
    return TestZipItem{ name, data, size, crc };
}

inline bool writeTestZip(const QString& path, const QList<TestZipItem>& items)
{
    zipFile zf = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    bool ok = zf;
    for (const TestZipItem& item : items) {
        zip_fileinfo info = {};
        const bool raw = item.declaredSize >= 0;
        ok = ok && zipOpenNewFileInZip2(zf, item.name.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                                        raw ? 0 : Z_DEFLATED, raw ? 0 : Z_DEFAULT_COMPRESSION, raw) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zf, item.data.constData(), unsigned(item.data.size())) == ZIP_OK;
        ok = ok && (raw ? zipCloseFileInZipRaw64(zf, quint64(item.declaredSize), item.declaredCrc) : zipCloseFileInZip(zf)) == ZIP_OK;
    }
    return zf && zipClose(zf, nullptr) == ZIP_OK && ok;
}

inline QByteArray readTestFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
