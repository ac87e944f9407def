#include "VYRQCrc32_p.h"
#include "VYRQZip.h"

#include <QTemporaryDir>
#include <QtTest>

#include <minizip/zip.h>
#include <zlib.h>

#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

// 2021-03-04 05:06:08 as a DOS stamp (date in the high word) and in Unix seconds.
constexpr uLong dosStamp = ((uLong(41) << 9 | 3u << 5 | 4u) << 16) | (5u << 11 | 6u << 5 | 4u);
constexpr qint64 stamp = 1614834368;

struct Item {
    Item(const QByteArray& n, const QByteArray& d, int m = Z_DEFLATED) : name(n), data(d), method(m) {}
    QByteArray name, data;
    int method;
    QByteArray extra;                 // local extra field
    QByteArray packed;                // when set: written raw, with the recorded size and CRC below
    qint64 size = -1, crc = -1;       // -1: the true ones
    const char* password = nullptr;
    uLong externalAttr = 0100644u << 16;   // a Unix mode in the high word
    uLong madeBy = 0x031E;                 // host 3 (Unix)
};

uLong crcOf(const QByteArray& d) { return crc32(0, reinterpret_cast<const Bytef*>(d.constData()), uInt(d.size())); }
// qCompress gives a 4-byte length, a 2-byte zlib header, raw deflate data and a 4-byte Adler sum.
QByteArray rawDeflate(const QByteArray& d) { const QByteArray z = qCompress(d, 9); return z.mid(6, z.size() - 10); }

QByteArray pattern(int n)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(char('a' + (i * 7 + i / 13) % 26));
    return b;
}

// An "UT" extra block with the given flags and times, its length field optionally lying.
QByteArray ut(unsigned flags, const QList<quint32>& times, int declared = -1)
{
    QByteArray d(1, char(flags));
    for (quint32 t : times)
        d.append(reinterpret_cast<const char*>(&t), 4);   // little-endian host
    const int n = declared >= 0 ? declared : d.size();
    return QByteArray("UT") + char(n & 0xFF) + char(n >> 8) + d;
}

} // namespace

