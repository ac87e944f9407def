// A theme of images used the way an application uses one, against a Qt user doing the
// same with the same files:
//   icons     a theme of 4,000 32x32 PNG icons, from a folder and from a zip: load the
//             theme, then ask for each image and its grey look once; against
//             QImageReader decoding each file of the folder, or each entry of the same
//             zip read into memory through minizip, and QIcon's disabled mode greying
//             it. Then a repaint of a page of 400 of them, each drawn by name as a
//             control paints it, against drawing the QPixmaps a Qt user holds;
//   thrash    400 512x512 images, 400 MiB decoded, over the 256 MiB image cache: every
//             repaint decodes every image again; against a QPixmapCache held to the
//             same 256 MiB. And 200 of them, which both caches hold.
// Both sides must hand out images of the same sizes and pixels, decode as many and paint
// the same page, or no ratio is printed.
// Usage: bench_theme_images [icons|thrash]...   (both when none is named)
// Runs offscreen unless QT_QPA_PLATFORM says otherwise; build it as a release build.

#include "BenchRow.h"
#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"
#include "VYRQWidgetBaseImpl.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QTemporaryDir>

#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using benchrow::median;
using benchrow::msSince;

constexpr int iconCount = 4000;
constexpr int pageIcons = 400;       // a page of 20 x 20 icons
constexpr int iconSide = 32;
constexpr int bigCount = 400;
constexpr int bigSide = 512;

QString imageName(int i)
{
    return QStringLiteral("images/i%1.png").arg(i, 4, 10, QLatin1Char('0'));
}

// Every icon differs: a colour of its own and a mark placed by its number.
QImage iconImage(int i)
{
    QImage image(iconSide, iconSide, QImage::Format_ARGB32);
    image.fill(QColor((i * 37) % 256, (i * 91) % 256, (i * 13) % 256, 200 + i % 56));
    QPainter p(&image);
    p.fillRect(i % 24, (i / 24) % 24, 8, 8, QColor(255 - (i % 256), 40, 160));
    return image;
}

// Gradients with a grain, so that the PNG decoder has real work.
QImage bigImage(int i)
{
    QImage image(bigSide, bigSide, QImage::Format_RGB32);
    for (int y = 0; y < bigSide; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bigSide; ++x)
            line[x] = qRgb((x + i) & 255, (y * 3 + i) & 255, ((x ^ y) * 7 + i) & 255);
    }
    return image;
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

const QByteArray styleJson = R"({"style": [{"type": 1, "name": "Plain", "drawImg": false}]})";

// The theme folder `dir` (style.json and images/) and, when `zipPath` is set, the same
// files as a zip.
bool makeTheme(const QString& dir, int count, QImage (*imageOf)(int), const QString& zipPath)
{
    if (!QDir().mkpath(dir + QStringLiteral("/images")) || !writeFile(dir + QStringLiteral("/style.json"), styleJson))
        return false;
    zipFile zf = nullptr;
    if (!zipPath.isEmpty()) {
        zf = zipOpen64(QFile::encodeName(zipPath).constData(), APPEND_STATUS_CREATE);
        if (!zf)
            return false;
    }
    bool ok = true;
    const auto addToZip = [&](const QByteArray& name, const QByteArray& data) {
        zip_fileinfo info = {};
        ok = ok && zipOpenNewFileInZip(zf, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                       Z_DEFAULT_COMPRESSION) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zf, data.constData(), unsigned(data.size())) == ZIP_OK;
        ok = ok && zipCloseFileInZip(zf) == ZIP_OK;
    };
    if (zf)
        addToZip("style.json", styleJson);
    for (int i = 0; i < count && ok; ++i) {
        const QString path = dir + QLatin1Char('/') + imageName(i);
        ok = imageOf(i).save(path, "png");
        if (ok && zf) {
            QFile f(path);
            ok = f.open(QIODevice::ReadOnly);
            addToZip(imageName(i).toUtf8(), f.readAll());
        }
    }
    if (zf)
        ok = zipClose(zf, nullptr) == ZIP_OK && ok;
    return ok;
}

