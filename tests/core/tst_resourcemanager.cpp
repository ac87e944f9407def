#include "LanguageManager.h"
#include "VYRQContainer.h"
#include "VYRQImage.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceDecoder_p.h"
#include "VYRQResourceManagerImpl.h"
#include "VYRQZip.h"
#include "VYRQtLib.h"
#include "peakmemory.h"
#include "cputimer.h"
#include "specialfiles.h"
#include "svgcostsearch.h"
#include "testcontrols.h"
#include "testzip.h"
#include "warningcapture.h"

#include <QBuffer>
#include <QDir>
#include <QIcon>
#include <QPainter>
#include <QImageWriter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/allocator_interface.h>
#define VYR_TEST_SANITIZED
#endif
#endif
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

Q_DECLARE_METATYPE(TestZipItem)

namespace {

// The address sanitizer keeps what is freed in a quarantine of up to 256 MiB: let it go,
// so that a peak counts what the code keeps rather than what it freed.
void releaseFreed()
{
#ifdef VYR_TEST_SANITIZED
    __sanitizer_purge_allocator();
#endif
}

struct Probe : VYRQResourceManager {
    using VYRQResourceManager::readLanguage;
    using VYRQResourceManager::readStyle;
    using VYRQResourceManager::writeStyle;
};

// Reads a "style" array text into a fresh set.
std::unique_ptr<VYRQResourceManagerImpl> readInto(Probe& rm, const QByteArray& styleArray)
{
    auto set = std::make_unique<VYRQResourceManagerImpl>();
    Json::Value root;
    if (!vyr::json::parse(styleArray, root) || !rm.readStyle(set.get(), root))
        qWarning("style array not read: %s", styleArray.constData());
    return set;
}

QStringList keysOf(const Json::Value& obj)
{
    QStringList keys;
    for (const std::string& k : obj.getMemberNames())
        keys << QString::fromStdString(k);
    return keys;
}

QString dataPath(const QString& name) { return QStringLiteral(VYR_TEST_DATA "/") + name; }

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// The keys a set holds, read or listed to be read on first use.
QStringList fileKeys(const VYRQResourceManagerImpl* set)
{
    QStringList keys;
    for (const std::string& key : set->files.keys())
        keys << QString::fromStdString(key);
    return keys;
}

bool sparseFile(const QString& path, qint64 size)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.resize(size);
}

constexpr VYRQDecodedCache::Kind imageKind = VYRQDecodedCache::Kind::Image;

int cachedImages(const VYRQResourceManagerImpl* set)
{
    return set->decoded.count(imageKind);
}

bool imageLoaded(const VYRQResourceManagerImpl* set, const QString& key)
{
    return set->decoded.isLoaded(imageKind, key);
}

QByteArray pngOf(const QImage& image, const char* format = "png")
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

QByteArray redImage(int w, int h, const char* format = "png")
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::red);
    return pngOf(image, format);
}

void appendBigEndian(QByteArray& out, quint32 v)
{
    const char bytes[] = { char(v >> 24), char(v >> 16), char(v >> 8), char(v) };
    out.append(bytes, 4);
}

void appendLittleEndian(QByteArray& out, quint32 v, int size)
{
    for (int i = 0; i < size; ++i)
        out.append(char(v >> (8 * i)));
}

// Feeds `chunk` `count` times through deflate: zlib format, or gzip.
QByteArray deflated(const QByteArray& chunk, int count, bool gzip)
{
    z_stream z{};
    deflateInit2(&z, 1, Z_DEFLATED, gzip ? 16 + MAX_WBITS : MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out, buffer(1 << 16, '\0');
    for (int i = 0; i <= count; ++i) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(chunk.constData()));
        z.avail_in = i < count ? uInt(chunk.size()) : 0;
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer.data());
            z.avail_out = uInt(buffer.size());
            deflate(&z, i < count ? Z_NO_FLUSH : Z_FINISH);
            out.append(buffer.constData(), buffer.size() - int(z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return out;
}

QByteArray gzipped(const QByteArray& data) { return deflated(data, 1, true); }

quint32 crcOf(const QByteArray& data)
{
    return quint32(crc32(0, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())));
}

// Four bytes that, appended to bytes of the CRC-32 `from`, give the CRC-32 `to`: the
// register after four bytes depends only on the four table rows they pick, each found
// from the register's top byte, last first.
QByteArray crcPatch(quint32 from, quint32 to)
{
    quint32 table[256];
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    quint8 rows[4] = {};
    quint32 reg = ~to;
    for (int k = 3; k >= 0; --k) {
        for (quint32 i = 0; i < 256; ++i) {
            if ((table[i] >> 24) == (reg >> 24))
                rows[k] = quint8(i);
        }
        reg = (reg ^ table[rows[k]]) << 8;
    }
    QByteArray patch;
    reg = ~from;
    for (const quint8 row : rows) {
        patch += char((reg ^ row) & 0xFF);
        reg = (reg >> 8) ^ table[row];
    }
    return patch;
}

// A zip (written without a comment) with a comment of `length` zeros, its last four
// bytes chosen, when `crc` is given, so that the whole has that CRC-32.
QByteArray withComment(QByteArray zip, int length, std::optional<quint32> crc = std::nullopt)
{
    zip[zip.size() - 2] = char(length & 0xFF);
    zip[zip.size() - 1] = char(length >> 8);
    zip += QByteArray(length, '\0');
    if (crc) {
        zip.chop(4);
        zip += crcPatch(crcOf(zip), *crc);
    }
    return zip;
}

void appendPngChunk(QByteArray& png, const char* type, const QByteArray& data)
{
    appendBigEndian(png, quint32(data.size()));
    const QByteArray typed = QByteArray(type, 4) + data;
    png += typed;
    appendBigEndian(png, crcOf(typed));
}

// A transparent 8-bit RGBA PNG of any size, a few bytes a row.
QByteArray blankPng(quint32 w, quint32 h)
{
    const auto chunk = appendPngChunk;
    QByteArray png("\x89PNG\r\n\x1a\n", 8), header;
    appendBigEndian(header, w);
    appendBigEndian(header, h);
    header += QByteArray("\x08\x06\x00\x00\x00", 5);
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", deflated(QByteArray(1 + 4 * int(w), '\0'), int(h), false));
    chunk(png, "IEND", QByteArray());
    return png;
}

// `png` with `count` compressed text chunks of 7.9 MB each inflated (7.7 KB each) after
// its header.
QByteArray withTextChunks(const QByteArray& png, int count)
{
    QByteArray chunks;
    appendPngChunk(chunks, "zTXt", QByteArray("Comment\0\0", 9) + deflated(QByteArray(1 << 16, 'a'), 120, false));
    return png.left(33) + chunks.repeated(count) + png.mid(33);
}

// An icon file of one entry holding `image`, its directory claiming `claimed` pixels a side.
QByteArray iconHolding(const QByteArray& image, int claimed)
{
    QByteArray ico("\0\0\1\0\1\0", 6);
    ico += char(claimed & 0xFF);
    ico += char(claimed & 0xFF);
    ico += QByteArray("\0\0\1\0\x20\0", 6);
    appendLittleEndian(ico, quint32(image.size()), 4);
    appendLittleEndian(ico, 22, 4);
    return ico + image;
}

QByteArray svgOf(const QByteArray& body, const QByteArray& doctype = QByteArray())
{
    return doctype + R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16">)" + body + "</svg>";
}

// A GIF whose one pixel of a frame lies on a screen of `side` x `side`, at whose size
// the decoder allocates the frame.
QByteArray screenGif(quint16 side)
{
    QByteArray gif("GIF89a");
    appendLittleEndian(gif, side, 2);
    appendLittleEndian(gif, side, 2);
    return gif + QByteArray::fromHex("800000ff0000000000" "2c000000000100010000" "0202440100" "3b");
}

// A progressive JPEG whose frame claims `side` x `side`, its first scan repeated
// `extraScans` more times: each scan of a few bytes costs a pass over the whole frame.
QByteArray progressiveJpeg(quint16 side, int extraScans)
{
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::red);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(small);
    const int frame = jpeg.indexOf("\xff\xc2");
    const int scan = jpeg.indexOf("\xff\xda");
    const int next = jpeg.indexOf("\xff\xda", scan + 2);
    if (frame < 0 || scan < 0 || next < 0)
        return QByteArray();
    for (int at : { frame + 5, frame + 7 }) {   // height, then width
        jpeg[at] = char(side >> 8);
        jpeg[at + 1] = char(side & 0xff);
    }
    return jpeg.left(next) + jpeg.mid(scan, next - scan).repeated(extraScans) + jpeg.mid(next);
}

// A 24-bit bitmap stored top down (a negative height), claiming `side` x `side`, of
// 118 bytes.
QByteArray topDownBmp(quint32 side)
{
    QByteArray bmp("BM");
    for (const quint32 field : { 118u, 0u, 54u, 40u, side, quint32(-qint32(side)) })
        appendLittleEndian(bmp, field, 4);
    appendLittleEndian(bmp, 1, 2);
    appendLittleEndian(bmp, 24, 2);
    return bmp + QByteArray(118 - bmp.size(), '\0');
}

// language.txt bytes: UTF-16LE without a byte-order mark.
QByteArray utf16(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

const QByteArray minimalStyle = R"({"style": [{"type": 1, "name": "ZipFill", "drawImg": false}]})";
const QString table = QStringLiteral("Language\tEN\tZH\r\nok\tOK\t\u786e\u5b9a\r\nzhOnly\t\tzh\r\nlonely\r\n\r\nenOnly\ten\r\n");

// Runs `act` at the first warning holding `needle`, then passes every message on.
class OnWarning {
public:
    OnWarning(const QString& needle, std::function<void()> act)
    {
        state().needle = needle;
        state().act = std::move(act);
        state().previous = qInstallMessageHandler(handle);
    }
    ~OnWarning()
    {
        qInstallMessageHandler(state().previous);
        state() = State();
    }
    OnWarning(const OnWarning&) = delete;
    OnWarning& operator=(const OnWarning&) = delete;

private:
    struct State {
        QString needle;
        std::function<void()> act;
        QtMessageHandler previous = nullptr;
    };
    static State& state()
    {
        static State s;
        return s;
    }
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type == QtWarningMsg && state().act && message.contains(state().needle))
            std::exchange(state().act, nullptr)();
        if (state().previous)
            state().previous(type, context, message);
    }
};

QStringList walkLog;

QString reloadEvent() { return QStringLiteral("skin loaded again"); }

// Logs each theme refresh (which asks for the control base) and each language notification.
class WalkControl : public TestControl {
public:
    WalkControl(const QString& name, QWidget* parent) : TestControl(parent) { setObjectName(name); }
    VYRQWidgetBase* getControlBase() override { walkLog << "theme:" + objectName(); return TestControl::getControlBase(); }
    void notifyChangeLanguage() override { walkLog << "lang:" + objectName(); }
};

// window (a control itself) > a > b, window > plain widget > c
struct WidgetTree {
    WalkControl window{ "window", nullptr };
    WalkControl* a = new WalkControl("a", &window);
    WalkControl* b = new WalkControl("b", a);
    WalkControl* c = new WalkControl("c", new QWidget(&window));
};

} // namespace

class tst_ResourceManager : public QObject {
    Q_OBJECT
    const char* data = nullptr;
    unsigned int size = 0;
    ResSourceType source = ResDefault;

private slots:
    // Image controls and pages use the process-wide manager; the rest of the cases their own.
    void initTestCase() { VYRQtLib::init(); }
    void init() { walkLog.clear(); }

    // The style file ------------------------------------------------------------------

