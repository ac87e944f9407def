#include "VYRQFileStore.h"
#include "testzip.h"
#include "warningcapture.h"

#include <QTemporaryDir>
#include <QtTest>

#include <zlib.h>

#include <random>
#include <set>
#include <string>

namespace {

quint32 crcOf(const QByteArray& d)
{
    return quint32(crc32(0, reinterpret_cast<const Bytef*>(d.constData()), uInt(d.size())));
}

// Stored, so that new bytes of the same size leave every record where it was.
TestZipItem stored(const QByteArray& name, const QByteArray& data)
{
    return lyingZipItem(name, data, data.size(), crcOf(data));
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// Puts `data` in the store under "a", as a folder file, an archive's entry or bytes in memory.
bool addFile(VYRQFileStore& store, const QString& origin, const QString& dir, const QByteArray& data)
{
    if (origin == "memory")
        return store.addBytes("a", data);
    if (origin == "folder") {
        store.listFolderFile("a", dir + "/a.txt");
        return writeFile(dir + "/a.txt", data);
    }
    const QString archive = dir + "/a.zip";
    if (!writeTestZip(archive, { stored("x.txt", "x"), stored("a.txt", data) }))
        return false;
    ZipHandleGuard zip(openZipFromFile(QFile::encodeName(archive).constData(), nullptr));
    std::vector<VYRQFileStore::ArchiveEntry> entries;
    QByteArray bytes;
    return zip && VYRQFileStore::listArchive(zip.get(), entries) && entries.size() == 2
        && VYRQFileStore::readArchiveEntry(zip.get(), entries[1], bytes) == ZR_OK
        && store.addArchiveEntry("a", bytes, archive, entries[1]);
}

} // namespace

class tst_FileStore : public QObject {
    Q_OBJECT

private slots:
    void lifecycle_data()
    {
        QTest::addColumn<QString>("origin");   // "folder", "archive" or "memory"
        QTest::addColumn<QString>("change");   // once dropped: "bytes" (same size), "gone" or none
        for (const char* origin : { "folder", "archive" }) {
            for (const char* change : { "", "bytes", "gone" })
                QTest::addRow("%s%s%s", origin, *change ? ", " : "", change) << origin << change;
        }
        QTest::newRow("folder, gone before its first read") << "folder" << "gone unread";
        QTest::newRow("memory") << "memory" << "";
    }
    // Released bytes are dropped and read again, only as they were first read: a file
    // changed or gone since is missing from then on, with one warning, as is a listed
    // file gone before it was read. Bytes in memory stay; bytes handed out stay until
    // the store is cleared, forgotten or not.
    void lifecycle()
    {
        QFETCH(QString, origin);
        QFETCH(QString, change);
        QTemporaryDir tmp;
        const QByteArray first("first bytes");
        VYRQFileStore store;
        QVERIFY(addFile(store, origin, tmp.path(), first));
        if (change == "gone unread") {
            QVERIFY(QFile::remove(tmp.filePath("a.txt")));
            WarningCapture warnings;
            QVERIFY(!store.bytes("a") && !store.bytes("a") && !store.contains("a"));
            QCOMPARE(warnings.count("a.txt"), 1);
            return;
        }
        QVERIFY(store.contains("a") && !store.contains("b"));
        QCOMPARE(*store.bytes("a"), first);
        store.release("a");
        QCOMPARE(store.holds("a"), origin == "memory");
        QCOMPARE(store.heldBytes(), origin == "memory" ? first.size() : 0);
        if (change == "bytes") {
            VYRQFileStore other;
            QVERIFY(addFile(other, origin, tmp.path(), "other bytes"));
        } else if (change == "gone") {
            QVERIFY(QFile::remove(tmp.filePath(origin == "folder" ? "a.txt" : "a.zip")));
        }

        WarningCapture warnings;
        const QByteArray* again = store.bytes("a");
        if (!change.isEmpty()) {
            QVERIFY(!again && !store.bytes("a") && !store.contains("a"));
            QCOMPARE(warnings.count("a.txt"), 1);
            QCOMPARE(store.heldBytes(), 0);
            return;
        }
        QCOMPARE(*again, first);
        QCOMPARE(store.rereads(), origin == "memory" ? 0 : 1);
        const QByteArray* handed = store.handOut("a");
        const char* data = handed->constData();
        store.release("a");
        QVERIFY(store.holds("a"));
        store.remove("a");
        QVERIFY(!store.contains("a"));
        QCOMPARE(QByteArray(data, first.size()), first);
        QCOMPARE(store.heldBytes(), first.size());
        QVERIFY(warnings.messages().isEmpty());
    }

    void bound_data()
    {
        QTest::addColumn<QString>("kept");   // how the first file is held
        QTest::addColumn<int>("size");       // of the second
        QTest::addColumn<bool>("fits");      // the second, once room is made
        QTest::newRow("read, droppable") << "read" << 60 << true;
        QTest::newRow("handed out") << "handed out" << 60 << false;
        QTest::newRow("in memory") << "memory" << 60 << false;
        QTest::newRow("read, the second larger than the bound") << "read" << 150 << false;
    }
    // What a store holds stays within its bound: a read past it drops bytes that can be
    // read again, and is refused, with a warning, when those are not enough; a read that
    // could never fit drops nothing.
    void bound()
    {
        QFETCH(QString, kept);
        QFETCH(int, size);
        QFETCH(bool, fits);
        QTemporaryDir tmp;
        const QByteArray a(60, 'a'), b(size, 'b');
        QVERIFY(writeFile(tmp.filePath("b.txt"), b));
        VYRQFileStore store(100);
        QVERIFY(addFile(store, kept == "memory" ? kept : "folder", tmp.path(), a));
        QVERIFY(kept == "handed out" ? bool(store.handOut("a")) : bool(store.bytes("a")));
        store.listFolderFile("b", tmp.filePath("b.txt"));
        WarningCapture warnings;
        const QByteArray* read = store.bytes("b");
        QCOMPARE(read ? *read : QByteArray(), fits ? b : QByteArray());
        QCOMPARE(warnings.count("b.txt"), fits ? 0 : 1);
        QCOMPARE(store.holds("a"), !fits);
        QVERIFY(store.heldBytes() <= 100);
        QCOMPARE(*store.bytes("a"), a);   // read again when dropped, making room in turn
        QVERIFY(store.heldBytes() <= 100);
        QCOMPARE(store.charge(50), kept == "read");   // bytes held beside the files: room made the same way
        QVERIFY(store.heldBytes() <= 100);
    }

    // Files added and removed in any order are found, each under its own key, while
    // they are in the store, and only then.
    void addedAndRemoved()
    {
        std::mt19937 random(5);
        VYRQFileStore store;
        std::set<std::string> present;
        const auto keyOf = [](unsigned k) { return "images/icon-" + std::to_string(k) + ".svg"; };
        for (int step = 0; step < 20000; ++step) {
            const std::string key = keyOf(random() % 600);
            if (random() % 3 == 0) {
                store.remove(key);
                present.erase(key);
            } else if (store.addBytes(key, QByteArray::fromStdString(key))) {
                QVERIFY(present.insert(key).second);
            }
            for (unsigned k = 0; step % 97 == 0 && k < 600; ++k) {
                const std::string probe = keyOf(k);
                const QByteArray* bytes = store.bytes(probe);
                QCOMPARE(bytes ? *bytes : QByteArray(), present.count(probe) ? QByteArray::fromStdString(probe) : QByteArray());
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_FileStore)
#include "tst_filestore.moc"