QImage greyOf(const QImage& image)
{
    return QIcon(QPixmap::fromImage(image)).pixmap(image.size(), QIcon::Disabled, QIcon::Off).toImage();
}

// What both sides hand out: the sizes and a checksum of the pixels, plain and grey.
struct Handed {
    int images = 0;
    quint64 sum = 0;
    void add(const QImage* image)
    {
        if (!image || image->isNull())
            return;
        ++images;
        const QImage argb = image->convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); y += 7) {
            const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); x += 5)
                sum = sum * 31 + line[x];
        }
        sum = sum * 31 + quint64(argb.width()) * 65536 + quint64(argb.height());
    }
    bool operator==(const Handed& o) const { return images == o.images && sum == o.sum; }
};

// The page: `count` images of `side` pixels in rows of 20.
QImage pageCanvas(int count, int side)
{
    QImage page(20 * side, ((count + 19) / 20) * side, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::white);
    return page;
}

QRect cell(int i, int side)
{
    return QRect((i % 20) * side, (i / 20) * side, side, side);
}

// A repaint of the page as controls paint it: each image asked for by the name the
// control holds.
void paintOurs(QImage& page, const QStringList& names, int side)
{
    page.fill(Qt::white);
    QPainter painter(&page);
    IconStyleDesc style;
    for (int i = 0; i < names.size(); ++i)
        VYRQWidgetBaseImpl::drawImage(&painter, names.at(i), style, cell(i, side), false);
}

void paintQt(QImage& page, const std::vector<QPixmap>& pixmaps, int side)
{
    page.fill(Qt::white);
    QPainter painter(&page);
    for (size_t i = 0; i < pixmaps.size(); ++i)
        painter.drawPixmap(cell(int(i), side).topLeft(), pixmaps[i]);
}

struct IconRun {
    double allMs = 0;
    double repaintMs = 0;
    Handed handed;
    QImage page;
};

// 15 repaints of the page; the first, which makes what the later ones reuse, is
// counted with them only through the median.
template <class Paint>
double repaintMs(QImage& page, const Paint& paint)
{
    page = pageCanvas(pageIcons, iconSide);
    std::vector<double> repaints;
    QElapsedTimer timer;
    for (int round = 0; round < 15; ++round) {
        timer.start();
        paint(page);
        repaints.push_back(msSince(timer));
    }
    return median(repaints);
}

IconRun oursIcons(VYRQResourceManager* rm, const QString& dir, const QString& zip)
{
    IconRun run;
    // The theme an earlier run loaded goes first, untimed, as the Qt side's images go
    // after its timing; with none loaded the folder is read again.
    rm->loadThemeFile(QString());
    QElapsedTimer timer;
    timer.start();
    if (!(zip.isEmpty() ? rm->loadThemeDir(dir) : rm->loadThemeFile(zip)))
        return run;
    for (int i = 0; i < iconCount; ++i) {
        run.handed.add(rm->getImage(imageName(i), false));
        run.handed.add(rm->getImage(imageName(i), true));
    }
    run.allMs = msSince(timer);
    QStringList names;
    for (int i = 0; i < pageIcons; ++i)
        names << imageName(i);
    run.repaintMs = repaintMs(run.page, [&names](QImage& page) { paintOurs(page, names, iconSide); });
    return run;
}

// A Qt user's theme: each image decoded and greyed as it is read, held as it was
// decoded. `plain` keeps the images for the page.
void takeIcon(QImage image, IconRun& run, std::vector<QImage>& plain, std::vector<QImage>& grey)
{
    plain.push_back(std::move(image));
    grey.push_back(greyOf(plain.back()));
    run.handed.add(&plain.back());
    run.handed.add(&grey.back());
}

// The page's images as the QPixmaps a Qt user draws, made before the repaints (ours
// makes its drawing form on the first repaint).
double repaintPixmapsMs(IconRun& run, const std::vector<QImage>& plain)
{
    std::vector<QPixmap> shown;
    for (size_t i = 0; i < plain.size() && i < size_t(pageIcons); ++i)
        shown.push_back(QPixmap::fromImage(plain[i]));
    return repaintMs(run.page, [&](QImage& page) { paintQt(page, shown, iconSide); });
}