    // Bare entries take the file's defaults, not those of a style made in code; entries without
    // a numeric type of 1 or 2 are skipped; a known name is replaced in place.
    void readRules()
    {
        Probe rm;
        auto set = readInto(rm, R"([{"type": 1, "name": "f"}, {"type": 2, "name": "t"}, {"type": 1, "name": "w", "round": 1},
            {"type": 1, "name": "empty"}, {"name": "noType"}, {"type": 3}, {"type": "1", "name": "str"}, 42, null,
            {"type": 1, "name": "w", "round": "3", "clr": 5, "roundTopLeft": false}, {"type": 2, "name": "w", "size": 30}])");
        const FillStyle* f = set->findFillStyle("f");
        QVERIFY(f && f->draw && !f->colorMode && !f->fill.border);   // no "drawImg": an image fill
        QCOMPARE(f->fill.borderSize, 1);
        QCOMPARE(f->fill.borderColor, QColor(Qt::white));
        QVERIFY(f->fill.leftBorder && f->fill.bottomBorder && f->fill.roundTopLeft && f->fill.roundBottomLeft);
        const TextStyleDesc* t = set->findTextStyle("t");
        QVERIFY(t && t->isHor && t->singleLine && t->ver == 1 && t->size == 12);
        QCOMPARE(t->color, QColor(Qt::black));
        QVERIFY(!set->findFillStyle("empty")->draw);   // the name "empty" never draws
        QCOMPARE(set->fillStyles.size(), 3);
        const FillStyle& w = set->fillStyles.at(1);   // wrong-typed keys default alone
        QVERIFY(w.name == "w" && w.fill.round == 0 && !w.fill.roundTopLeft && w.fill.color == QColor(Qt::white));
        QCOMPARE(set->findTextStyle("w")->size, 30);
    }

    void marginOrderAndScale_data()
    {
        QTest::addColumn<QString>("margin");
        QTest::addColumn<float>("scale");
        QTest::addColumn<QList<int>>("trbl");
        QTest::newRow("order") << "[1, 2, 3, 4]" << 1.0f << QList<int>{ 1, 2, 3, 4 };
        QTest::newRow("large scale ignored") << "[1, 2, 3, 4]" << 100.0f << QList<int>{ 1, 2, 3, 4 };
        QTest::newRow("half truncates") << "[1, 2, 3, 4]" << 0.5f << QList<int>{ 0, 1, 1, 2 };
        QTest::newRow("short array") << "[5, 6]" << 1.0f << QList<int>{ 5, 6, 0, 0 };
        QTest::newRow("non-numbers read 0") << R"([7, "x", null, 9])" << 1.0f << QList<int>{ 7, 0, 0, 9 };
        QTest::newRow("not an array") << R"("1 2 3 4")" << 1.0f << QList<int>{ 0, 0, 0, 0 };
    }
    void marginOrderAndScale()
    {
        QFETCH(QString, margin);
        QFETCH(float, scale);
        QFETCH(QList<int>, trbl);
        Probe rm;
        rm.setScaleFactor(scale);
        auto set = readInto(rm, QStringLiteral(R"([{"type": 1, "name": "m", "margin": %1}])").arg(margin).toUtf8());
        const ImageDesc& d = set->findFillStyle("m")->imageDesc;
        QCOMPARE(QList<int>({ d.top, d.right, d.bottom, d.left }), trbl);
    }

    void colourReadings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<QColor>("textColour");
        QTest::newRow("alpha kept for fills") << "80FF0000" << QColor(255, 0, 0, 128) << QColor(255, 0, 0);
        QTest::newRow("0x prefix") << "0xFF00FF00" << QColor(0, 255, 0) << QColor(0, 255, 0);
        QTest::newRow("not hexadecimal") << "zz" << QColor(0, 0, 0, 0) << QColor(0, 0, 0);
        QTest::newRow("overflow saturates") << "1FFFFFFFFF" << QColor(Qt::white) << QColor(Qt::white);
    }
    void colourReadings()
    {
        QFETCH(QString, text);
        QFETCH(QColor, fill);
        QFETCH(QColor, textColour);
        Probe rm;
        auto set = readInto(rm, QStringLiteral(R"([{"type": 1, "name": "c", "clr": "%1", "borderclr": "%1"},
                                                   {"type": 2, "name": "c", "clr": "%1"}])").arg(text).toUtf8());
        QCOMPARE(set->findFillStyle("c")->fill.color, fill);
        QCOMPARE(set->findFillStyle("c")->fill.borderColor, fill);
        QCOMPARE(set->findTextStyle("c")->color, textColour);
    }

    // Default values are left out; whatever the reader keeps, the writer gives back unchanged.
    void writeAndRoundTrip()
    {
        Probe rm;
        auto first = readInto(rm, R"([
            {"type": 1, "name": "a", "drawImg": false, "clr": "7F010203", "border": true, "borderSize": 3,
             "borderclr": "FF0A0B0C", "round": 5, "roundTopRight": false, "rightBorder": false,
             "repeatLeft": true, "repeatBottom": true, "margin": [4, 3, 2, 1], "img": "images/\u00e9.png"},
            {"type": 1, "name": "plain", "leftBorder": false},
            {"type": 2, "name": "t"},
            {"type": 2, "name": "u", "clr": "FF112233", "hor": 1, "ver": 2, "x": 5, "y": -5, "italic": true,
             "isHor": false, "size": 9, "family": "Sans"}])");
        Json::Value written;
        QVERIFY(rm.writeStyle(first.get(), written));
        QCOMPARE(written.size(), 4u);
        QCOMPARE(keysOf(written[1]), QStringList({ "borderSize", "borderclr", "clr", "drawImg", "img", "name", "type" }));
        QCOMPARE(keysOf(written[2]), QStringList({ "clr", "family", "hor", "name", "type", "ver" }));
        QCOMPARE(written[0]["margin"][0].asInt(), 4);   // top first
        QCOMPARE(written[0]["margin"][3].asInt(), 1);   // left last
        auto second = std::make_unique<VYRQResourceManagerImpl>();
        QVERIFY(rm.readStyle(second.get(), written));
        Json::Value rewritten;
        QVERIFY(rm.writeStyle(second.get(), rewritten));
        QCOMPARE(vyr::json::styledText(rewritten), vyr::json::styledText(written));
        QCOMPARE(second->findFillStyle("a")->image, QString::fromUtf8("images/\xc3\xa9.png"));

        Json::Value object(Json::objectValue);
        QVERIFY(!rm.writeStyle(second.get(), object));   // appending to an object would throw
        QVERIFY(!rm.writeStyle(nullptr, written));
    }

    // Sets, files and images ------------------------------------------------------------

    // A look-up searches the one set the switches name; nothing falls back to another set.
    void styleLookupSearchesOneSet()
    {
        Probe rm;
        FillStyle f, out;
        rm.setFillStyle(QStringLiteral("DefaultOnly"), f);
        QVERIFY(rm.setProjectDirPath(dataPath("project-basic")));
        QVERIFY(rm.loadThemeDir(dataPath("theme-basic")));
        QVERIFY(rm.getFillStyle("DefaultOnly", out));
        QVERIFY(!rm.getFillStyle("ProjFill", out));
        rm.setSwitchToProjectRes(true);
        QVERIFY(!rm.getFillStyle("DefaultOnly", out));
        QVERIFY(rm.getFillStyle("ProjFill", out));
        QVERIFY(!rm.getFillStyle("KolvCard", out));
        rm.setSwitchToThemeRes(true);   // wins over the project switch
        QVERIFY(rm.getFillStyle("KolvCard", out));
        QCOMPARE(out.fill.round, 4);
        QVERIFY(!rm.getFillStyle("ProjFill", out));
    }

    // A look-up by a name's UTF-8 bytes finds what the look-up by text finds: non-ASCII and
    // broken UTF-8 names, the "empty" fills before a stored style of that name, and nothing
    // stale once the styles are released.
    void lookupByBytesMatchesText_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("ascii") << QByteArray("Plain");
        QTest::newRow("non-ascii") << QByteArray("F\xc3\xbcll");
        QTest::newRow("broken utf-8") << QByteArray("\xff\xfe");
        QTest::newRow("empty fill") << QByteArray("empty");
        QTest::newRow("emptyRect fill") << QByteArray("emptyRect");
        QTest::newRow("missing") << QByteArray("Nope");
        QTest::newRow("no name") << QByteArray("");
    }
    void lookupByBytesMatchesText()
    {
        QFETCH(QByteArray, name);
        Probe rm;
        int shade = 0;
        for (const QByteArray& stored : {QByteArray("Plain"), QByteArray("F\xc3\xbcll"), QByteArray("\xff\xfe"),
                                         QByteArray("empty")}) {
            FillStyle fill;
            TextStyleDesc text;
            fill.name = text.name = QString::fromUtf8(stored);
            fill.fill.color = text.color = QColor(shade, shade, 40);
            shade += 50;
            rm.setFillStyle(fill.name, fill);
            rm.setTextStyle(text.name, text);
        }
        const auto fillOf = [](const FillStyle& f) { return f.name + f.fill.color.name() + QString::number(f.draw); };
        for (int round = 0; round < 2; ++round) {
            FillStyle byText, byBytes;
            TextStyleDesc textByText, textByBytes;
            QCOMPARE(rm.getFillStyle(name.constData(), name.size(), byBytes),
                     rm.getFillStyle(QString::fromUtf8(name), byText));
            QCOMPARE(fillOf(byBytes), fillOf(byText));
            QCOMPARE(rm.getTextStyle(name.constData(), name.size(), textByBytes),
                     rm.getTextStyle(QString::fromUtf8(name), textByText));
            QCOMPARE(textByBytes.color, textByText.color);
            // Released, then one new style takes the first place of the tables.
            rm.releaseRes();
            FillStyle other;
            TextStyleDesc otherText;
            rm.setFillStyle(QStringLiteral("Other"), other);
            rm.setTextStyle(QStringLiteral("Other"), otherText);
        }
    }

    // The same folder again is a no-op (no reload, no refresh); a zip is read again every time.
    void sameFolderShortCutButZipReloads()
    {
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.filePath("style.json"), minimalStyle));
        Probe rm;
        WidgetTree tree;
        rm.registerWindow(&tree.window);
        QVERIFY(rm.loadThemeDir(tmp.path()));
        QCOMPARE(walkLog.size(), 3);
        const VYRQResourceManagerImpl* loaded = rm.getThemeManagerImpl();
        QVERIFY(writeFile(tmp.filePath("style.json"), R"({"style": [{"type": 1, "name": "Changed"}]})"));
        walkLog.clear();
        QVERIFY(rm.loadThemeDir(tmp.path() + "/./"));
        QVERIFY(walkLog.isEmpty());
        QCOMPARE(rm.getThemeManagerImpl(), loaded);
        QVERIFY(!loaded->findFillStyle("Changed"));

        const QString zip = tmp.filePath("theme.zip");
        const QByteArray logo = readTestFile(dataPath("theme-basic/images/logo.png"));
        QVERIFY(writeTestZip(zip, { zipItem("style.json", minimalStyle), zipItem("Images\\Logo.PNG", logo) }));
        QVERIFY(rm.loadThemeFile(zip));
        QVERIFY(rm.getImage("images/logo.png", false));
        QVERIFY(rm.loadThemeFile(zip));
        QCOMPARE(cachedImages(rm.getThemeManagerImpl()), 0);   // a new set
        QCOMPARE(fileKeys(rm.getThemeManagerImpl()), QStringList("images/logo.png"));
        rm.unregisterWindow(&tree.window);
    }

    // A failed load leaves no theme and no remembered path, so the folder loads once fixed.
    void failedLoadThenSameFolder()
    {
        QTemporaryDir tmp;
        Probe rm;
        QVERIFY(rm.loadThemeDir(dataPath("theme-basic")));
        QVERIFY(!rm.loadThemeDir(tmp.path()));   // no style.json
        QVERIFY(!rm.getThemeManagerImpl());
        QVERIFY(rm.getThemePath().isEmpty());
        QVERIFY(writeFile(tmp.filePath("style.json"), R"({"style": []})"));
        QVERIFY(rm.loadThemeDir(tmp.path()));
    }

    // A folder gives its top-level files and those of images/, under lower-case keys, style.json
    // apart. Look-ups fold case and separators; the first set holding a file names the source.
    void fileMapAndSource()
    {
        QTemporaryDir tmp;
        QVERIFY(writeTestZip(tmp.filePath("skin.zip"), { zipItem("style.json", minimalStyle), zipItem("shared.txt", "default") }));
        Probe rm;
        QVERIFY(rm.loadThemeDir(dataPath("theme-basic")));
        QCOMPARE(fileKeys(rm.getThemeManagerImpl()), QStringList({ "extra.txt", "images/dot.png", "images/icon.svg",
                                                                   "images/logo.png", "shared.txt", "theme.json", "upper.txt" }));
        QCOMPARE(rm.getThemeManagerImpl()->styleFiles.size(), 1);
        QVERIFY(rm.getResource("Images\\Logo.PNG", data, size, source));
        QCOMPARE(source, ResTheme);
        QCOMPARE(QByteArray(data, int(size)), readTestFile(dataPath("theme-basic/images/logo.png")));
        QVERIFY(rm.loadSkinFile(tmp.filePath("skin.zip")));
        QVERIFY(rm.getResource("SHARED.txt", data, size, source));
        QCOMPARE(source, ResDefault);
        QCOMPARE(QByteArray(data, int(size)), QByteArray("default"));
        QVERIFY(rm.setProjectDirPath(dataPath("project-basic")));
        QVERIFY(rm.getResource("shared.txt", data, size, source));
        QCOMPARE(source, ResProject);
        QVERIFY(!rm.getResource("nothing.txt", data, size, source));

        // Names one key stands for: whatever order the folder lists them in, the one a
        // listing by name meets first is the file, and the style file it meets last is
        // the one parsed.
        QVERIFY(QDir(tmp.path()).mkpath("cased/images"));
        for (const char* style : { "STYLE.JSON", "Style.json", "STYLE.json", "style.JSON", "StYlE.json", "style.json" })
            QVERIFY(writeFile(tmp.filePath(QStringLiteral("cased/") + style), style == QByteArray("style.json") ? minimalStyle : "{"));
        for (int i = 0; i < 8; ++i) {
            for (const QString name : { "F%1.txt", "f%1.txt", "images/I%1.png", "images/i%1.png" })
                QVERIFY(writeFile(tmp.filePath("cased/" + name.arg(i)), name.arg(i).toUtf8()));
        }
        Probe cased;
        QVERIFY(cased.loadThemeDir(tmp.filePath("cased")));
        for (int i = 0; i < 8; ++i) {
            QVERIFY(cased.getResource(QStringLiteral("f%1.txt").arg(i), data, size, source));
            QCOMPARE(QByteArray(data, int(size)), QStringLiteral("F%1.txt").arg(i).toUtf8());
            QVERIFY(cased.getResource(QStringLiteral("images/i%1.png").arg(i), data, size, source));
            QCOMPARE(QByteArray(data, int(size)), QStringLiteral("images/I%1.png").arg(i).toUtf8());
        }
    }

    void imageCacheKeysAndScaling()
    {
        Probe rm;
        QVERIFY(rm.loadThemeDir(dataPath("theme-basic")));
        const VYRQResourceManagerImpl* theme = rm.getThemeManagerImpl();
        QImage* gray = rm.getImage("images/logo.png", true);
        QVERIFY(gray && imageLoaded(theme, "images/logo.png_gray") && !imageLoaded(theme, "images/logo.png"));
        const QRgb px = gray->pixel(2, 1);
        QVERIFY(qAbs(qRed(px) - qGreen(px)) <= 1 && qAbs(qRed(px) - qBlue(px)) <= 1);
        QImage* plain = rm.getImage("images/logo.png", false);
        QVERIFY(plain && plain != gray);
        QCOMPARE(plain->pixelColor(2, 1), QColor(Qt::red));
        QCOMPARE(rm.getImage("images/logo.png", true), gray);
        QVERIFY(!rm.getImage("shared.txt", false) && !imageLoaded(theme, "shared.txt"));   // present, but no image

        Probe half;
        half.setScaleFactor(0.5f);
        QVERIFY(half.loadThemeDir(dataPath("theme-basic")));
        QCOMPARE(half.getImage("images/logo.png", false)->size(), QSize(2, 1));   // 5 x 3, truncated
        // 1 x 1 scales to nothing: missing, every time.
        QVERIFY(!half.getImage("images/dot.png", false) && !half.getImage("images/dot.png", false));
    }

    void oversizedImageIsMissing_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("16000 x 16000 in a 31 KB file") << QSize();
        QTest::newRow("just over 16 Mpx") << QSize(4097, 4096);
    }
    // An image whose header claims more pixels than the cap is refused before it is
    // decoded, counts as missing and is warned about once; images within the cap load
    // as before.
    void oversizedImageIsMissing()
    {
        QFETCH(QSize, size);
        QTemporaryDir tmp;
        QString folder = dataPath("image-cap");
        if (size.isValid()) {
            folder = tmp.path();
            QVERIFY(QDir(folder).mkpath("images"));
            QVERIFY(writeFile(tmp.filePath("style.json"), minimalStyle));
            // One bit per pixel: small to write and, within the cap, to decode.
            for (const QSize& s : { size, QSize(4096, 4096) }) {
                QImage image(s, QImage::Format_Mono);
                image.fill(1);
                QVERIFY(image.save(tmp.filePath(s == size ? "images/huge.png" : "images/atcap.png")));
            }
        }
        Probe rm;
        QVERIFY(rm.loadThemeDir(folder));
        {
            WarningCapture warnings;
            QVERIFY(!rm.getImage("images/huge.png", false));
            QVERIFY(!rm.getImage("images/huge.png", true));
            QCOMPARE(warnings.count(QStringLiteral("images/huge.png")), 1);
        }
        QCOMPARE(cachedImages(rm.getThemeManagerImpl()), 0);
        const QImage* fine = rm.getImage(size.isValid() ? "images/atcap.png" : "images/fine.png", false);
        QVERIFY(fine);
        QCOMPARE(fine->size(), size.isValid() ? QSize(4096, 4096) : QSize(8, 4));
    }

    void wrappedImagesCheckedAtDecodedSize_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QSize>("size");   // invalid: refused
        QTest::newRow("8192 x 8192 PNG in an icon claiming 256 x 256") << iconHolding(blankPng(8192, 8192), 0) << QSize();
        QTest::newRow("64 x 64 PNG in an icon") << iconHolding(redImage(64, 64), 64) << QSize(64, 64);
        QTest::newRow("bitmap icon") << redImage(16, 16, "ico") << QSize(16, 16);
        QTest::newRow("118-byte top-down bitmap of 16384 x 16384") << topDownBmp(16384) << QSize();
        QTest::newRow("4096 x 4096 progressive JPEG of 30,000 scans") << progressiveJpeg(4096, 30000) << QSize();
        // The decoder inflates every text chunk whole: 20 of them would take some 760 MB.
        QTest::newRow("1 x 1 PNG of 20 text chunks of 7.9 MB inflated") << withTextChunks(blankPng(1, 1), 20) << QSize(1, 1);
        QTest::newRow("the same PNG in an icon") << iconHolding(withTextChunks(blankPng(1, 1), 20), 1) << QSize(1, 1);
    }
    // An image inside a container is checked at the size it decodes to, not the size the
    // container claims, and refused before any of it is decoded; so is one whose header
    // Qt reads no size from, and one whose format asks more work than its bytes (a
    // JPEG's scans are counted). A PNG's text chunks, alone or in an icon, are never
    // inflated.
    void wrappedImagesCheckedAtDecodedSize()
    {
        QFETCH(QByteArray, file);
        QFETCH(QSize, size);
        QVERIFY(!file.isEmpty());
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkpath("images"));
        QVERIFY(writeFile(tmp.filePath("style.json"), minimalStyle));
        QVERIFY(writeFile(tmp.filePath("images/icon.ico"), file));
        Probe rm;
        QVERIFY(rm.loadThemeDir(tmp.path()));
        WarningCapture warnings;
        const PeakMemory memory;
        const CpuTimer timer;
        const QImage* image = rm.getImage("images/icon.ico", false);
        const qint64 grown = memory.growthMb();
        VERIFY_CPU_BELOW(timer, 2000);
        QCOMPARE(image ? image->size() : QSize(), size);
        QCOMPARE(warnings.count(QStringLiteral("icon.ico")), size.isValid() ? 0 : 1);
        VERIFY_PEAK_GROWTH_BELOW(grown, 64);
    }

    void svgWithinBounds_data()
    {
        QTest::addColumn<QByteArray>("file");   // "@dir@" stands for a folder holding "fifo", "red.png" and "huge.png"
        QTest::addColumn<bool>("loads");   // as a renderer
        QTest::addColumn<bool>("asImage");
        QTest::addColumn<bool>("leftOut");   // images or style sheets left out, with a warning
        QTest::addColumn<int>("heldMb");     // what the set counts for it, at least
        const QByteArray red = R"(<rect width="16" height="16" fill="red"/>)";
        const auto entity = [](const QByteArray& text) { return "<!DOCTYPE svg [<!ENTITY e \"" + text + "\">]>"; };
        const auto image = [](const QByteArray& source, int side = 1) {
            return QStringLiteral(R"(<image width="%1" height="%1" xlink:href="%2"/>)").arg(side).arg(QString::fromLatin1(source)).toLatin1();
        };
        QTest::newRow("10,000 elements") << svgOf(red + QByteArray("<g/>").repeated(9998)) << true << true << false << 0;
        QTest::newRow("10,001 elements") << svgOf(red + QByteArray("<g/>").repeated(9999)) << false << false << false << 0;
        QTest::newRow("10,001 elements after an undeclared prefix")
            << svgOf(red + R"(<g xlink:title="x"/>)" + QByteArray("<g/>").repeated(9998)) << false << false << false << 0;
        QTest::newRow("elements from an entity") << svgOf(red + QByteArray("&e;").repeated(200), entity(QByteArray("<g/>").repeated(100)))
                                                 << false << false << false << 0;
        QTest::newRow("text from an entity") << svgOf(red + "<text>" + QByteArray("&e;").repeated(1100) + "</text>",
                                                      entity(QByteArray(4000, 'x')))
                                             << false << false << false << 0;
        QTest::newRow("more than 4 MiB") << svgOf(red + "<!--" + QByteArray(4 << 20, 'x') + "-->") << false << false << false << 0;
        QTest::newRow("gzip inflating past 4 MiB") << gzipped(svgOf(red + "<!--" + QByteArray(5 << 20, 'x') + "-->"))
                                                   << false << false << false << 0;
        QTest::newRow("gzip") << gzipped(svgOf(red)) << true << true << false << 0;
        // A renderer draws at its target's size: only the image is refused.
        QTest::newRow("5000 x 5000, 25 Mpx as an image")
            << QByteArray(R"(<svg xmlns="http://www.w3.org/2000/svg" width="5000" height="5000">)"
                          R"(<rect width="5000" height="5000" fill="red"/></svg>)")
            << true << false << false << 0;
        // Its images together hold one image's pixels: the first is kept, counted.
        QTest::newRow("four GIF data URLs of 4096 x 4096 screens")
            << svgOf(red + image("data:image/gif;base64," + screenGif(4096).toBase64()).repeated(4)) << true << true << true << 64;
        QTest::newRow("an image naming a FIFO") << svgOf(red + image("@dir@/fifo")) << true << true << true << 0;
        QTest::newRow("images naming files, one past 64 MiB")
            << svgOf(image("@dir@/red.png", 16) + image("@dir@/huge.png", 16)) << true << true << true << 0;
        QTest::newRow("a style sheet naming a FIFO")
            << svgOf(red, R"(<?xml-stylesheet type="text/css" href="@dir@/fifo"?>)") << true << true << true << 0;
        const auto zigzag = [](int points) {
            QByteArray list;
            for (int i = 0; i < points; ++i)
                list += QByteArray::number(i * 7 % 17) + ',' + QByteArray::number(i * 13 % 17) + ' ';
            return list;
        };
        QTest::newRow("a dashed 30-pixel polyline of 640,000 points")
            << svgOf(R"(<polyline fill="none" stroke="red" stroke-width="30" stroke-dasharray="1" points=")"
                     + zigzag(640000) + R"("/>)")
            << false << false << false << 0;
        QTest::newRow("5,000 points drawn eleven times")
            << svgOf(red + R"(<defs><polyline id="p" points=")" + zigzag(5000) + R"("/></defs>)"
                     + QByteArray("<use xlink:href=\"#p\"/>").repeated(11))
            << false << false << false << 0;
        // Text is laid out again for each use: 4.2 Mi characters drawn.
        const QByteArray text = "<text id=\"t\">" + QByteArray(30000, 'x') + "</text>";
        QTest::newRow("30,000 characters of text drawn through 140 uses")
            << svgOf(red + "<defs><g id=\"g\">" + text + "</g></defs>" + QByteArray("<use xlink:href=\"#g\"/>").repeated(140))
            << false << false << false << 0;
        QTest::newRow("30,000 characters of text drawn through 12 uses of a group of 12 uses")
            << svgOf(red + "<defs>" + text + "<g id=\"g\">" + QByteArray("<use xlink:href=\"#t\"/>").repeated(12)
                     + "</g></defs>" + QByteArray("<use xlink:href=\"#g\"/>").repeated(12))
            << false << false << false << 0;
        QTest::newRow("a dash pattern from an escaped style sheet")
            << svgOf(red + R"(<style>polyline { stroke-dash\61rray: 0.01 }</style><polyline stroke="red" points=")"
                     + zigzag(100) + R"("/>)")
            << false << false << false << 0;
        // Spelled past a plain search of the document for what needs counting.
        const auto dashed = [&](const QByteArray& attribute) {
            return svgOf(red + "<polyline stroke=\"red\" " + attribute + " points=\"" + zigzag(100) + "\"/>");
        };
        QTest::newRow("a dash pattern behind a character reference")
            << dashed("style=\"stroke-dash&#97;rray: 0.01\"") << false << false << false << 0;
        QTest::newRow("a dash pattern split by a comment") << dashed(R"(style="stroke-dash/**/array: 0.01")")
                                                          << false << false << false << 0;
        QTest::newRow("a dash pattern in capitals") << dashed(R"(STROKE-DASHARRAY="0.01")") << false << false << false << 0;
        QTest::newRow("a dash pattern in a style of mixed case, after a stroke width")
            << dashed(R"(style="fill:none;stroke-width:1;Stroke-DashArray : 0.01")") << false << false << false << 0;
        QTest::newRow("5,000 points drawn eleven times through a prefixed use")
            << svgOf(red + R"(<defs><polyline id="p" points=")" + zigzag(5000) + R"("/></defs>)"
                     + QByteArray("<svg:use xlink:href=\"#p\"/>").repeated(11))
            << false << false << false << 0;
        // Text costs by the glyphs laid out, a run within a word and a line of a text
        // area as much as 16 and 20 glyphs.
        const auto alternating = [](int count, ushort other) {
            QString word;
            for (int i = 0; i < count; ++i)
                word += i % 2 ? QChar(other) : QLatin1Char('a');
            return word.toUtf8();
        };
        const auto textArea = [](const QByteArray& text, const QByteArray& width = "1") {
            return "<textArea width=\"" + width + "\" height=\"16\">" + text + "</textArea>";
        };
        QTest::newRow("16,000 characters of text drawn through 261 uses")
            << svgOf(red + "<defs><text id=\"t\">" + QByteArray(16000, 'x') + "</text></defs>"
                     + QByteArray("<use xlink:href=\"#t\"/>").repeated(261))
            << false << false << false << 0;
        QTest::newRow("4,000 characters of text") << svgOf(red + "<text>" + QByteArray(4000, 'x') + "</text>")
                                                  << true << true << false << 0;
        QTest::newRow("200 letters, Latin and Cyrillic by turns, drawn through 16 uses")
            << svgOf(red + "<defs><text id=\"t\">" + alternating(200, 0x0431) + "</text></defs>"
                     + QByteArray("<use xlink:href=\"#t\"/>").repeated(16))
            << false << false << false << 0;
        QTest::newRow("1,000 letters, Latin and Hebrew by turns")
            << svgOf(red + "<text>" + alternating(1000, 0x05d0) + "</text>") << false << false << false << 0;
        QTest::newRow("1,000 letters, Latin and joiners by turns")
            << svgOf(red + "<text>" + alternating(1000, 0x200d) + "</text>") << false << false << false << 0;
        QTest::newRow("a letter and 1,000 combining marks")
            << svgOf(red + "<text>a" + QString(1000, QChar(0x301)).toUtf8() + "</text>") << false << false << false << 0;
        QTest::newRow("200 letters, Latin and Cyrillic by turns")
            << svgOf(red + "<text>" + alternating(200, 0x0431) + "</text>") << true << true << false << 0;
        QTest::newRow("a text area 1 pixel wide of one word of 2,000 letters, Latin and Cyrillic by turns")
            << svgOf(red + textArea(alternating(2000, 0x0431))) << false << false << false << 0;
        QTest::newRow("a text area 1 pixel wide of 4,000 letters")
            << svgOf(red + textArea(QByteArray("a ").repeated(4000))) << false << false << false << 0;
        QTest::newRow("a text area 1 pixel wide of one word of 500 spans")
            << svgOf(red + textArea(QByteArray("<tspan>a</tspan>").repeated(500))) << false << false << false << 0;
        QTest::newRow("a text area 1 pixel wide of 80 letters, Latin and Cyrillic by turns")
            << svgOf(red + textArea(alternating(80, 0x0431))) << true << true << false << 0;
        QTest::newRow("a text area of no set width of 2,000 letters")
            << svgOf(red + textArea(QByteArray("a ").repeated(2000), "auto")) << true << true << false << 0;
        QTest::newRow("1,000 text elements") << svgOf(red + QByteArray("<text>x</text>").repeated(1000))
                                             << false << false << false << 0;
        // A curve counts the segments it is flattened into, up to 512 from a long one.
        const auto curves = [](int count, const QByteArray& reach) {
            QByteArray path = "M0,0";
            for (int i = 0; i < count; ++i)
                path += " C" + reach + "," + reach + " -" + reach + "," + reach + " " + QByteArray::number(i % 16) + ",8";
            return "<path fill=\"none\" d=\"" + path + "\"/>";
        };
        QTest::newRow("1,000 curves reaching out to 1e8") << svgOf(red + curves(1000, "1e8")) << false << false << false << 0;
        QTest::newRow("1,000 curves reaching out to 100000000, stroked")
            << svgOf(red + curves(1000, "100000000").replace("<path", "<path stroke=\"red\""))
            << false << false << false << 0;
        QTest::newRow("60 curves across the icon") << svgOf(red + curves(60, "16")) << true << true << false << 0;
        // Bounded from the first digits of its numbers, this path would walk more edge than
        // a paint may; counted again exactly it walks none.
        QTest::newRow("1,500 curves of no length, at 10, 10")
            << svgOf(red + "<path d=\"M10 10" + QByteArray(" C10 10 10 10 10 10").repeated(1500) + "\"/>") << true << true
            << false << 0;
        QTest::newRow("60 curves across the icon, scaled by 1e7")
            << svgOf(red + "<g transform=\"translate(1) scale(1e7)\">" + curves(60, "16") + "</g>")
            << false << false << false << 0;
        QTest::newRow("60 curves across the icon, drawn through a use scaled by 1e7")
            << svgOf(red + "<defs>" + QByteArray(curves(60, "16")).replace("<path", "<path id=\"p\"")
                     + "</defs><use transform=\"matrix(1e7 0 0 1e7 0 0)\" xlink:href=\"#p\"/>")
            << false << false << false << 0;
        QTest::newRow("100 circles of radius 1e9")
            << svgOf(red + QByteArray("<circle r=\"1e9\"/>").repeated(100)) << false << false << false << 0;
        QTest::newRow("one circle of radius 9e9 in a document of 134 bytes")
            << svgOf(red + "<circle r=\"9e9\"/>") << false << false << false << 0;
        QTest::newRow("100 large arcs of radius 1e9")
            << svgOf(red + "<path d=\"M0,0" + QByteArray(" A1e9,1e9 0 1 0 1,1 A1e9,1e9 0 1 0 0,0").repeated(50) + "\"/>")
            << false << false << false << 0;
        // The rasteriser walks every pixel of an edge, and of a dash across its stroke.
        QTest::newRow("3 points dashed every 0.01 unit, stroked 1,000 units wide")
            << svgOf(red + "<polyline fill=\"none\" stroke=\"red\" stroke-width=\"1000\" stroke-dasharray=\"0.01\" "
                           "points=\"0,0 16,16 0,16\"/>")
            << false << false << false << 0;
        QTest::newRow("3 points dashed every 0.01 unit, stroked 10 inches wide by a style sheet")
            << svgOf(red + "<style>polyline { stroke-width: 10in }</style><polyline fill=\"none\" stroke=\"red\" "
                           "stroke-dasharray=\"0.01\" points=\"0,0 16,16 0,16\"/>")
            << false << false << false << 0;
        QTest::newRow("5,000 points zigzagging across the icon")
            << svgOf(red + "<polyline fill=\"none\" stroke=\"red\" points=\"" + zigzag(5000) + "\"/>")
            << false << false << false << 0;
        // Exponents scale their numbers: the same path written with them, across the icon or
        // within a hundredth of it.
        const auto zigzagPath = [](int points, const char* far) {
            const QByteArray there = QByteArray(" L") + far + ',' + far + " L0,0";
            return "<path fill=\"none\" stroke=\"red\" d=\"M0,0" + there.repeated(points / 2) + "\"/>";
        };
        QTest::newRow("5,000 points zigzagging across the icon, written with exponents")
            << svgOf(red + zigzagPath(5000, "1.6e1")) << false << false << false << 0;
        QTest::newRow("5,000 points zigzagging in its corner, written with exponents")
            << svgOf(red + zigzagPath(5000, "16E-2")) << true << true << false << 0;
        QTest::newRow("400 points zigzagging across the icon")
            << svgOf(red + "<polyline fill=\"none\" stroke=\"red\" points=\"" + zigzag(400) + "\"/>")
            << true << true << false << 0;
        QTest::newRow("3,000 characters of text over 400 points zigzagging across the icon")
            << svgOf(red + "<polyline fill=\"none\" stroke=\"red\" points=\"" + zigzag(400) + "\"/><text>"
                     + QByteArray(3000, 'x') + "</text>")
            << false << false << false << 0;
        QTest::newRow("elements within a comment") << svgOf(red + "<!--" + QByteArray("<g/>").repeated(10001) + "-->")
                                                   << true << true << false << 0;
        QTest::newRow("a prefixed image naming a FIFO") << svgOf(red + image("@dir@/fifo").replace("<image", "<svg:image"))
                                                        << true << true << true << 0;
    }
    // An SVG is refused, with one warning, when it is too long or its elements, its
    // text (entities expanded, gzip inflated), its points or its dashes (a shape or a text
    // drawn through <use> counting once a use) pass their bounds, as a renderer and as an
    // image; refused as an image, it may still be a renderer. What it names is read
    // through our reader and image bounds or left out, with one warning, and the images
    // it holds count in its set's budget.
    void svgWithinBounds()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, loads);
        QFETCH(bool, asImage);
        QFETCH(bool, leftOut);
        QFETCH(int, heldMb);
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkpath("images"));
        QVERIFY(specialfiles::fifo(tmp.filePath("fifo")));
        QVERIFY(writeFile(tmp.filePath("red.png"), redImage(16, 16)));
        QImage blue(16, 16, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        QVERIFY(specialfiles::sparse(tmp.filePath("huge.png"), pngOf(blue), 65 << 20));
        file.replace("@dir@", QFile::encodeName(tmp.path()));
        QVERIFY(writeFile(tmp.filePath("style.json"), minimalStyle));
        QVERIFY(writeFile(tmp.filePath("images/x.svg"), file));
        QVERIFY(writeFile(tmp.filePath("images/x.png"), file));
        Probe rm;
        QVERIFY(rm.loadThemeDir(tmp.path()));
        WarningCapture warnings;
        releaseFreed();
        const PeakMemory memory;
        const CpuTimer timer;
        {
            const specialfiles::FifoWriter unblock({ tmp.filePath("fifo") }, 3000);
            for (int round = 0; round < 2; ++round) {
                for (const char* name : { "images/x.svg", "images/x.png" }) {
                    const QImage* image = rm.getImage(name, false);
                    QCOMPARE(image ? image->pixelColor(8, 8) : QColor(), asImage ? QColor(Qt::red) : QColor());
                }
                const QSvgRenderer* renderer = rm.getSvgRenderer("images/x.svg");
                QCOMPARE(renderer && renderer->isValid(), loads);
            }
            QCOMPARE(unblock.readersFound(), 0);   // refused without waiting for a writer
        }
        VERIFY_CPU_BELOW(timer, 3000);
        QCOMPARE(warnings.count(QStringLiteral("x.svg")), int(!loads) + int(!asImage));
        QCOMPARE(warnings.count(QStringLiteral("x.png")), asImage ? 0 : 1);
        QCOMPARE(warnings.count(QStringLiteral("left out")) > 0, leftOut);
        QVERIFY(rm.getThemeManagerImpl()->decoded.bytes() >= qint64(heldMb) << 20);
        // The most: three decodes of one image of 64 MiB, which the renderer keeps and
        // each picture of the document frees again (the address sanitizer keeps what was
        // freed). Four such images, each decoded by all three, would take 768 MiB.
        VERIFY_PEAK_GROWTH_BELOW(memory.growthMb(), 300);
    }

    // The costliest SVG the theme-image door accepts, searched for among random
    // documents and mutations of the costliest accepted: none may cost more than 0.5 s of
    // CPU to load and first render at 64x64, nor 50 ms a repaint (measured in a release
    // build; the sanitizers slow both down several times).
    void svgCostSearch()
    {
#ifdef VYR_TEST_SANITIZED
        constexpr qint64 slowdown = 5;
#else
        constexpr qint64 slowdown = 1;
#endif
        const qint64 loadBound = 500000000 * slowdown, repaintBound = 50000000 * slowdown;
        Probe rm;
        VYRQResourceManagerImpl* set = rm.getDefaultManagerImpl();
        const QString name = QStringLiteral("images/search.svg");
        const auto measure = [&](const QByteArray& svg) {
            SvgCostSearch::Cost cost;
            WarningCapture refusals;
            set->files.addBytes(name.toStdString(), svg);
            QImage canvas(64, 64, QImage::Format_ARGB32_Premultiplied);
            canvas.fill(Qt::transparent);
            const CpuTimer load;
            QSvgRenderer* renderer = rm.getSvgRenderer(name);
            cost.accepted = renderer && renderer->isValid();
            if (cost.accepted) {
                const auto render = [&] {
                    const CpuTimer paint;
                    QPainter painter(&canvas);
                    renderer->render(&painter);
                    painter.end();
                    return paint.nsecsElapsed();
                };
                render();
                cost.loadNs = load.nsecsElapsed();
                // The least of a few when the first passes: another process may share the core.
                cost.repaintNs = render();
                for (int again = 0; again < 2 && cost.repaintNs > repaintBound / 2; ++again)
                    cost.repaintNs = std::min(cost.repaintNs, render());
            }
            set->files.remove(name.toStdString());
            rm.releaseRes();
            return cost;
        };
        SvgCostSearch search(64, loadBound, repaintBound);
        const CpuTimer budget;
        while (search.tries() < 600 && budget.elapsed() < 10000)
            search.tryOne(measure);
        const SvgCostSearch::Found& worst = search.costliest();
        qInfo("%d tries, %d accepted; the costliest: %.1f ms to load and render, %.1f ms a repaint: %s", search.tries(),
              search.accepted(), worst.cost.loadNs / 1e6, worst.cost.repaintNs / 1e6, qPrintable(worst.recipe));
        QVERIFY(search.accepted() > search.tries() / 10);
        QVERIFY2(worst.weight <= 1, qPrintable(worst.recipe));
    }

    void decodedFilesAreDropped_data()
    {
        QTest::addColumn<QString>("from");   // "folder", "zip" or "memory"
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<QString>("change");   // after the file was decoded: "size", "bytes" (same size) or none
        QTest::addColumn<bool>("handedOut");   // getResource before the decode
        for (const char* from : { "folder", "zip" }) {
            for (const char* name : { "images/a.png", "images/a.svg" }) {
                QTest::addRow("%s, %s", from, name) << from << name << true << QString() << false;
                QTest::addRow("%s, %s, handed out first", from, name) << from << name << false << QString() << true;
            }
            QTest::addRow("%s rewritten since, same size", from) << from << "images/a.png" << true << "bytes" << false;
        }
        QTest::newRow("zip rewritten since") << "zip" << "images/a.png" << true << "size" << false;
        QTest::newRow("zip in memory") << "memory" << "images/a.png" << false << QString() << false;
    }
    // A file's bytes are not held beside the image or renderer decoded from them: they
    // are read again when needed, from the folder or the archive on disk, and only as
    // they were first read (a file changed since is missing, with a warning; the grey
    // look comes from the image decoded before). Bytes getResource handed out stay, as
    // do those of an archive given in memory.
    void decodedFilesAreDropped()
    {
        QFETCH(QString, from);
        QFETCH(QString, name);
        QFETCH(bool, dropped);
        QFETCH(QString, change);
        QFETCH(bool, handedOut);
        QTemporaryDir tmp;
        const QByteArray png = redImage(5, 3);
        const QByteArray svg = svgOf(R"(<rect width="16" height="16" fill="red"/>)");
        QVERIFY(QDir(tmp.path()).mkpath("theme/images"));
        QVERIFY(writeFile(tmp.filePath("theme/style.json"), minimalStyle));
        QVERIFY(writeFile(tmp.filePath("theme/images/a.png"), png));
        QVERIFY(writeFile(tmp.filePath("theme/images/a.svg"), svg));
        const QString zip = tmp.filePath("theme.zip");
        QVERIFY(writeTestZip(zip, { zipItem("style.json", minimalStyle), zipItem("images/a.png", png), zipItem("images/a.svg", svg) }));
        const QByteArray zipBytes = readTestFile(zip);
        Probe rm;
        if (from == "folder")
            QVERIFY(rm.loadThemeDir(tmp.filePath("theme")));
        else if (from == "zip")
            QVERIFY(rm.loadThemeFile(zip));
        else
            QVERIFY(rm.loadSkinFile(zipBytes.constData(), zipBytes.size()));
        const VYRQResourceManagerImpl* set = from == "memory" ? rm.getDefaultManagerImpl() : rm.getThemeManagerImpl();
        const std::string key = name.toStdString();
        const bool isSvg = name.endsWith(".svg");
        if (handedOut)
            QVERIFY(rm.getResource(name, data, size, source));
        QVERIFY(isSvg ? bool(rm.getSvgRenderer(name)) : bool(rm.getImage(name, false)));
        if (handedOut) {
            QCOMPARE(QByteArray(data, int(size)), isSvg ? svg : png);   // still the caller's
            QVERIFY(set->files.holds(key));
            return;
        }
        QCOMPARE(!set->files.holds(key), dropped);

        if (!change.isEmpty()) {
            QImage blue(5, 3, QImage::Format_ARGB32);
            blue.fill(Qt::blue);
            const QByteArray other = change == "size" ? redImage(50, 30) : pngOf(blue);
            QCOMPARE(other.size() == png.size(), change == "bytes");
            if (from == "zip")
                QVERIFY(writeTestZip(zip, { zipItem("style.json", minimalStyle), zipItem("images/a.png", other) }));
            else
                QVERIFY(writeFile(tmp.filePath("theme/images/a.png"), other));
            WarningCapture warnings;
            QVERIFY(!rm.getResource(name, data, size, source));
            QVERIFY(!rm.getResource(name, data, size, source));
            QCOMPARE(warnings.count(QStringLiteral("images/a.png")), 1);
            const QImage red = QImage::fromData(png);
            const QImage redGrey = QIcon(QPixmap::fromImage(red)).pixmap(red.size(), QIcon::Disabled).toImage();
            const QImage* gray = rm.getImage(name, true);
            QVERIFY(gray);
            QCOMPARE(gray->pixel(2, 1), redGrey.pixel(2, 1));
            return;
        }
        QVERIFY(rm.getResource(name, data, size, source));
        QCOMPARE(QByteArray(data, int(size)), isSvg ? svg : png);
        if (!isSvg) {
            const QImage* gray = rm.getImage(name, true);
            QVERIFY(gray);
            QCOMPARE(gray->size(), QSize(5, 3));
        }
        QVERIFY(set->files.holds(key));   // handed out: kept
    }

    void zipEntriesReadAgainDirectly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("lookups");   // in turn: i image, g grey look, r getResource
        QTest::addColumn<int>("rereads");
        QTest::newRow("image, then grey") << "images/i2990.png" << "ig" << 0;
        QTest::newRow("image, grey, then bytes") << "images/i2990.png" << "igr" << 1;
        QTest::newRow("grey, then image") << "images/i2990.png" << "gi" << 1;
        QTest::newRow("undecodable, 200 times") << "images/bad.png" << QString(200, 'i') << 0;
        QTest::newRow("undecodable grey, 200 times") << "images/bad.png" << QString(200, 'g') << 0;
    }
    // A theme zip's entries are found in the one walk over its directory at load: one
    // read again is reached without walking, whatever its place among 3,000. A grey
    // look is made from the decoded image, and an entry that does not decode is not
    // read again.
    void zipEntriesReadAgainDirectly()
    {
        QFETCH(QString, name);
        QFETCH(QString, lookups);
        QFETCH(int, rereads);
        static QTemporaryDir tmp;
        const QString zip = tmp.filePath("many.zip");
        if (!QFile::exists(zip)) {
            QList<TestZipItem> items{ zipItem("style.json", minimalStyle), zipItem("images/bad.png", "\x89PNG broken") };
            const QByteArray png = redImage(2, 2);
            for (int i = 0; i < 3000; ++i)
                items << zipItem("images/i" + QByteArray::number(i) + ".png", png);
            QVERIFY(writeTestZip(zip, items));
        }
        Probe rm;
        QVERIFY(rm.loadThemeFile(zip));
        const quint64 steps = zipDirectorySteps();
        for (const QChar lookup : lookups) {
            if (lookup == 'r')
                QVERIFY(rm.getResource(name, data, size, source));
            else
                QCOMPARE(bool(rm.getImage(name, lookup == 'g')), !name.contains("bad"));
        }
        QCOMPARE(zipDirectorySteps() - steps, quint64(0));
        QCOMPARE(rm.getThemeManagerImpl()->files.rereads(), rereads);
    }

    void skinsReplaceTheirFilesWithinTheBound_data()
    {
        QTest::addColumn<QStringList>("loads");   // skins, in turn: "red" and "blue" share one file name
        QTest::addColumn<QList<bool>>("accepted");
        const QList<bool> all{ true, true, true, true, true };
        QTest::newRow("the same skin five times") << QStringList{ "red", "red", "red", "red", "red" } << all;
        QTest::newRow("a changed skin again") << QStringList{ "red", "blue" } << all.mid(0, 2);
        QTest::newRow("a changed skin again, its path spelled another way")
            << QStringList{ "red", "./blue" } << all.mid(0, 2);
        QTest::newRow("the same skin from memory five times")
            << QStringList{ "memory red", "memory red", "memory red", "memory red", "memory red" } << all;
        QTest::newRow("another skin from memory of the same size and CRC-32")
            << QStringList{ "memory red", "forged blue" } << all.mid(0, 2);
        QTest::newRow("two large skins past 256 MiB") << QStringList{ "large", "other large" } << all.mid(0, 2);
        QTest::newRow("two large skins past 256 MiB, the first's files handed out")
            << QStringList{ "large handed out", "other large" } << QList<bool>{ true, false };
        QTest::newRow("a large skin again") << QStringList{ "large", "large" } << all.mid(0, 2);
        QTest::newRow("a changed skin again, its changed image failing its CRC")
            << QStringList{ "red", "damaged blue", "blue" } << QList<bool>{ true, false, true };
    }
    // A skin loaded again (the same file by any spelling of its path, or the same bytes
    // from memory) replaces what it added before: its style file, its files, and the
    // images decoded from files that changed, into the image a caller holds. The default
    // set keeps within 256 MiB, by what it must keep (bytes handed out, skins in memory)
    // and the new skin: a skin that would pass it is refused with a warning and leaves the
    // set as it was; bytes it could read again do not count.
    void skinsReplaceTheirFilesWithinTheBound()
    {
        QFETCH(QStringList, loads);
        QFETCH(QList<bool>, accepted);
        QTemporaryDir tmp;
        QHash<QString, QString> onDisk;   // file -> the skin it holds
        const auto fileOf = [&](const QString& skin) {
            const QByteArray name = skin.toUtf8().replace(' ', '_');
            const QString path = tmp.filePath(skin.contains("large") ? name + ".zip" : "colour.zip");
            if (onDisk.value(path) == skin)
                return path;
            onDisk.insert(path, skin);
            QList<TestZipItem> items{ zipItem("style.json", R"({"style": [{"type": 1, "name": ")" + name + R"("}]})") };
            // Three files of 45 MiB; the other skin only claims them, and none of them unpacks.
            const QByteArray filler(skin == "large" ? 45 << 20 : 1, '\0');
            for (int i = 0; i < 3 && skin.contains("large"); ++i) {
                const QByteArray file = name + QByteArray::number(i) + ".bin";
                items << (skin == "large" ? zipItem(file, filler) : lyingZipItem(file, filler, 45 << 20, 0));
            }
            if (!skin.contains("large")) {
                QImage image(5, 3, QImage::Format_ARGB32);
                image.fill(QColor(skin.section(' ', -1)));
                const QByteArray png = pngOf(image);
                items << (skin.startsWith("damaged") ? lyingZipItem("images/a.png", png, png.size(), crcOf(png) ^ 1)
                                                     : zipItem("images/a.png", png))
                      << zipItem("style.pad", QByteArray(8 << 20, ' '));
            }
            return writeTestZip(path, items) ? path : QString();
        };
        // "forged": the blue skin from memory with a comment whose last four bytes give it
        // the size and CRC-32 of the red one, which has a comment of zeros.
        QHash<QString, QByteArray> forged;
        if (loads.join(' ').contains("forged")) {
            const QByteArray red = readTestFile(fileOf("red")), blue = readTestFile(fileOf("blue"));
            const int size = std::max(red.size(), blue.size()) + 8;
            forged.insert("red", withComment(red, size - red.size()));
            forged.insert("blue", withComment(blue, size - blue.size(), crcOf(forged.value("red"))));
            QCOMPARE(forged.value("blue").size(), forged.value("red").size());
            QCOMPARE(crcOf(forged.value("blue")), crcOf(forged.value("red")));
        }
        Probe rm;
        const VYRQResourceManagerImpl* set = rm.getDefaultManagerImpl();
        qint64 held = 0;
        const QImage* shown = nullptr;   // kept from the first look-up, as an image control keeps it
        QSet<QString> skins;               // each adds its own style file
        for (int i = 0; i < loads.size(); ++i) {
            QString skin = loads.at(i);
            const bool inMemory = skin.startsWith("memory ") || skin.startsWith("forged ");
            const bool respelled = skin.startsWith("./"), handOut = skin.endsWith(" handed out");
            skin.remove(QRegularExpression("^(memory |forged |\\./)| handed out$"));
            QString path = fileOf(skin);
            QVERIFY(!path.isEmpty());
            if (respelled)
                path = tmp.path() + "/./" + QFileInfo(path).fileName();
            const QByteArray bytes = inMemory ? forged.value(skin, readTestFile(path)) : QByteArray();
            const qint64 before = set->files.heldBytes();
            WarningCapture warnings;
            const bool loaded = inMemory ? rm.loadSkinFile(bytes.constData(), bytes.size()) : rm.loadSkinFile(path);
            QCOMPARE(loaded, accepted.at(i));
            QCOMPARE(warnings.count(QStringLiteral("refused")), accepted.at(i) ? 0 : 1);
            FillStyle out;
            QCOMPARE(rm.getFillStyle(skin.toUtf8().replace(' ', '_'), out), accepted.at(i));
            QVERIFY(set->files.heldBytes() <= 256ll << 20);
            if (!accepted.at(i)) {
                QCOMPARE(set->files.heldBytes(), before);
                QVERIFY(!rm.getResource("other_large0.bin", data, size, source));
                if (shown)   // what the skin showed before, by the pointer and by name
                    QCOMPARE(shown->pixelColor(1, 1), QColor(Qt::red));
                if (shown)
                    QCOMPARE(rm.getImage("images/a.png", false), shown);
                continue;
            }
            skins.insert(inMemory ? loads.at(i) : QFileInfo(path).canonicalFilePath());
            if (i > 0 && loads.at(i) == loads.at(i - 1))
                QVERIFY(set->files.heldBytes() <= held);   // no copy beside the first
            held = set->files.heldBytes();
            for (int f = 0; f < 3 && handOut; ++f)
                QVERIFY(rm.getResource(QStringLiteral("%1%2.bin").arg(skin).arg(f), data, size, source));
            if (!skin.contains("large")) {
                // Another skin adds its files under keys not held yet: the first skin's stays.
                const QColor colour(forged.isEmpty() ? skin : QStringLiteral("red"));
                if (shown)
                    QCOMPARE(shown->pixelColor(1, 1), colour);   // decoded again in place
                const QImage* image = rm.getImage("images/a.png", false);
                QCOMPARE(image ? image->pixelColor(1, 1) : QColor(), colour);
                QCOMPARE(image, shown ? shown : image);
                shown = image;
            }
        }
        QCOMPARE(set->styleFiles.size(), skins.size());
    }

    void skinReloadKeepsWhatHoldersShow_data()
    {
        QTest::addColumn<QStringList>("holders");
        QTest::addColumn<QString>("event");
        const QString reload = "skin loaded again";
        QTest::newRow("image control by name") << QStringList("control path") << reload;
        QTest::newRow("image control given the image") << QStringList("control image") << reload;
        QTest::newRow("image control, tinted SVG") << QStringList("control svg") << reload;
        QTest::newRow("grey image kept") << QStringList("grey") << reload;
        QTest::newRow("renderer kept") << QStringList("renderer") << reload;
        QTest::newRow("bytes handed out") << QStringList("bytes") << reload;
        // Pointers kept as they are come before the controls that ask for the same names,
        // the control given the image before the one naming it.
        const QStringList every{ "grey",         "renderer",    "bytes", "control image",
                                 "control path", "control svg", "page",  "menu" };
        QTest::newRow("every holder, after eviction") << every << "eviction";
        QTest::newRow("every holder, after eviction, the project set holding the same names")
            << every << "eviction, project";
        QTest::newRow("every holder, after an edit on disk") << every << "edit";
        QTest::newRow("every holder, after an edit on disk and eviction") << every << "edit, eviction";
        QTest::newRow("every holder, after a change through the pointer") << every << "change";
        QTest::newRow("every holder, after a change through the pointer and eviction") << every << "change, eviction";
    }
    // What a holder took from the default set (an image control by name or given the
    // image, a tinted SVG, a grey image or a renderer kept, bytes handed out, a page and
    // a menu opened by name) stays valid (ASan checks every pointer kept) and shows:
    // - after the same skin is loaded again with its files changed, the new files, bytes
    //   handed out what they held;
    // - after eviction, what it showed (a pointer kept as it is is empty until its name
    //   is asked for again, which gives the same object back), decoded again from the
    //   file it came from, whatever another set holds under the same name;
    // - after the skin's file is rewritten on disk, what it showed, pages and menus
    //   included; once evicted, images are missing rather than read from the new file;
    // - after a change through the pointer getImage or getSvgRenderer handed out, the
    //   change, evicted or not (the grey look is an image of its own).
    void skinReloadKeepsWhatHoldersShow()
    {
        QFETCH(QStringList, holders);
        QFETCH(QString, event);
        VYRQResourceManager* rm = VYRQResourceManager::getInstance();
        QTemporaryDir tmp;
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(QRegularExpression("\\W"), "_");
        const QString png = "images/" + tag + ".png", svg = "images/" + tag + ".svg";
        const QString handed = "images/" + tag + "_handed.png";   // a file of its own, for the bytes holder
        const QString page = "page_" + tag, menu = "menu_" + tag;
        const auto svgWide = [](int width) {
            return svgOf("<rect width='" + QByteArray::number(width) + "' height='16' fill='red'/>");
        };
        // The skin, or a project folder under `folder`: red, or blue with the SVG's
        // rectangle no longer reaching x = 6.
        const auto files = [&](const QColor& colour) {
            QImage image(8, 8, QImage::Format_ARGB32);
            image.fill(colour);
            const QByteArray name = colour.name().toUtf8();
            return QList<TestZipItem>{ zipItem("style.json", minimalStyle), zipItem(png.toUtf8(), pngOf(image)),
                                       zipItem(handed.toUtf8(), pngOf(image)),
                                       zipItem(svg.toUtf8(), svgWide(colour == Qt::red ? 16 : 4)),
                                       zipItem(page.toUtf8() + ".json",
                                               "{\"elements\": [{\"type\": \"qtcontainer\", \"name\": \"" + name + "\"}]}"),
                                       zipItem(menu.toUtf8() + ".json", "{\"items\": [{\"text\": \"" + name + "\"}]}") };
        };
        const QString zip = tmp.filePath("skin.zip");
        QVERIFY(writeTestZip(zip, files(Qt::red)));
        QVERIFY(rm->loadSkinFile(zip));

        struct Holder {
            QString kind;
            std::unique_ptr<VYRQImage> control;
            const QImage* image = nullptr;
            QSvgRenderer* renderer = nullptr;
            const char* data = nullptr;
            unsigned int size = 0;
        };
        std::vector<Holder> taken;
        for (const QString& kind : holders) {
            Holder holder{ kind, std::make_unique<VYRQImage>() };
            holder.control->resize(16, 16);
            if (kind == "control path") {
                holder.control->setImagePath(png);
            } else if (kind == "control image") {
                holder.control->setImage(rm->getImage(png, false));
            } else if (kind == "control svg") {
                holder.control->setSvgPath(svg);
                holder.control->setSvgColor(Qt::green);
                holder.control->setUseSvgColor(true);
            } else if (kind == "grey") {
                holder.image = rm->getImage(png, true);
            } else if (kind == "renderer") {
                holder.renderer = rm->getSvgRenderer(svg);
            } else if (kind == "bytes") {
                QVERIFY(rm->getResource(handed, holder.data, holder.size, source));
            }
            taken.push_back(std::move(holder));
        }
        // What a holder shows: the colour at (6, 4) of its image or of what it paints
        // there; the name of the page or the text of the menu opened now.
        QWidget host;
        const auto shown = [&](const Holder& holder) -> QString {
            if (holder.kind == "page") {
                const std::unique_ptr<VYRQContainer> opened(vyrCreatePageByFileName(&host, page));
                return opened ? opened->objectName() : QStringLiteral("not found");
            }
            if (holder.kind == "menu") {
                const std::unique_ptr<VYRQMenu> opened(vyrCreateMenuByFileName(&host, menu));
                return opened && !opened->actions().isEmpty() ? opened->actions().first()->text()
                                                              : QStringLiteral("not found");
            }
            if (holder.image)
                return holder.image->isNull() ? QStringLiteral("empty") : holder.image->pixelColor(6, 4).name(QColor::HexArgb);
            if (holder.data) {
                const QImage image = QImage::fromData(QByteArray::fromRawData(holder.data, int(holder.size)));
                return image.pixelColor(6, 4).name(QColor::HexArgb);
            }
            QImage out(16, 16, QImage::Format_ARGB32_Premultiplied);
            out.fill(Qt::transparent);
            if (holder.renderer) {
                QPainter painter(&out);
                holder.renderer->render(&painter);
            } else {
                holder.control->render(&out, QPoint(), QRegion(), QWidget::DrawChildren);
            }
            return out.pixelColor(6, 4).name(QColor::HexArgb);
        };
        QStringList before, after;
        for (const Holder& holder : taken)
            before << holder.kind + ": " + shown(holder);

        const auto evict = [&] {
            VYRQDecodedCache::Budget& budget = rm->getDefaultManagerImpl()->decoded.budget();
            budget.makeRoom(budget.bound());
        };
        if (event == reloadEvent()) {
            QVERIFY(writeTestZip(zip, files(Qt::blue)));
            QVERIFY(rm->loadSkinFile(zip));
        } else if (event.startsWith("edit")) {
            QVERIFY(writeTestZip(zip, files(Qt::blue)));
        } else if (event.startsWith("change")) {
            rm->getImage(png, false)->fill(Qt::blue);
            QVERIFY(rm->getSvgRenderer(svg)->load(svgWide(4)));
        } else if (event.endsWith("project")) {
            QVERIFY(QDir(tmp.path()).mkpath("project/images"));
            for (const TestZipItem& item : files(Qt::blue))
                QVERIFY(writeFile(tmp.filePath("project/" + QString::fromUtf8(item.name)), item.data));
            QVERIFY(rm->setProjectDirPath(tmp.filePath("project")));
        }
        if (event.contains("eviction"))
            evict();
        for (const Holder& holder : taken)
            after << holder.kind + ": " + shown(holder);
        if (event.endsWith("project"))
            rm->setProjectDirPath(QString());   // no project set from here on

        const auto grey = [](const QColor& colour) {
            QImage image(8, 8, QImage::Format_ARGB32);
            image.fill(colour);
            return QIcon(QPixmap::fromImage(image)).pixmap(image.size(), QIcon::Disabled).toImage().pixelColor(6, 4);
        };
        const QString red = QColor(Qt::red).name(QColor::HexArgb), blue = QColor(Qt::blue).name(QColor::HexArgb);
        const QString green = QColor(Qt::green).name(QColor::HexArgb), none = QColor(Qt::transparent).name(QColor::HexArgb);
        const QString greyRed = grey(Qt::red).name(QColor::HexArgb), greyBlue = grey(Qt::blue).name(QColor::HexArgb);
        const QString pageRed = QColor(Qt::red).name(), pageBlue = QColor(Qt::blue).name();
        // Per event, what each holder shows after it, in the order of `every`.
        const QHash<QString, QStringList> expected{
            { "first", { greyRed, red, red, red, red, green, pageRed, pageRed } },
            { reloadEvent(), { greyBlue, none, red, blue, blue, none, pageBlue, pageBlue } },
            { "eviction", { "empty", none, red, red, red, green, pageRed, pageRed } },
            { "eviction, project", { "empty", none, red, red, red, green, pageBlue, pageBlue } },
            { "edit", { greyRed, red, red, red, red, green, pageRed, pageRed } },
            { "edit, eviction", { "empty", none, red, none, none, none, pageRed, pageRed } },
            { "change", { greyRed, none, red, blue, blue, none, pageRed, pageRed } },
            { "change, eviction", { "empty", none, red, blue, blue, none, pageRed, pageRed } } };
        const QStringList every{ "grey",         "renderer",    "bytes", "control image",
                                 "control path", "control svg", "page",  "menu" };
        const auto expect = [&](const QString& which) {
            QStringList out;
            for (const Holder& holder : taken)
                out << holder.kind + ": " + expected.value(which).value(every.indexOf(holder.kind));
            return out;
        };
        QCOMPARE(before, expect("first"));
        QCOMPARE(after, expect(event));
        // Asked for again by name: the object a holder keeps, decoded again when its file
        // still gives it.
        const bool gone = event == "edit, eviction";
        for (const Holder& holder : taken) {
            if (holder.kind == "control image")
                QCOMPARE(rm->getImage(png, false), gone ? nullptr : holder.control->getImage());
            if (holder.image)
                QCOMPARE(rm->getImage(png, true), gone ? nullptr : holder.image);
            // Made again from the file, not from the plain image changed meanwhile.
            if (holder.image && (event.startsWith("eviction") || event == "change, eviction"))
                QCOMPARE(shown(holder), greyRed);
            if (holder.renderer)
                QCOMPARE(rm->getSvgRenderer(svg), gone ? nullptr : holder.renderer);
            if (holder.renderer && event.startsWith("eviction"))
                QCOMPARE(shown(holder), red);
            if (holder.data && event == reloadEvent()) {
                const char* now = nullptr;
                QVERIFY(rm->getResource(handed, now, size, source));
                QCOMPARE(QImage::fromData(QByteArray::fromRawData(now, int(size))).pixelColor(6, 4), QColor(Qt::blue));
            }
        }
    }

    void repeatedSkinLoadsStayBounded_data()
    {
        QTest::addColumn<bool>("inMemory");
        QTest::newRow("a skin file with a 2 MiB page, opened after each load") << false;
        QTest::newRow("the same 1 MiB skin from memory") << true;
    }
    // 300 loads of the same skin all succeed within 200 MiB: a page is kept once, with
    // its entry, which keeps its bytes while it does not change, and the same bytes from
    // memory replace what they added.
    void repeatedSkinLoadsStayBounded()
    {
        QFETCH(bool, inMemory);
        VYRQResourceManager* rm = VYRQResourceManager::getInstance();
        QTemporaryDir tmp;
        // Padded with blanks: the style file of the skin from memory, the page of the other.
        const QByteArray padding(inMemory ? 1 << 20 : 2 << 20, ' ');
        const QByteArray name = inMemory ? "memory" : "paged";
        QByteArray style = "{\"style\": [{\"type\": 1, \"name\": \"" + name + "\"}]}";
        QByteArray page = R"({"elements": [{"type": "qtcontainer", "name": "page"}]})";
        (inMemory ? style : page) += padding;
        const QString zip = tmp.filePath(name + ".zip");
        QVERIFY(writeTestZip(zip, { zipItem("style.json", style), zipItem(name + ".json", page) }));
        const QByteArray bytes = readTestFile(zip);
        QWidget host;
        int loaded = 0, opened = 0;
        const PeakMemory memory;
        for (int round = 0; round < 300; ++round) {
            loaded += inMemory ? rm->loadSkinFile(bytes.constData(), bytes.size()) : rm->loadSkinFile(zip);
            if (!inMemory) {
                const std::unique_ptr<VYRQContainer> shown(vyrCreatePageByFileName(&host, QString::fromLatin1(name)));
                opened += shown != nullptr;
            }
            releaseFreed();
        }
        const qint64 grown = memory.growthMb();
        QCOMPARE(loaded, 300);
        QCOMPARE(opened, inMemory ? 0 : 300);
        if (grown < 0)
            QSKIP("the peak memory cannot be read here");
        QVERIFY2(grown < 200, qPrintable(QStringLiteral("%1 MiB").arg(grown)));
    }

    void failedDecodeTriedAgainOnceItsFileChanges_data()
    {
        QTest::addColumn<QString>("where");   // "beside" (a path of its own), "theme" (a folder's file), "skin"
        QTest::addColumn<QString>("name");
        // "partial" (being written), "too large" (refused, warned), "missing", or "no room"
        // (decoded, but images changed through their pointers fill the budget)
        QTest::addColumn<QString>("first");
        QTest::addColumn<bool>("rewritten");  // whole, after the first look-up (a skin is loaded again)
        QTest::addColumn<bool>("shown");      // at the next look-up
        QTest::newRow("image file, written whole since") << "beside" << "later.png" << "partial" << true << true;
        QTest::newRow("SVG file, written whole since") << "beside" << "later.svg" << "partial" << true << true;
        QTest::newRow("image file, unchanged") << "beside" << "later.png" << "too large" << false << false;
        QTest::newRow("image file, written whole before the refusal was noted")
            << "beside" << "later.png" << "too large, written whole meanwhile" << false << true;
        QTest::newRow("theme image, rewritten since") << "theme" << "images/later.png" << "partial" << true << false;
        QTest::newRow("skin image, mended and loaded again")
            << "skin" << "images/later.png" << "partial" << true << true;
        // Found nowhere: looked for again once a set or its files change, not on every
        // look-up.
        QTest::newRow("image file, missing, written since") << "beside" << "later.png" << "missing" << true << false;
        QTest::newRow("skin image, missing, added and loaded again")
            << "skin" << "images/later.png" << "missing" << true << true;
        QTest::newRow("SVG file, missing") << "beside" << "later.svg" << "missing" << false << false;
        // Tried again once room was given back.
        QTest::newRow("theme image, no room") << "theme" << "images/later.png" << "no room" << false << true;
        QTest::newRow("theme SVG, no room") << "theme" << "images/later.svg" << "no room" << false << true;
    }
    // A name that gave nothing is tried again at the next look-up once its file changed:
    // a file of its own by its size or modification time as the read found them (one
    // finished between the read and the refusal being noted is tried again), a skin's
    // entry by its size and CRC. Unchanged it is not decoded again (a refusal is warned
    // about once); a loaded folder's file stays as it was first read, so one rewritten
    // since stays missing. Asked for again meanwhile, nothing is read; a name found
    // nowhere is looked for again once a set changes, not on disk at each look-up; a
    // decode refused for room once an image pinned in the budget gave room back.
    void failedDecodeTriedAgainOnceItsFileChanges()
    {
        QFETCH(QString, where);
        QFETCH(QString, name);
        QFETCH(QString, first);
        QFETCH(bool, rewritten);
        QFETCH(bool, shown);
        const bool isSvg = name.endsWith(".svg");
        const QByteArray whole = isSvg ? svgOf(R"(<rect width="16" height="16" fill="red"/>)") : redImage(5, 3);
        const QByteArray start = first == "partial" ? whole.left(whole.size() / 2)
            : first == "no room"                    ? whole
                                                    : blankPng(8192, 8192);
        const bool missing = first == "missing";
        const bool meanwhile = first.endsWith("meanwhile");
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkpath("images"));
        QVERIFY(writeFile(tmp.filePath("style.json"), minimalStyle));
        const QString zip = tmp.filePath("skin.zip");
        const auto put = [&](const QByteArray& bytes) {
            if (where == "skin" && bytes.isNull())
                return writeTestZip(zip, { zipItem("style.json", minimalStyle) });
            if (where == "skin")
                return writeTestZip(zip, { zipItem("style.json", minimalStyle), zipItem(name.toUtf8(), bytes) });
            return bytes.isNull() || writeFile(tmp.filePath(name), bytes);
        };
        Probe rm;
        const QString asked = where == "beside" ? tmp.filePath(name) : name;
        const auto lookUp = [&] { return isSvg ? bool(rm.getSvgRenderer(asked)) : bool(rm.getImage(asked, false)); };
        QVERIFY(put(missing ? QByteArray() : start));
        QVERIFY(where != "theme" || rm.loadThemeDir(tmp.path()));
        QVERIFY(where != "skin" || rm.loadSkinFile(zip));
        // An image of the whole budget, changed through its pointer: it cannot be emptied.
        VYRQDecodedCache& pinned = rm.getDefaultManagerImpl()->decoded;
        if (first == "no room") {
            QImage* image = pinned.storeImage("pinned", QImage(8192, 8192, QImage::Format_ARGB32));
            QVERIFY(image);
            image->fill(Qt::blue);
        }
        WarningCapture warnings;
        {
            // The refusal is warned about after the read and before it is noted.
            const OnWarning finish("later", [&] {
                if (meanwhile)
                    put(whole);
            });
            QVERIFY(!lookUp());
        }
        const int decodes = vyr::resourceDecodes(), probes = vyr::resourceFileProbes();
        QVERIFY(meanwhile || !lookUp());
        // Asked for again, unchanged: nothing is read, and what was not found is not
        // looked for on disk.
        QCOMPARE(vyr::resourceDecodes() - decodes, 0);
        if (missing)
            QCOMPARE(vyr::resourceFileProbes() - probes, 0);
        if (first == "no room")
            pinned.storeImage("pinned", QImage(1, 1, QImage::Format_ARGB32));
        if (rewritten) {
            QVERIFY(put(whole));
            QVERIFY(where != "skin" || rm.loadSkinFile(zip));
        }
        QCOMPARE(lookUp(), shown);
        QCOMPARE(warnings.count("later"), first.startsWith("too large") || first == "no room" ? 1 : 0);
        if (missing) {
            QVERIFY(rm.loadThemeDir(tmp.path()));
            QCOMPARE(lookUp(), rewritten);
        }
    }

    void fifoInPlaceOfAFile_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("theme image") << "image";
        QTest::newRow("theme image, by a link") << "link";
        QTest::newRow("theme zip") << "zip";
        QTest::newRow("skin language file") << "language";
    }
    // A file replaced by a FIFO after its folder was listed is refused, at once, when it
    // is opened; so is a FIFO named as a theme zip or as a skin's language file.
    void fifoInPlaceOfAFile()
    {
        QFETCH(QString, what);
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkpath("images"));
        QVERIFY(writeFile(tmp.filePath("style.json"), minimalStyle));
        const QString image = tmp.filePath("images/a.png");
        QVERIFY(writeFile(image, redImage(5, 3)));
        const QString fifo = tmp.filePath("fifo");
        const QString language = tmp.filePath("language.txt");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        Probe rm;
        QVERIFY(rm.loadThemeDir(tmp.path()));   // lists images/a.png
        if (what == "image")
            QCOMPARE(::rename(QFile::encodeName(fifo).constData(), QFile::encodeName(image).constData()), 0);
        else if (what == "link")
            QVERIFY(QFile::remove(image) && QFile::link(fifo, image));
        else if (what == "language")
            QCOMPARE(::rename(QFile::encodeName(fifo).constData(), QFile::encodeName(language).constData()), 0);

        WarningCapture warnings;
        const CpuTimer timer;
        {
            const specialfiles::FifoWriter unblock({ fifo, image, language }, 3000);
            if (what == "zip")
                QVERIFY(!rm.loadThemeFile(fifo));
            else if (what == "language")
                QVERIFY(rm.setSkinDirPath(tmp.path()));
            else
                QVERIFY(!rm.getImage("images/a.png", false));
            QCOMPARE(unblock.readersFound(), 0);   // refused without waiting for a writer
        }
        VERIFY_CPU_BELOW(timer, 2000);
        if (what != "zip")
            QCOMPARE(warnings.count(what == "language" ? QStringLiteral("language.txt") : QStringLiteral("a.png")), 1);
    }

    // The decoded images stay within 256 MiB together: a fifth 64 MiB image (each of its
    // own colour) pushes out the least recently used, which decodes again when asked for,
    // into the image a caller still holds (emptied meanwhile, never freed).
    void imageCacheStaysBounded()
    {
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkpath("images"));
        QVERIFY(writeFile(tmp.filePath("style.json"), minimalStyle));
        constexpr int count = 5;
        const auto colour = [](int i) { return QColor(40 * i, 255 - 40 * i, 7); };
        for (int i = 0; i < count; ++i) {
            QImage image(4096, 4096, QImage::Format_RGB32);
            image.fill(colour(i));
            QVERIFY(image.save(tmp.filePath(QStringLiteral("images/%1.png").arg(i))));
        }
        constexpr qint64 bound = 256ll * 1024 * 1024;
        Probe rm;
        QVERIFY(rm.loadThemeDir(tmp.path()));
        const VYRQResourceManagerImpl* theme = rm.getThemeManagerImpl();
        const auto name = [](int i) { return QStringLiteral("images/%1.png").arg(i); };
        const QImage* held = nullptr;
        for (int i = 0; i < count; ++i) {
            QVERIFY(rm.getImage(name(i), false));
            if (i == 1)
                held = rm.getImage(name(1), false);
            if (i == 1)
                QVERIFY(rm.getImage(name(0), false));   // 0 is now used more recently than 1
            QVERIFY2(theme->decoded.bytes() <= bound, qPrintable(QString::number(theme->decoded.bytes())));
        }
        QVERIFY(imageLoaded(theme, name(0)) && !imageLoaded(theme, name(1)));
        QVERIFY(imageLoaded(theme, name(count - 1)));
        QVERIFY(held->isNull());
        const QImage* again = rm.getImage(name(1), false);
        QCOMPARE(again, held);
        QCOMPARE(again->size(), QSize(4096, 4096));
        QCOMPARE(again->pixelColor(4000, 4000), colour(1));
        QVERIFY(theme->decoded.bytes() <= bound);
    }

    // A folder's files are read when first looked up, within a zip's limits: a file
    // beyond the per-file cap (sparse: no disk is used) is refused with a warning and
    // costs nothing; the files read stay within the archive total; an oversized
    // style.json refuses the theme without being read.
    void folderFilesWithinLimits()
    {
        QTemporaryDir tmp;
        QVERIFY(writeFile(tmp.filePath("style.json"), minimalStyle));
        QVERIFY(writeFile(tmp.filePath("small.txt"), "small"));
        QVERIFY(sparseFile(tmp.filePath("big.bin"), 1ll << 30));
        for (int i = 0; i < 4; ++i)
            QVERIFY(sparseFile(tmp.filePath(QStringLiteral("cap%1.bin").arg(i)), ZipMaxEntrySize));
        Probe rm;
        QVERIFY(rm.loadThemeDir(tmp.path()));
        QCOMPARE(rm.getThemeManagerImpl()->files.heldBytes(), qint64(minimalStyle.size()));   // nothing used yet
        QVERIFY(rm.getResource("SMALL.txt", data, size, source));
        QCOMPARE(QByteArray(data, int(size)), QByteArray("small"));
        {
            WarningCapture warnings;
            QVERIFY(!rm.getResource("big.bin", data, size, source));
            QVERIFY(!rm.getResource("big.bin", data, size, source));
            QCOMPARE(warnings.count(QStringLiteral("big.bin")), 1);
        }
        // style.json and small.txt leave room for three files at the cap, not four.
        for (int i = 0; i < 3; ++i) {
            QVERIFY(rm.getResource(QStringLiteral("cap%1.bin").arg(i), data, size, source));
            QCOMPARE(size, ZipMaxEntrySize);
        }
        {
            WarningCapture warnings;
            QVERIFY(!rm.getResource("cap3.bin", data, size, source));
            QCOMPARE(warnings.count(QStringLiteral("cap3.bin")), 1);
        }

        QTemporaryDir huge;
        QVERIFY(sparseFile(huge.filePath("style.json"), 1ll << 30));
        WarningCapture warnings;
        const CpuTimer timer;
        QVERIFY(!rm.loadThemeDir(huge.path()));
        QCOMPARE(warnings.count(QStringLiteral("style.json")), 1);
        VERIFY_CPU_BELOW(timer, 1000);
    }

    // A style file that defines the same names again replaces them in place, and
    // loads in linear time: when each redefinition moved the rest of the table,
    // 50,000 names twice took half a minute.
    void redefinedStylesStoreInLinearTime()
    {
        constexpr int count = 30000;
        QStringList names;
        names.reserve(count);
        for (int i = 0; i < count; ++i)
            names << QString::number(i);
        VYRQResourceManagerImpl set;
        FillStyle fill;
        TextStyleDesc text;
        const CpuTimer timer;
        for (int round = 0; round < 2; ++round) {
            fill.fill.round = round;
            text.size = 10 + round;
            for (const QString& name : names) {
                set.storeFillStyle(name, fill);
                set.storeTextStyle(name, text);
            }
        }
        VERIFY_CPU_BELOW(timer, 2000);
        QCOMPARE(set.fillStyles.size(), count);
        QCOMPARE(set.textStyles.size(), count);
        QCOMPARE(set.findFillStyle("7")->fill.round, 1);   // the later definition
        QCOMPARE(set.findTextStyle("9")->size, 11);
        QCOMPARE(set.findFillStyle("7"), &set.fillStyles.at(7));   // in first-appearance order
    }

    void releaseResKeepsBuiltIns()
    {
        Probe rm;
        rm.initDefaultImageRes();
        const VYRQResourceManagerImpl* set = rm.getDefaultManagerImpl();
        QCOMPARE(cachedImages(set), 4);
        QVERIFY(rm.setSkinDirPath(dataPath("theme-basic")));
        QVERIFY(rm.getImage("dot.png", false));
        QVERIFY(rm.loadThemeDir(dataPath("theme-basic")));
        QVERIFY(rm.getImage("images/logo.png", false));
        // Only the built-in names stay, not every name holding theirs.
        QVERIFY(rm.getDefaultManagerImpl()->decoded.storeImage("images/fooIDB_x.png", QImage(1, 1, QImage::Format_RGB32)));
        rm.releaseRes();
        QCOMPARE(cachedImages(set), 4);
        QVERIFY(imageLoaded(set, "IDB_CHECKED") && imageLoaded(set, "IDB_UNCHECK") && imageLoaded(set, "IDB_SELECTED"));
        const QImage* grey = rm.getImage("IDB_CHECKED", true);   // made from the built-in
        QVERIFY(grey && grey->size() == rm.getImage("IDB_CHECKED", false)->size());
        QVERIFY(set->fillStyles.isEmpty());
        QCOMPARE(cachedImages(rm.getThemeManagerImpl()), 1);   // other sets untouched
    }

    void hostileZips_data()
    {
        QTest::addColumn<QList<TestZipItem>>("items");
        QTest::addColumn<bool>("loads");
        const TestZipItem style = zipItem("style.json", minimalStyle);
        QTest::newRow("size larger than data") << QList<TestZipItem>{ style, lyingZipItem("a.txt", "0123456789", 20, 0) } << true;
        QTest::newRow("bad crc on style.json")
            << QList<TestZipItem>{ lyingZipItem("style.json", minimalStyle, minimalStyle.size(), 0xdeadbeef) } << false;
        QTest::newRow("style.json beyond the cap")
            << QList<TestZipItem>{ lyingZipItem("style.json", minimalStyle, qint64(ZipMaxEntrySize) + 1, 0) } << false;
    }
    // A broken file is left out; a broken style.json refuses the archive, from a file or from memory.
    void hostileZips()
    {
        QFETCH(QList<TestZipItem>, items);
        QFETCH(bool, loads);
        QTemporaryDir tmp;
        const QString zip = tmp.filePath("hostile.zip");
        QVERIFY(writeTestZip(zip, items));
        Probe rm;
        QCOMPARE(rm.loadThemeFile(zip), loads);
        QCOMPARE(rm.getThemeManagerImpl() != nullptr, loads);
        if (loads)
            QCOMPARE(fileKeys(rm.getThemeManagerImpl()), QStringList());
        const QByteArray bytes = readTestFile(zip);
        QCOMPARE(rm.loadSkinFile(bytes.constData(), bytes.size()), loads);
    }

    void languageTable_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("en");   // null: the table is refused
        QTest::addColumn<QString>("zh");
        QTest::newRow("table") << utf16(table) << "ok" << "OK" << QStringLiteral("\u786e\u5b9a");
        QTest::newRow("empty first cell") << utf16(table) << "zhOnly" << "" << "zh";
        QTest::newRow("short line sets the first") << utf16(table) << "enOnly" << "en" << "";
        QTest::newRow("key alone ignored") << utf16(table) << "lonely" << "" << "";
        QTest::newRow("odd byte ignored") << utf16(table) + 'x' << "enOnly" << "en" << "";
        QTest::newRow("byte-order mark") << utf16(QChar(0xfeff) + table) << "ok" << QString() << QString();
        QTest::newRow("bare newlines") << utf16("Language\tEN\nok\tOK\n") << "ok" << QString() << QString();
        QTest::newRow("wrong header") << utf16("language\tEN\r\nok\tOK") << "ok" << QString() << QString();
        QTest::newRow("utf-8 text") << table.toUtf8() << "ok" << QString() << QString();
    }
    void languageTable()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, key);
        QFETCH(QString, en);
        QFETCH(QString, zh);
        Probe rm;
        QCOMPARE(rm.readLanguage(data), !en.isNull());
        if (en.isNull()) {
            QVERIFY(rm.getLanguageList().isEmpty() && rm.getCurrentLanguage().isEmpty());
            return;
        }
        QCOMPARE(rm.getLanguageList(), QStringList({ "EN", "ZH" }));
        QCOMPARE(rm.getString(key), en);
        QVERIFY(rm.setCurrentLanguage("ZH"));
        QCOMPARE(rm.getString(key), zh);
    }

    // Tables add up; the first one chose the language; a change walks the windows, not the designers.
    void languageTablesGrowAndWalkWindows()
    {
        Probe rm;
        WidgetTree window, designer;
        rm.registerWindow(&window.window);
        rm.registerDesignerWindow(&designer.window);
        QVERIFY(rm.readLanguage(utf16("Language\tZH\tEN\r\nok\tzh-ok\ten-ok\r\nold\tzh-old\ten-old")));
        QVERIFY(rm.readLanguage(utf16("Language\tEN\tDE\r\nok\ten-new\tde-ok")));
        QCOMPARE(rm.getCurrentLanguage(), QStringLiteral("ZH"));
        QCOMPARE(rm.getLanguageList(), QStringList({ "DE", "EN", "ZH" }));
        QVERIFY(walkLog.isEmpty());
        QVERIFY(!rm.setCurrentLanguage("FR"));
        QVERIFY(rm.setCurrentLanguage("EN"));
        QCOMPARE(walkLog, QStringList({ "lang:a", "lang:b", "lang:c" }));
        QCOMPARE(rm.getString("ok"), QStringLiteral("en-new"));
        QCOMPARE(rm.getString("old"), QStringLiteral("en-old"));
    }

    // A window deleted while registered drops out of the theme and language walks.
    void deletedWindowLeavesTheWalks()
    {
        Probe rm;
        auto gone = std::make_unique<WidgetTree>();
        WidgetTree live;
        rm.registerWindow(&gone->window);
        rm.registerDesignerWindow(&gone->window);
        rm.registerWindow(&live.window);
        QVERIFY(rm.readLanguage(utf16("Language\tZH\tEN\r\nok\tzh-ok\ten-ok")));
        gone.reset();
        walkLog.clear();
        QVERIFY(rm.themeChange());
        QCOMPARE(walkLog.size(), 3);
        walkLog.clear();
        QVERIFY(rm.setCurrentLanguage("EN"));
        QCOMPARE(walkLog, QStringList({ "lang:a", "lang:b", "lang:c" }));
        QVERIFY(rm.unregisterWindow(&live.window));
    }

    // Last: the process-wide language manager cannot be emptied again once loaded.
    void languageManagerComesFirst()
    {
        Probe rm;
        QVERIFY(rm.readLanguage(utf16("Language\tEN\r\nboth\ttable\r\ntableOnly\tfrom table")));
        QVERIFY(LanguageManager::instance()->loadFromJson(
            R"({"defaultLanguage": "en", "languages": {"en": {"both": "manager"}, "de": {"deOnly": "x"}}})"));
        QCOMPARE(rm.getString("both"), QStringLiteral("manager"));
        QCOMPARE(rm.getString("tableOnly"), QStringLiteral("from table"));
        QVERIFY(rm.getString("deOnly").isEmpty());   // not the current language
        QCOMPARE(rm.getLanguageList(), QStringList({ "de", "en" }));
        QVERIFY(!rm.setCurrentLanguage("EN"));        // the table's names no longer count
        QVERIFY(rm.setCurrentLanguage("de"));
        QCOMPARE(LanguageManager::instance()->currentLanguage(), QStringLiteral("de"));
    }
};

QTEST_MAIN(tst_ResourceManager)
#include "tst_resourcemanager.moc"