class tst_Zip : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QList<QByteArray> m_buffers;   // memory archives must outlive their handles
    QList<ZipHandle*> m_handles;

    QByteArray build(const QList<Item>& items)
    {
        const QByteArray path = QFile::encodeName(m_dir.filePath("fixture.zip"));
        zipFile zf = zipOpen64(path.constData(), APPEND_STATUS_CREATE);
        bool ok = zf;
        for (const Item& it : items) {
            zip_fileinfo zi = {};
            zi.dosDate = dosStamp;
            zi.external_fa = it.externalAttr;
            const bool raw = !it.packed.isNull();
            const QByteArray& bytes = raw ? it.packed : it.data;
            ok = ok && zipOpenNewFileInZip4_64(zf, it.name.constData(), &zi, it.extra.isEmpty() ? nullptr : it.extra.constData(),
                    uInt(it.extra.size()), nullptr, 0, nullptr, it.method, it.method ? Z_DEFAULT_COMPRESSION : 0, raw,
                    -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, it.password, crcOf(it.data), it.madeBy, 0, 0) == ZIP_OK;
            ok = ok && (bytes.isEmpty() || zipWriteInFileInZip(zf, bytes.constData(), unsigned(bytes.size())) == ZIP_OK);
            ok = ok && (raw ? zipCloseFileInZipRaw64(zf, quint64(it.size >= 0 ? it.size : it.data.size()),
                                                     it.crc >= 0 ? uLong(it.crc) : crcOf(it.data))
                            : zipCloseFileInZip(zf)) == ZIP_OK;
        }
        ok = zf && zipClose(zf, nullptr) == ZIP_OK && ok;
        QFile f(QFile::decodeName(path));
        return ok && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    ZipHandle* open(const QByteArray& zip)
    {
        m_buffers << zip;
        ZipHandle* h = openZipFromMemory(m_buffers.last().constData(), unsigned(zip.size()), nullptr);
        if (h)
            m_handles << h;
        return h;
    }

    // The same archive read from a file, which goes through the layer's file windows.
    ZipHandle* openFile(const QByteArray& zip)
    {
        QFile file(m_dir.filePath("copy.zip"));
        if (!file.open(QIODevice::WriteOnly) || file.write(zip) != zip.size())
            return nullptr;
        file.close();
        ZipHandle* h = openZipFromFile(QFile::encodeName(file.fileName()).constData(), nullptr);
        if (h)
            m_handles << h;
        return h;
    }

    // The record of item `index`; a negative index in it when it cannot be read.
    ZipEntry record(const QList<Item>& items, int index = 0)
    {
        ZipEntry e;
        ZipHandle* h = open(build(items));
        if (!h || getZipItem(h, index, &e) != ZR_OK)
            e.index = -9;
        return e;
    }

    // Unpacks an item in pieces of `chunk` bytes; each call fills the buffer until the last.
    static QByteArray unpackInPieces(ZipHandle* h, int index, unsigned chunk, uint32_t* code)
    {
        ZipEntry e;
        getZipItem(h, index, &e);
        QByteArray out, buf(int(chunk), '\0');
        for (int guard = 0; guard < 100000; ++guard) {
            *code = unzipItem(h, index, buf.data(), chunk);
            out += buf.left(int(qMin<quint64>(chunk, e.unpackedSize - quint64(out.size()))));
            if (*code != ZR_MORE)
                break;
        }
        return out;
    }

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        tzset();
        QVERIFY(m_dir.isValid());
    }

    void cleanup()
    {
        for (ZipHandle* h : m_handles)
            QCOMPARE(closeZip(h), uint32_t(ZR_OK));
        m_handles.clear();
        m_buffers.clear();
    }

    void resultCodes()
    {
        const QByteArray zip = build({ { "first.txt", pattern(300) }, { "second.bin", pattern(100), 0 }, { "dir/", {}, 0 } });
        ZipHandle* h = open(zip);
        QVERIFY(h);
        QCOMPARE(zipLastResult(), uint32_t(ZR_OK));
        ZipEntry e;
        QCOMPARE(getZipItem(h, -1, &e), uint32_t(ZR_OK));
        QCOMPARE(e.index, 3);   // the number of items, and nothing else
        QCOMPARE(e.name[0], '\0');
        std::strcpy(e.name, "junk");
        char buf[16];
        ZipHandle writer;
        writer.kind = 2;
        ZipItemRef ref, beyond;
        beyond.index = 3;
        const QVector<uint32_t> refused = { getZipItem(h, 3, &e), zipLastResult(), getZipItem(h, INT_MIN, &e), getZipItem(h, 0, nullptr),
            getZipItem(nullptr, 0, &e), unzipItem(h, -1, buf, 16), unzipItem(h, 3, buf, 16), unzipItem(h, 0, nullptr, 4), closeZip(nullptr),
            getZipItemRef(h, 3, &ref), getZipItemRef(h, 0, nullptr), getZipItemRef(nullptr, 0, &ref), seekZipItem(h, beyond),
            getZipItem(&writer, 0, &e), unzipItem(&writer, 0, buf, 16), closeZip(&writer) };
        QCOMPARE(refused, QVector<uint32_t>(13, ZR_ARGS) << ZR_NOTREAD << ZR_NOTREAD << ZR_NOTREAD);
        QCOMPARE(e.name[0], '\0');   // cleared before the refusal
        QCOMPARE(getZipItem(h, 2, &e), uint32_t(ZR_OK));   // still usable, also backwards
        QCOMPARE(getZipItem(h, 1, &e), uint32_t(ZR_OK));
        QCOMPARE(QByteArray(e.name), QByteArray("second.bin"));
        QCOMPARE(e.unpackedSize, 100u);
        QCOMPARE(e.attr, 0100644u);

        int fds[2];
        QCOMPARE(pipe(fds), 0);
        FILE* unseekable = fdopen(fds[0], "rb");
        const QList<bool> opened = { bool(openZipFromMemory(nullptr, 10, nullptr)), zipLastResult() == ZR_ARGS,
            bool(openZipHandle(zip.constData(), unsigned(zip.size()), 7, nullptr)), zipLastResult() == ZR_ARGS,
            bool(openZipFromMemory("plain text, no zip", 18, nullptr)), zipLastResult() == ZR_NOFILE,
            bool(openZipFromFile(QFile::encodeName(m_dir.filePath("none.zip")).constData(), nullptr)), zipLastResult() == ZR_NOFILE,
            bool(openZipHandle(unseekable, 0, ZipFromStream, nullptr)), zipLastResult() == ZR_SEEK };
        std::fclose(unseekable);
        ::close(fds[1]);
        QCOMPARE(opened, (QList<bool>{ false, true, false, true, false, true, false, true, false, true }));

        Item secret{ "secret.txt", pattern(300) };
        secret.password = "pw";
        ZipHandle* locked = open(build({ secret }));
        QVERIFY(locked);
        QCOMPARE(unzipItem(locked, 0, buf, sizeof buf), uint32_t(ZR_PASSWORD));
    }

    // An item's reference, taken in the one walk over the directory, brings another
    // reader of the archive straight to the item; a reference where no record lies is
    // refused and the reader stays usable.
    void itemsByReference()
    {
        QList<Item> items;
        for (int i = 0; i < 2000; ++i)
            items << Item{ "f" + QByteArray::number(i), pattern(10 + i % 7) };
        const QByteArray zip = build(items);
        ZipHandle* walker = open(zip);
        QVERIFY(walker);
        QVector<ZipItemRef> refs(items.size());
        const quint64 start = zipDirectorySteps();
        for (int i = 0; i < items.size(); ++i)
            QCOMPARE(getZipItemRef(walker, i, &refs[i]), uint32_t(ZR_OK));
        QCOMPARE(zipDirectorySteps() - start, quint64(items.size()));

        ZipHandle* reader = open(zip);
        const quint64 walked = zipDirectorySteps();
        ZipEntry e;
        for (int i : { 1999, 3, 1000 }) {
            QCOMPARE(seekZipItem(reader, refs[i]), uint32_t(ZR_OK));
            QCOMPARE(getZipItem(reader, i, &e), uint32_t(ZR_OK));
            QCOMPARE(QByteArray(e.name), items[i].name);
            QCOMPARE(refs[i].crc, quint32(crcOf(items[i].data)));
            QByteArray buf(items[i].data.size(), '\0');
            QCOMPARE(unzipItem(reader, i, buf.data(), unsigned(buf.size())), uint32_t(ZR_OK));
            QCOMPARE(buf, items[i].data);
        }
        QCOMPARE(zipDirectorySteps(), walked);
        QCOMPARE(getZipItem(reader, 1001, &e), uint32_t(ZR_OK));   // a walk after a seek
        QCOMPARE(QByteArray(e.name), QByteArray("f1001"));
        ZipItemRef bogus = refs[5];
        bogus.directoryOffset += 3;
        QCOMPARE(seekZipItem(reader, bogus), uint32_t(ZR_CORRUPT));
        QCOMPARE(getZipItem(reader, 5, &e), uint32_t(ZR_OK));
        QCOMPARE(QByteArray(e.name), QByteArray("f5"));
    }

    void cleanedNames_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("reported");
        QTest::newRow("drive and dot segments") << QByteArray("C:\\..\\x/../y.txt") << QByteArray("y.txt");
        QTest::newRow("drive") << QByteArray("D:name.txt") << QByteArray("name.txt");
        QTest::newRow("leading backslash") << QByteArray("\\dir\\file.txt") << QByteArray("dir\\file.txt");
        QTest::newRow("leading slashes") << QByteArray("//abs/path.txt") << QByteArray("abs/path.txt");
        QTest::newRow("repeated dotdot") << QByteArray("../..\\../up.txt") << QByteArray("up.txt");
        QTest::newRow("inner dotdot") << QByteArray("a\\..\\b/c/../d.txt") << QByteArray("d.txt");
        QTest::newRow("dots kept") << QByteArray("a/..b/c..d.txt") << QByteArray("a/..b/c..d.txt");
        QTest::newRow("cut to 1023 bytes") << QByteArray(1500, 'n') << QByteArray(1023, 'n');
    }
    void cleanedNames()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, reported);
        QCOMPARE(QByteArray(record({ { "before.txt", "x" }, { stored, "data" } }, 1).name), reported);
    }

    void times_data()
    {
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<QList<qint64>>("mac");   // modification, access, creation
        const qint64 a = 1600000000, b = 1600000100, c = 1600000200;
        QTest::newRow("dos time, read as local") << QByteArray() << QList<qint64>{ stamp, stamp, stamp };
        QTest::newRow("ut all three") << ut(7, { quint32(a), quint32(b), quint32(c) }) << QList<qint64>{ a, b, c };
        QTest::newRow("ut after another block") << QByteArray("\xfe\xca\x03\x00xyz", 7) + ut(1, { quint32(a) })
                                                << QList<qint64>{ a, stamp, stamp };
        QTest::newRow("first ut wins") << ut(1, { quint32(a) }) + ut(1, { quint32(b) }) << QList<qint64>{ a, stamp, stamp };
        QTest::newRow("after 2038, unsigned") << ut(1, { 0x90000000u }) << QList<qint64>{ 0x90000000u, stamp, stamp };
        // Lengths and flagged times are checked against the bytes present.
        QTest::newRow("ut longer than the field") << ut(7, { quint32(a) }, 13) << QList<qint64>{ stamp, stamp, stamp };
        QTest::newRow("flags without times") << ut(7, { quint32(a) }) << QList<qint64>{ a, stamp, stamp };
        QTest::newRow("other block lies") << QByteArray("\xfe\xca\xff\xff", 4) + ut(1, { quint32(a) })
                                          << QList<qint64>{ stamp, stamp, stamp };
    }
    void times()
    {
        QFETCH(QByteArray, extra);
        QFETCH(QList<qint64>, mac);
        Item it{ "timed.txt", "some data" };
        it.extra = extra;
        const ZipEntry e = record({ it });
        QCOMPARE(QList<qint64>({ e.mtime, e.atime, e.ctime }), mac);
    }

    // Folder and read-only flags come from the DOS attribute bits for DOS-like hosts
    // and from the Unix mode for the others.
    void modes_data()
    {
        QTest::addColumn<uint>("madeBy");
        QTest::addColumn<uint>("external");
        QTest::addColumn<uint>("mode");
        for (uint unixMode : { 0100644u, 0100444u, 0040755u })   // file, read-only, folder
            QTest::addRow("unix %o", unixMode) << 0x031Eu << (unixMode << 16) << unixMode;
        QTest::newRow("dos folder bit") << 0x0014u << 0x10u << 0x4000u;
        QTest::newRow("dos read-only over a writable mode") << 0x0B14u << ((0100644u << 16) | 0x01u) << 0100444u;
    }
    void modes()
    {
        QFETCH(uint, madeBy);
        QFETCH(uint, external);
        QFETCH(uint, mode);
        Item it{ "item", "x" };
        it.madeBy = madeBy;
        it.externalAttr = external;
        QCOMPARE(record({ it }).attr, mode);
    }

    void partialReads_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<bool>("fromFile");
        QTest::newRow("deflated") << int(Z_DEFLATED) << false;
        QTest::newRow("stored") << 0 << false;
        QTest::newRow("deflated, from a file") << int(Z_DEFLATED) << true;
        QTest::newRow("stored, from a file") << 0 << true;
    }
    void partialReads()
    {
        QFETCH(int, method);
        QFETCH(bool, fromFile);
        const QByteArray data = pattern(1000);
        // Larger than the windows a file is read through, and than minizip's reads.
        const QByteArray huge = pattern(100000);
        const QByteArray zip = build({ { "a.txt", "small", method }, { "big.txt", data, method }, { "empty", {}, method },
                                       { "huge.txt", huge, method } });
        ZipHandle* h = fromFile ? openFile(zip) : open(zip);
        QVERIFY(h);
        QByteArray buf(1500, '\0');
        QCOMPARE(unzipItem(h, 1, buf.data(), 1500), uint32_t(ZR_OK));   // a larger buffer
        QCOMPARE(buf.left(1000), data);
        QCOMPARE(unzipItem(h, 1, buf.data(), 600), uint32_t(ZR_MORE));   // finished items start over
        QCOMPARE(zipLastResult(), uint32_t(ZR_MORE));
        QCOMPARE(buf.left(600), data.left(600));
        QCOMPARE(unzipItem(h, 1, buf.data(), 400), uint32_t(ZR_OK));
        QCOMPARE(buf.left(400), data.mid(600));
        uint32_t code = 0;
        for (unsigned chunk : { 333u, 1u }) {
            QCOMPARE(unpackInPieces(h, 1, chunk, &code), data);
            QCOMPARE(code, uint32_t(ZR_OK));
        }
        for (unsigned chunk : { 333u, 40000u, 100000u }) {
            QCOMPARE(unpackInPieces(h, 3, chunk, &code), huge);
            QCOMPARE(code, uint32_t(ZR_OK));
        }
        // Another item, or its record, between two pieces starts the first one over.
        QCOMPARE(unzipItem(h, 1, buf.data(), 600), uint32_t(ZR_MORE));
        QCOMPARE(unzipItem(h, 0, buf.data(), 5), uint32_t(ZR_OK));
        QCOMPARE(unzipItem(h, 1, buf.data(), 600), uint32_t(ZR_MORE));
        QCOMPARE(buf.left(600), data.left(600));
        // A zero-size buffer: more remains of a non-empty item, nothing of an empty one.
        QCOMPARE(unzipItem(h, 1, nullptr, 0), uint32_t(ZR_MORE));
        QCOMPARE(unzipItem(h, 2, nullptr, 0), uint32_t(ZR_OK));
    }

    void lyingRecords_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<qint64>("size");   // the recorded size; -1 the true one
        QTest::addColumn<bool>("badCrc");
        for (int method : { 0, int(Z_DEFLATED) })
            QTest::addRow("method %d, bad crc", method) << method << qint64(-1) << true;
        QTest::newRow("stored, larger") << 0 << qint64(700) << false;
        for (qint64 size : { qint64(300), qint64(0xFFFFFFF0u), qint64(0) })
            QTest::addRow("deflated, recorded %lld", size) << int(Z_DEFLATED) << size << false;
        QTest::newRow("stored, smaller") << 0 << qint64(300) << false;
    }
    // An item whose data does not match its record fails at once or at its last piece.
    void lyingRecords()
    {
        QFETCH(int, method);
        QFETCH(qint64, size);
        QFETCH(bool, badCrc);
        const QByteArray data = pattern(500);
        Item good{ "good.txt", data, method };
        good.packed = method ? rawDeflate(data) : data;
        Item liar = good;
        liar.size = size;
        liar.crc = badCrc ? qint64(crcOf(data) ^ 1) : -1;
        ZipHandle* h = open(build({ good, liar }));
        QVERIFY(h);
        QByteArray buf(size < 0 ? 800 : int(qMin<qint64>(size, 4096)), '\0');
        QCOMPARE(unzipItem(h, 1, buf.data(), unsigned(buf.size())), uint32_t(ZR_FLATE));
        QCOMPARE(zipLastResult(), uint32_t(ZR_FLATE));
        uint32_t code = 0;
        unpackInPieces(h, 1, 64, &code);
        QCOMPARE(code, uint32_t(ZR_FLATE));
        QCOMPARE(unpackInPieces(h, 0, 64, &code), data);
        QCOMPARE(code, uint32_t(ZR_OK));
    }

    void lyingItemCount_data()
    {
        QTest::addColumn<bool>("fromFile");
        QTest::newRow("memory") << false;
        QTest::newRow("file") << true;
    }
    // An archive whose directory claims more items than it holds is walked once: the
    // items past the last record fail at once instead of each walking the directory
    // again from its start.
    void lyingItemCount()
    {
        QFETCH(bool, fromFile);
        constexpr int real = 200;
        constexpr int claimed = 16000;
        QList<Item> items;
        for (int i = 0; i < real; ++i)
            items << Item{ "f" + QByteArray::number(i), QByteArray(), 0 };
        // Large enough for the claimed count to pass the open's check of the archive size.
        items[0].data = QByteArray(claimed * 46, 'x');
        QByteArray zip = build(items);
        const int end = zip.lastIndexOf("PK\x05\x06");
        QVERIFY(end > 0);
        for (int field : { 8, 10 }) {   // the items on this disk and in all
            zip[end + field] = char(claimed & 0xFF);
            zip[end + field + 1] = char(claimed >> 8);
        }
        ZipHandle* h = fromFile ? openFile(zip) : open(zip);
        QVERIFY(h);
        ZipEntry e;
        QCOMPARE(getZipItem(h, -1, &e), uint32_t(ZR_OK));
        QCOMPARE(e.index, claimed);
        const quint64 steps = zipDirectorySteps();
        int readable = 0;
        char buf[4];
        for (int i = 0; i < claimed; ++i) {
            const uint32_t code = getZipItem(h, i, &e);
            QCOMPARE(code, uint32_t(i < real ? ZR_OK : ZR_CORRUPT));
            if (i >= real)
                QCOMPARE(unzipItem(h, i, buf, sizeof buf), uint32_t(ZR_CORRUPT));
            readable += code == ZR_OK;
        }
        // A step to each record and one past the last: a walk per lie would take millions.
        const quint64 walked = zipDirectorySteps() - steps;
        QVERIFY2(walked <= quint64(real) + 1, qPrintable(QString::number(walked)));
        QCOMPARE(readable, real);
        QCOMPARE(getZipItem(h, real - 1, &e), uint32_t(ZR_OK));   // still reachable, also backwards
        QCOMPARE(QByteArray(e.name), QByteArray("f199"));
        QCOMPARE(getZipItem(h, 3, &e), uint32_t(ZR_OK));
        QCOMPARE(QByteArray(e.name), QByteArray("f3"));
    }

    void damagedArchives()
    {
        const QByteArray zip = build({ { "ok.txt", "fine", 0 }, { "b.txt", pattern(100) } });
        for (int n = 1; n < zip.size(); ++n) {
            if (ZipHandle* h = openZipFromMemory(zip.constData(), unsigned(n), nullptr)) {
                closeZip(h);
                QFAIL(qPrintable(QStringLiteral("a zip cut to %1 bytes opened").arg(n)));
            }
            QCOMPARE(zipLastResult(), uint32_t(ZR_NOFILE));
        }
        // A local header whose method differs from the central record.
        QByteArray patched = zip;
        patched.replace(zip.indexOf("PK\x03\x04", 4) + 8, 2, QByteArray(2, '\0'));
        ZipHandle* h = open(patched);
        ZipEntry e;
        char buf[8];
        QCOMPARE(getZipItem(h, 1, &e), uint32_t(ZR_CORRUPT));
        QCOMPARE(unzipItem(h, 1, buf, 8), uint32_t(ZR_CORRUPT));
        QCOMPARE(unzipItem(h, 0, buf, 4), uint32_t(ZR_OK));
        QCOMPARE(QByteArray(buf, 4), QByteArray("fine"));
    }

    // The folded CRC-32 a set checks its files with is zlib's, at every length around its
    // 16- and 64-byte steps, from every alignment, and over a large buffer.
    void crcIsZlibs()
    {
        QByteArray bytes(1 << 20, Qt::Uninitialized);
        quint32 seed = 1;
        for (char& c : bytes)
            c = char((seed = seed * 1664525u + 1013904223u) >> 24);
        const auto zlibCrc = [](const char* at, qint64 size) {
            return quint32(crc32(0, reinterpret_cast<const Bytef*>(at), uInt(size)));
        };
        for (int offset = 0; offset < 16; offset += 3) {
            for (int size = 0; size < 300; ++size)
                QCOMPARE(vyr::crc32Of(bytes.constData() + offset, size), zlibCrc(bytes.constData() + offset, size));
        }
        QCOMPARE(vyr::crc32Of(bytes.constData(), bytes.size()), zlibCrc(bytes.constData(), bytes.size()));
    }
};

QTEST_GUILESS_MAIN(tst_Zip)
#include "tst_zip.moc"