IconRun qtFolderIcons(const QString& dir)
{
    IconRun run;
    QElapsedTimer timer;
    timer.start();
    const QStringList files = QDir(dir + QStringLiteral("/images")).entryList(QDir::Files, QDir::Name);
    std::vector<QImage> plain, grey;
    plain.reserve(size_t(files.size()));
    grey.reserve(size_t(files.size()));
    for (const QString& file : files)
        takeIcon(QImageReader(dir + QStringLiteral("/images/") + file).read(), run, plain, grey);
    run.allMs = msSince(timer);
    run.repaintMs = repaintPixmapsMs(run, plain);
    return run;
}

// The same theme read from its zip through minizip: every entry walked and read into
// memory (minizip checks each entry's CRC as it closes it), the images decoded from
// there.
IconRun qtZipIcons(const QString& zip)
{
    IconRun run;
    QElapsedTimer timer;
    timer.start();
    unzFile uf = unzOpen64(QFile::encodeName(zip).constData());
    if (!uf)
        return run;
    std::vector<QImage> plain, grey;
    plain.reserve(size_t(iconCount));
    grey.reserve(size_t(iconCount));
    bool ok = true;
    for (int rc = unzGoToFirstFile(uf); rc == UNZ_OK && ok; rc = unzGoToNextFile(uf)) {
        unz_file_info64 info;
        char name[1024];
        ok = unzGetCurrentFileInfo64(uf, &info, name, sizeof name, nullptr, 0, nullptr, 0) == UNZ_OK;
        QByteArray bytes(int(info.uncompressed_size), Qt::Uninitialized);
        ok = ok && unzOpenCurrentFile(uf) == UNZ_OK;
        ok = ok && unzReadCurrentFile(uf, bytes.data(), unsigned(bytes.size())) == bytes.size();
        ok = unzCloseCurrentFile(uf) == UNZ_OK && ok;
        if (!ok || !QByteArray(name).startsWith("images/"))
            continue;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        takeIcon(QImageReader(&buffer).read(), run, plain, grey);
    }
    unzClose(uf);
    run.allMs = msSince(timer);
    if (!ok)
        run.handed = Handed();
    run.repaintMs = repaintPixmapsMs(run, plain);
    return run;
}

double medianOf(const std::vector<IconRun>& runs, double IconRun::*figure)
{
    std::vector<double> v;
    for (const IconRun& r : runs)
        v.push_back(r.*figure);
    return median(v);
}

void benchIcons(const QString& root)
{
    const QString dir = root + QStringLiteral("/icons");
    const QString zip = root + QStringLiteral("/icons.zip");
    if (!makeTheme(dir, iconCount, iconImage, zip)) {
        std::printf("cannot write the icon theme\n");
        return;
    }
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    std::vector<IconRun> folder, archive, qtFolder, qtZip;
    for (int round = 0; round < 3; ++round) {
        qtFolder.push_back(qtFolderIcons(dir));
        qtZip.push_back(qtZipIcons(zip));
        folder.push_back(oursIcons(rm, dir, QString()));
        archive.push_back(oursIcons(rm, dir, zip));
    }
    const IconRun& q = qtFolder.back();
    const bool sameFolder = folder.back().handed == q.handed && q.handed.images == 2 * iconCount;
    const bool sameZip = archive.back().handed == q.handed && qtZip.back().handed == q.handed;
    benchrow::print("4,000 icons + grey, folder theme", medianOf(folder, &IconRun::allMs),
                    medianOf(qtFolder, &IconRun::allMs), "ms", sameFolder);
    benchrow::print("4,000 icons + grey, zip theme", medianOf(archive, &IconRun::allMs),
                    medianOf(qtZip, &IconRun::allMs), "ms", sameZip);
    benchrow::print("repaint 400 icons, folder theme", medianOf(folder, &IconRun::repaintMs),
                    medianOf(qtFolder, &IconRun::repaintMs), "ms", sameFolder && folder.back().page == q.page);
    benchrow::print("repaint 400 icons, zip theme", medianOf(archive, &IconRun::repaintMs),
                    medianOf(qtZip, &IconRun::repaintMs), "ms",
                    sameZip && archive.back().page == qtZip.back().page && q.page == qtZip.back().page);
}

// A repaint of `count` of the large images, each into a cell an eighth of its side,
// `rounds` times; the figure is the median of the rounds after the first, which fills
// the caches. Ours asks the resource manager for each image by name; Qt's side keeps
// QPixmaps in a QPixmapCache held to the same bound, reading a file that is not there.
struct ThrashRun {
    double oursMs = 0;
    double qtMs = 0;
    int oursDecodes = 0;   // after the first round
    int qtDecodes = 0;
    bool samePages = true;
};

ThrashRun thrash(VYRQResourceManager* rm, const QString& dir, int count, int rounds)
{
    ThrashRun run;
    QPixmapCache::clear();
    QPixmapCache::setCacheLimit(int(VYRQDecodedCache::defaultBound / 1024));
    const VYRQFileStore& files = rm->getThemeManagerImpl()->files;
    const int side = bigSide / 8;
    QImage ours = pageCanvas(count, side);
    QImage qt = ours;
    std::vector<double> oursMs, qtMs;
    QElapsedTimer timer;
    for (int round = 0; round < rounds; ++round) {
        const int rereads = files.rereads();
        timer.start();
        ours.fill(Qt::white);
        {
            QPainter painter(&ours);
            for (int i = 0; i < count; ++i) {
                if (const QImage* image = rm->getImage(imageName(i), false))
                    painter.drawImage(cell(i, side), *image);
            }
        }
        oursMs.push_back(msSince(timer));
        int decodes = 0;
        timer.restart();
        qt.fill(Qt::white);
        {
            QPainter painter(&qt);
            for (int i = 0; i < count; ++i) {
                const QString name = imageName(i);
                QPixmap pixmap;
                if (!QPixmapCache::find(name, &pixmap)) {
                    pixmap = QPixmap::fromImage(QImageReader(dir + QLatin1Char('/') + name).read());
                    QPixmapCache::insert(name, pixmap);
                    ++decodes;
                }
                painter.drawPixmap(cell(i, side), pixmap);
            }
        }
        qtMs.push_back(msSince(timer));
        run.samePages = run.samePages && ours == qt;
        if (round > 0) {
            run.oursDecodes += files.rereads() - rereads;
            run.qtDecodes += decodes;
        }
    }
    oursMs.erase(oursMs.begin());
    qtMs.erase(qtMs.begin());
    run.oursMs = median(oursMs);
    run.qtMs = median(qtMs);
    return run;
}

void benchThrash(const QString& root)
{
    const QString dir = root + QStringLiteral("/big");
    if (!makeTheme(dir, bigCount, bigImage, QString())) {
        std::printf("cannot write the large-image theme\n");
        return;
    }
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    for (int count : { bigCount, bigCount / 2 }) {
        // A new set each time, with nothing decoded yet: the folder is loaded again only
        // once no theme is loaded.
        rm->loadThemeFile(QString());
        if (!rm->loadThemeDir(dir)) {
            std::printf("cannot load the large-image theme\n");
            return;
        }
        const ThrashRun run = thrash(rm, dir, count, 4);
        char name[64];
        std::snprintf(name, sizeof name, "repaint %d x 512x512, %d MiB", count, count);
        char note[64];
        std::snprintf(note, sizeof note, "(%d decodes a repaint)", run.qtDecodes / 3);
        benchrow::print(name, run.oursMs, run.qtMs, "ms", run.samePages && run.oursDecodes == run.qtDecodes, note);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    VYRQtLib::init();

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::printf("cannot make a temporary folder\n");
        return 1;
    }
    QStringList which = app.arguments().mid(1);
    if (which.isEmpty())
        which = QStringList{QStringLiteral("icons"), QStringLiteral("thrash")};
    for (const QString& name : which) {
        if (name == QLatin1String("icons"))
            benchIcons(dir.path());
        else if (name == QLatin1String("thrash"))
            benchThrash(dir.path());
        else
            std::printf("unknown benchmark: %s\n", qPrintable(name));
        std::fflush(stdout);
    }
    return 0;
}
