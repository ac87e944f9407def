// A theme of images used the way an application uses one, against a Qt user doing the
// same with the same files:
//   icons     a theme of 4,000 32x32 PNG icons, from a folder and from a zip: load the
//             theme, then ask for each image and its grey look once; against
//             QImageReader decoding each file of the folder, or each entry of the same
//             zip read into memory through minizip, and QIcon's disabled mode greying
//             it. Then a repaint of a page of 400 of them, each drawn by name as a
//             control paints it, against drawing each by name through QPixmapCache::find
//             and through a QHash<QString, QPixmap>, the three sides' rounds in turns;
//   scale     the same per icon from themes of 1,000 and of 16,000 icons, the load
//             alone, and a repaint of the same 400 from each;
//   thrash    400 512x512 images, 400 MiB decoded, over the 256 MiB image cache: every
//             repaint decodes every image again; against a QPixmapCache held to the
//             same 256 MiB. And 200 of them, which both caches hold;
//   memory    what 4,000 translucent icons drawn once (and with their grey looks) add
//             to the process, against a QPixmapCache of the same pixmaps;
//   svg       4,000 SVG icons spread over the installed icon themes (Papirus, Breeze,
//             Adwaita, hicolor: scripts/install-bench-deps.sh), copied into a theme
//             folder: load the theme and a renderer for each by name; against a
//             QSvgRenderer reading each of the same files, in CPU time, each side in a
//             process of its own and the two taking 1,000 icons in turns. Both sides
//             must load as many and draw the same pixels at 32x32;
//   svg-all   the same over every SVG icon of those themes, pixels compared at 48x48.
// Both sides must hand out (or hold) images of the same sizes and pixels, decode as many
// and paint the same page, or no ratio is printed.
// Usage: bench_theme_images [icons|scale|scale-here|thrash|memory|svg|svg-all]...
//        (icons, scale, thrash, memory and svg-all when none is named)
// Runs offscreen unless QT_QPA_PLATFORM says otherwise; build it as a release build.

#include "BenchRow.h"
#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"
#include "VYRQWidgetBaseImpl.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QHash>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <malloc.h>
#include <sched.h>
#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using benchrow::median;
using benchrow::msSince;

constexpr int pageIcons = 400;       // a page of 20 x 20 icons
constexpr int iconSide = 32;
constexpr int bigCount = 400;
constexpr int bigSide = 512;

QString imageName(int i)
{
    return QStringLiteral("images/i%1.png").arg(i, 5, 10, QLatin1Char('0'));
}

QString svgName(int i)
{
    return QStringLiteral("images/s%1.svg").arg(i, 5, 10, QLatin1Char('0'));
}

// Every icon differs: a colour of its own and a mark placed by its number.
QImage iconImage(int i)
{
    QImage image(iconSide, iconSide, QImage::Format_ARGB32);
    image.fill(QColor((i * 37) % 256, (i * 91) % 256, (i * 13) % 256, 200 + i % 55));
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
        const QImage argb = image->convertToFormat(QImage::Format_ARGB32_Premultiplied);
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

// Qt's fastest way to draw by name: each pixmap found in the QPixmapCache by its name.
void paintQt(QImage& page, const QStringList& names, int side)
{
    page.fill(Qt::white);
    QPainter painter(&page);
    QPixmap pixmap;
    for (int i = 0; i < names.size(); ++i) {
        if (QPixmapCache::find(names.at(i), &pixmap))
            painter.drawPixmap(cell(i, side).topLeft(), pixmap);
    }
}

// A Qt user's other way to draw by name: each pixmap found in a QHash by its name.
void paintHash(QImage& page, const QStringList& names, const QHash<QString, QPixmap>& pixmaps, int side)
{
    page.fill(Qt::white);
    QPainter painter(&page);
    for (int i = 0; i < names.size(); ++i) {
        const auto it = pixmaps.constFind(names.at(i));
        if (it != pixmaps.constEnd())
            painter.drawPixmap(cell(i, side).topLeft(), *it);
    }
}

// Runs `work` in a child process and gives back what it returned: each run of either
// side starts from this process as it is, whatever the run before allocated and freed
// (which otherwise leaves the next one a heap of a different shape to allocate from).
template <class Result, class Work>
Result inChild(const Work& work)
{
    static_assert(std::is_trivially_copyable<Result>::value, "sent through a pipe");
    Result result{};
    int fds[2];
    if (pipe(fds) != 0)
        return result;
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const Result out = work();
        const bool written = write(fds[1], &out, sizeof out) == ssize_t(sizeof out);
        std::_Exit(written ? 0 : 1);
    }
    close(fds[1]);
    if (child < 0 || read(fds[0], &result, sizeof result) != ssize_t(sizeof result))
        result = Result{};
    close(fds[0]);
    int status = 0;
    if (child > 0)
        waitpid(child, &status, 0);
    return result;
}

// Every pixel of a page, for comparing pages drawn in different processes.
quint64 pixelsOf(const QImage& page)
{
    quint64 sum = 14695981039346656037ull;
    for (int y = 0; y < page.height(); ++y) {
        const uchar* line = page.constScanLine(y);
        for (int x = 0; x < page.bytesPerLine(); ++x)
            sum = (sum ^ line[x]) * 1099511628211ull;
    }
    return sum;
}

struct IconRun {
    double allMs = 0;
    double loadMs = 0;    // ours: the theme's load alone
    double repaintMs = 0;
    Handed handed;
    quint64 page = 0;     // pixelsOf the page repainted
};

// 15 repaints of the page; the first, which makes what the later ones reuse, is
// counted with them only through the median.
template <class Paint>
double repaintMs(quint64& pixels, const Paint& paint)
{
    QImage page = pageCanvas(pageIcons, iconSide);
    std::vector<double> repaints;
    QElapsedTimer timer;
    for (int round = 0; round < 15; ++round) {
        timer.start();
        paint(page);
        repaints.push_back(msSince(timer));
    }
    pixels = pixelsOf(page);
    return median(repaints);
}

IconRun oursIcons(VYRQResourceManager* rm, const QString& dir, const QString& zip, int count)
{
    IconRun run;
    // The theme an earlier run in this process loaded goes first, untimed, as the Qt
    // side's images go after its timing; with none loaded the folder is read again.
    rm->loadThemeFile(QString());
    std::vector<const QImage*> handed;
    handed.reserve(size_t(2 * count));
    QElapsedTimer timer;
    timer.start();
    if (!(zip.isEmpty() ? rm->loadThemeDir(dir) : rm->loadThemeFile(zip)))
        return run;
    run.loadMs = msSince(timer);
    for (int i = 0; i < count; ++i) {
        handed.push_back(rm->getImage(imageName(i), false));
        handed.push_back(rm->getImage(imageName(i), true));
    }
    run.allMs = msSince(timer);
    for (const QImage* image : handed)
        run.handed.add(image);
    QStringList names;
    for (int i = 0; i < pageIcons; ++i)
        names << imageName(i);
    run.repaintMs = repaintMs(run.page, [&names](QImage& page) { paintOurs(page, names, iconSide); });
    return run;
}

// A Qt user's theme: each image decoded and greyed as it is read, held as it was
// decoded. `plain` keeps the images for the page.
void takeIcon(QImage image, std::vector<QImage>& plain, std::vector<QImage>& grey)
{
    plain.push_back(std::move(image));
    grey.push_back(greyOf(plain.back()));
}

// After the timing: what the Qt side handed out, and a repaint of the page's images by
// name through the QPixmapCache they were put in before the repaints (ours draws the
// images it decoded as they are).
void finishQt(IconRun& run, const std::vector<QImage>& plain, const std::vector<QImage>& grey)
{
    for (size_t i = 0; i < plain.size(); ++i) {
        run.handed.add(&plain[i]);
        run.handed.add(&grey[i]);
    }
    QPixmapCache::clear();
    QStringList names;
    for (int i = 0; i < int(plain.size()) && i < pageIcons; ++i) {
        names << imageName(i);
        QPixmapCache::insert(names.back(), QPixmap::fromImage(plain[size_t(i)]));
    }
    run.repaintMs = repaintMs(run.page, [&](QImage& page) { paintQt(page, names, iconSide); });
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
        takeIcon(QImageReader(dir + QStringLiteral("/images/") + file).read(), plain, grey);
    run.allMs = msSince(timer);
    finishQt(run, plain, grey);
    return run;
}

// The same theme read from its zip through minizip: every entry walked and read into
// memory (minizip checks each entry's CRC as it closes it), the images decoded from
// there.
IconRun qtZipIcons(const QString& zip, int count)
{
    IconRun run;
    QElapsedTimer timer;
    timer.start();
    unzFile uf = unzOpen64(QFile::encodeName(zip).constData());
    if (!uf)
        return run;
    std::vector<QImage> plain, grey;
    plain.reserve(size_t(count));
    grey.reserve(size_t(count));
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
        takeIcon(QImageReader(&buffer).read(), plain, grey);
    }
    unzClose(uf);
    run.allMs = msSince(timer);
    finishQt(run, plain, grey);
    if (!ok)
        run.handed = Handed();
    return run;
}

// Repaints of the page by name, the three sides' rounds in turns in one process (each
// side going first in a third of the rounds), after one untimed repaint each: ours from
// the theme loaded from its folder or its zip, Qt's through QPixmapCache::find and
// through a QHash<QString, QPixmap>, each holding pixmaps of its own decoded from the
// same files.
struct RepaintRun {
    double oursMs = 0;
    double cacheMs = 0;
    double hashMs = 0;
    bool same = false;   // the three pages alike, pixel for pixel
};

RepaintRun interleavedRepaints(VYRQResourceManager* rm, const QString& dir, const QString& zip, int count)
{
    RepaintRun run;
    rm->loadThemeFile(QString());
    if (!(zip.isEmpty() ? rm->loadThemeDir(dir) : rm->loadThemeFile(zip)))
        return run;
    QStringList names;
    QHash<QString, QPixmap> hash;
    QPixmapCache::clear();
    for (int i = 0; i < pageIcons && i < count; ++i) {
        names << imageName(i);
        const QString file = dir + QLatin1Char('/') + names.back();
        QPixmapCache::insert(names.back(), QPixmap::fromImage(QImageReader(file).read()));
        hash.insert(names.back(), QPixmap::fromImage(QImageReader(file).read()));
    }
    QImage pages[3] = {pageCanvas(pageIcons, iconSide), pageCanvas(pageIcons, iconSide),
                       pageCanvas(pageIcons, iconSide)};
    const std::function<void()> paints[3] = {
        [&] { paintOurs(pages[0], names, iconSide); },
        [&] { paintQt(pages[1], names, iconSide); },
        [&] { paintHash(pages[2], names, hash, iconSide); },
    };
    std::vector<double> times[3];
    QElapsedTimer timer;
    for (int round = 0; round < 16; ++round) {
        for (int k = 0; k < 3; ++k) {
            const int side = (round + k) % 3;
            timer.start();
            paints[side]();
            if (round > 0)
                times[side].push_back(msSince(timer));
        }
    }
    run.oursMs = median(times[0]);
    run.cacheMs = median(times[1]);
    run.hashMs = median(times[2]);
    run.same = pixelsOf(pages[0]) == pixelsOf(pages[1]) && pixelsOf(pages[1]) == pixelsOf(pages[2]);
    return run;
}

double medianOf(const std::vector<IconRun>& runs, double IconRun::*figure)
{
    std::vector<double> v;
    for (const IconRun& r : runs)
        v.push_back(r.*figure);
    return median(v);
}

// The four sides' runs on one theme of `count` icons, and whether each of ours did the
// work Qt's did: the same images handed out, the same page painted.
struct IconRuns {
    QString dir;
    QString zip;
    int count = 0;
    std::vector<IconRun> folder, archive, qtFolder, qtZip;
    bool sameFolder = false;
    bool sameZip = false;
};

bool iconTheme(const QString& root, int count, IconRuns& runs)
{
    runs.count = count;
    runs.dir = root + QStringLiteral("/icons%1").arg(count);
    runs.zip = runs.dir + QStringLiteral(".zip");
    if (QFileInfo::exists(runs.zip) || makeTheme(runs.dir, count, iconImage, runs.zip))
        return true;
    std::printf("cannot write the theme of %d icons\n", count);
    return false;
}

// What a process sets up the first time either side decodes, greys and draws an icon,
// done on a theme of one icon before a child's timing, whichever side it runs.
void warmUp(VYRQResourceManager* rm, const QString& dir)
{
    QImage page = pageCanvas(1, iconSide);
    QPainter painter(&page);
    IconStyleDesc style;
    if (rm->loadThemeDir(dir)) {
        VYRQWidgetBaseImpl::drawImage(&painter, imageName(0), style, cell(0, iconSide), false);
        VYRQWidgetBaseImpl::drawImage(&painter, imageName(0), style, cell(0, iconSide), true);
    }
    rm->loadThemeFile(QString());
    const QImage plain = QImageReader(dir + QLatin1Char('/') + imageName(0)).read();
    painter.drawPixmap(0, 0, QPixmap::fromImage(greyOf(plain)));
}

// One round of the four sides, each in a process of its own started from this one
// (`apart`, after warmUp on `warm`), or all in this one, each after the one before.
void runRound(IconRuns& runs, bool apart, const QString& warm)
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    const auto run = [&](std::vector<IconRun>& into, const std::function<IconRun()>& work) {
        into.push_back(apart ? inChild<IconRun>([&] {
            warmUp(rm, warm);
            return work();
        })
                             : work());
    };
    run(runs.qtFolder, [&] { return qtFolderIcons(runs.dir); });
    run(runs.qtZip, [&] { return qtZipIcons(runs.zip, runs.count); });
    run(runs.folder, [&] { return oursIcons(rm, runs.dir, QString(), runs.count); });
    run(runs.archive, [&] { return oursIcons(rm, runs.dir, runs.zip, runs.count); });
    if (!apart)
        rm->loadThemeFile(QString());
    const IconRun& q = runs.qtFolder.back();
    const IconRun& qz = runs.qtZip.back();
    runs.sameFolder = runs.folder.back().handed == q.handed && q.handed.images == 2 * runs.count
        && runs.folder.back().page == q.page;
    runs.sameZip = runs.archive.back().handed == q.handed && qz.handed == q.handed && runs.archive.back().page == qz.page
        && qz.page == q.page;
}

// Five rounds of interleavedRepaints, each in a fresh process after the same warm-up,
// and their rows: against QPixmapCache::find (`name`), and against a QHash (`name`
// with ", QHash").
void printRepaints(const IconRuns& runs, bool zip, const QString& warm, const char* name)
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    std::vector<double> ours, cache, hash;
    bool same = true;
    for (int round = 0; round < 5; ++round) {
        const RepaintRun r = inChild<RepaintRun>([&] {
            warmUp(rm, warm);
            return interleavedRepaints(rm, runs.dir, zip ? runs.zip : QString(), runs.count);
        });
        same = same && r.same;
        ours.push_back(r.oursMs);
        cache.push_back(r.cacheMs);
        hash.push_back(r.hashMs);
    }
    benchrow::print(name, median(ours), median(cache), "ms", same, "(QPixmapCache::find)");
    const QByteArray hashName = QByteArray(name) + ", QHash";
    benchrow::print(hashName.constData(), median(ours), median(hash), "ms", same, "(QHash<QString, QPixmap>)");
}

void benchIcons(const QString& root)
{
    IconRuns warm, runs;
    if (!iconTheme(root, 1, warm) || !iconTheme(root, 4000, runs))
        return;
    for (int round = 0; round < 5; ++round)
        runRound(runs, true, warm.dir);
    benchrow::print("4,000 icons + grey, folder theme", medianOf(runs.folder, &IconRun::allMs),
                    medianOf(runs.qtFolder, &IconRun::allMs), "ms", runs.sameFolder);
    benchrow::print("4,000 icons + grey, zip theme", medianOf(runs.archive, &IconRun::allMs),
                    medianOf(runs.qtZip, &IconRun::allMs), "ms", runs.sameZip);
    printRepaints(runs, false, warm.dir, "repaint 400 icons, folder theme");
    printRepaints(runs, true, warm.dir, "repaint 400 icons, zip theme");
}

double perIcon(const IconRuns& runs, const std::vector<IconRun> IconRuns::*side, double IconRun::*figure)
{
    return medianOf(runs.*side, figure) * 1000.0 / runs.count;
}

// What an icon of a theme of 1,000 or 16,000 costs; with `details`, its load alone and
// a repaint of 400.
void printPerIcon(const IconRuns& runs, const char* what, bool details, const QString& warm = QString())
{
    const char* count = runs.count == 1000 ? "1,000" : "16,000";
    char name[64];
    std::snprintf(name, sizeof name, "%s, %s, folder", what, count);
    benchrow::print(name, perIcon(runs, &IconRuns::folder, &IconRun::allMs),
                    perIcon(runs, &IconRuns::qtFolder, &IconRun::allMs), "us", runs.sameFolder);
    std::snprintf(name, sizeof name, "%s, %s, zip", what, count);
    benchrow::print(name, perIcon(runs, &IconRuns::archive, &IconRun::allMs),
                    perIcon(runs, &IconRuns::qtZip, &IconRun::allMs), "us", runs.sameZip);
    if (!details)
        return;
    std::snprintf(name, sizeof name, "load per icon, %s, folder", count);
    benchrow::printOurs(name, perIcon(runs, &IconRuns::folder, &IconRun::loadMs), "us");
    std::snprintf(name, sizeof name, "load per icon, %s, zip", count);
    benchrow::printOurs(name, perIcon(runs, &IconRuns::archive, &IconRun::loadMs), "us");
    std::snprintf(name, sizeof name, "repaint 400 of %s, folder", count);
    printRepaints(runs, false, warm, name);
    std::snprintf(name, sizeof name, "repaint 400 of %s, zip", count);
    printRepaints(runs, true, warm, name);
}

// The same per icon as the theme grows: a theme of 1,000 icons and one of 16,000, the
// same 400 repainted by name from each. Each run in a process of its own, rounds of the
// two alternating, so that both meet whatever else the machine does meanwhile.
void benchIconScale(const QString& root)
{
    IconRuns warm, small, large;
    if (!iconTheme(root, 1, warm) || !iconTheme(root, 1000, small) || !iconTheme(root, 16000, large))
        return;
    for (int round = 0; round < 5; ++round) {
        runRound(small, true, warm.dir);
        runRound(large, true, warm.dir);
    }
    for (const IconRuns* runs : { &small, &large })
        printPerIcon(*runs, "per icon + grey", true, warm.dir);
}

// The same in this process: each theme's rounds in turn, every load after the one
// before was let go ("scale-here", not run by default).
void benchIconScaleHere(const QString& root)
{
    IconRuns smallHere, largeHere;
    if (!iconTheme(root, 1000, smallHere) || !iconTheme(root, 16000, largeHere))
        return;
    for (IconRuns* runs : { &smallHere, &largeHere }) {
        for (int round = 0; round < 5; ++round)
            runRound(*runs, false, QString());
    }
    for (const IconRuns* runs : { &smallHere, &largeHere })
        printPerIcon(*runs, "again, per icon", false);
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

// The memory of drawn icons: 4,000 translucent icons, each drawn once (with its grey
// look in the second row), in a child process of its own for each side, from an
// application that has drawn nothing yet. Ours draws each by name, as a control does;
// Qt's side keeps each as a QPixmap in a QPixmapCache, its grey look from QIcon's
// disabled mode under a key of its own. Each side reports how much its resident size
// and its heap grew, and the pixels it holds afterwards, read back through its own cache.
struct Held {
    double rssMiB = 0;
    double heapMiB = 0;
    double countedMiB = 0;   // ours: what the decoded-image cache counts
    Handed handed;
};

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

double mib(qint64 bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

// Draws `count` icons, each once and, with `grey`, its grey look, through `draw`, into
// a page of 400 cells; how much the process grew meanwhile.
template <class Draw>
Held drawnOnce(int count, bool grey, const Draw& draw)
{
    QImage page = pageCanvas(pageIcons, iconSide);
    {
        // What the first drawing sets up is not the icons' to pay for.
        QPainter painter(&page);
        painter.drawImage(0, 0, iconImage(0));
    }
    Held held;
    const qint64 rss = residentBytes();
    const size_t heap = mallinfo2().uordblks;
    {
        QPainter painter(&page);
        for (int i = 0; i < count; ++i) {
            draw(painter, i, false);
            if (grey)
                draw(painter, i, true);
        }
    }
    held.rssMiB = mib(residentBytes() - rss);
    held.heapMiB = mib(qint64(mallinfo2().uordblks) - qint64(heap));
    return held;
}

Held oursHeld(const QString& dir, int count, bool grey)
{
    VYRQtLib::init();
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    IconStyleDesc style;
    bool loaded = false;
    Held held = drawnOnce(count, grey, [&](QPainter& painter, int i, bool gray) {
        if (!loaded)
            loaded = rm->loadThemeDir(dir);
        VYRQWidgetBaseImpl::drawImage(&painter, imageName(i), style, cell(i % pageIcons, iconSide), gray);
    });
    held.countedMiB = mib(rm->getThemeManagerImpl() ? rm->getThemeManagerImpl()->decoded.bytes() : 0);
    for (int i = 0; i < count; ++i) {
        held.handed.add(rm->getImage(imageName(i), false));
        if (grey)
            held.handed.add(rm->getImage(imageName(i), true));
    }
    return held;
}

Held qtHeld(const QString& dir, int count, bool grey)
{
    QPixmapCache::setCacheLimit(int(VYRQDecodedCache::defaultBound / 1024));
    const auto keyOf = [](int i, bool gray) { return gray ? imageName(i) + QStringLiteral("_gray") : imageName(i); };
    Held held = drawnOnce(count, grey, [&](QPainter& painter, int i, bool gray) {
        QPixmap pixmap;
        if (!QPixmapCache::find(keyOf(i, gray), &pixmap)) {
            if (gray) {
                QPixmap plain;
                QPixmapCache::find(keyOf(i, false), &plain);
                pixmap = QIcon(plain).pixmap(plain.size(), QIcon::Disabled, QIcon::Off);
            } else {
                pixmap = QPixmap::fromImage(QImageReader(dir + QLatin1Char('/') + imageName(i)).read());
            }
            QPixmapCache::insert(keyOf(i, gray), pixmap);
        }
        painter.drawPixmap(cell(i % pageIcons, iconSide).topLeft(), pixmap);
    });
    for (int i = 0; i < count; ++i) {
        for (bool gray : { false, true }) {
            QPixmap pixmap;
            if ((!gray || grey) && QPixmapCache::find(keyOf(i, gray), &pixmap)) {
                const QImage image = pixmap.toImage();
                held.handed.add(&image);
            }
        }
    }
    return held;
}

// Forks before the parent has an application, so that each child starts its own.
void benchMemory(const QString& root, int argc, char** argv)
{
    const int count = 4000;
    const QString dir = root + QStringLiteral("/memory");
    if (!makeTheme(dir, count, iconImage, QString())) {
        std::printf("cannot write the icon theme\n");
        return;
    }
    for (bool grey : { false, true }) {
        // Each side with an application of its own.
        const Held ours = inChild<Held>([&] {
            QApplication app(argc, argv);
            return oursHeld(dir, count, grey);
        });
        const Held qt = inChild<Held>([&] {
            QApplication app(argc, argv);
            return qtHeld(dir, count, grey);
        });
        const bool same = ours.handed == qt.handed && qt.handed.images == (grey ? 2 : 1) * count;
        char note[96];
        std::snprintf(note, sizeof note, "(the cache counts %.2f MiB)", ours.countedMiB);
        benchrow::print(grey ? "4,000 icons + grey drawn, resident" : "4,000 icons drawn, resident", ours.rssMiB,
                        qt.rssMiB, "MiB", same, note);
        benchrow::print(grey ? "4,000 icons + grey drawn, heap" : "4,000 icons drawn, heap", ours.heapMiB, qt.heapMiB,
                        "MiB", same);
    }
}

// SVG icons as a theme ships them: every regular SVG file of the installed icon themes
// (Papirus and its variants, Breeze, Adwaita, hicolor), in the order of their paths,
// `count` of them spread evenly over the list (all when 0), put into `dir`/images.
// The number copied, 0 when the themes hold fewer.
int svgTheme(const QString& dir, int count)
{
    QStringList found;
    QDirIterator it(QStringLiteral("/usr/share/icons"), QStringList{QStringLiteral("*.svg")},
                    QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    found.sort();
    if (count == 0)
        count = found.size();
    if (count == 0 || found.size() < count || !QDir().mkpath(dir + QStringLiteral("/images"))
        || !writeFile(dir + QStringLiteral("/style.json"), styleJson))
        return 0;
    // Linked where the folder lies on the themes' file system: some 66,000 copies and
    // their removal would take longer than the loads.
    for (int i = 0; i < count; ++i) {
        const QString from = found.at(int(qint64(i) * found.size() / count));
        const QString to = dir + QLatin1Char('/') + svgName(i);
        if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0
            && !QFile::copy(from, to))
            return 0;
    }
    return count;
}

struct SvgRun {
    double ms = 0;
    int loaded = 0;
    quint64 pixels = 0;   // every renderer drawn at `side` pixels, after the timing
};

// Each renderer drawn into an image of its own, one after the other, as soon as it is
// handed out (ours may let an earlier one go to make room).
template <class Renderer>
quint64 svgPixels(int count, int side, const Renderer& draw)
{
    quint64 sum = 0;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    for (int i = 0; i < count; ++i) {
        image.fill(Qt::transparent);
        if (!draw(i, image))
            continue;
        sum = sum * 1099511628211ull + pixelsOf(image);
    }
    return sum;
}

void drawSvg(QSvgRenderer& renderer, QImage& image)
{
    QPainter painter(&image);
    renderer.render(&painter);
}

// Keeps this process, and the children it starts, on the processor it runs on while
// it lives: each processor of this virtual machine runs at a speed of its own from one
// minute to the next, and two sides in turns on processors of the scheduler's choosing
// each met another (a run's ratio moved by 0.09, on one processor by 0.03).
class OneProcessor {
public:
    OneProcessor()
    {
        const int cpu = sched_getcpu();
        m_pinned = cpu >= 0 && sched_getaffinity(0, sizeof m_was, &m_was) == 0;
        if (!m_pinned)
            return;
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(cpu, &one);
        m_pinned = sched_setaffinity(0, sizeof one, &one) == 0;
    }
    ~OneProcessor()
    {
        if (m_pinned)
            sched_setaffinity(0, sizeof m_was, &m_was);
    }
    OneProcessor(const OneProcessor&) = delete;
    OneProcessor& operator=(const OneProcessor&) = delete;

private:
    cpu_set_t m_was;
    bool m_pinned = false;
};

// The CPU time of this thread, in ms: both sides load on one thread, and the machine's
// other work then moves neither figure.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// A child process that does its work in steps, each when asked. Two of them asked in
// turn take their steps within moments of each other, so that the spells in which this
// machine runs slower or quicker (its CPU time per icon moves by a third from one minute
// to the next) fall on both sides alike, where a side's whole run in one go met
// whichever spell came.
class Turns {
public:
    template <class Step>
    explicit Turns(const Step& step)
    {
        int ask[2] = { -1, -1 }, answer[2] = { -1, -1 };
        if (pipe(ask) != 0 || pipe(answer) != 0)
            return;
        std::fflush(stdout);
        m_child = fork();
        if (m_child == 0) {
            close(ask[1]);
            close(answer[0]);
            int k = 0;
            while (read(ask[0], &k, sizeof k) == ssize_t(sizeof k) && k >= 0) {
                const SvgRun out = step(k);
                if (write(answer[1], &out, sizeof out) != ssize_t(sizeof out))
                    break;
            }
            std::_Exit(0);
        }
        close(ask[0]);
        close(answer[1]);
        m_ask = ask[1];
        m_answer = answer[0];
    }
    ~Turns()
    {
        if (m_ask >= 0) {
            // The child ends on this, or when its pipe closes.
            const int stop = -1;
            const ssize_t sent = write(m_ask, &stop, sizeof stop);
            static_cast<void>(sent);
            close(m_ask);
        }
        if (m_answer >= 0)
            close(m_answer);
        int status = 0;
        if (m_child > 0)
            waitpid(m_child, &status, 0);
    }
    Turns(const Turns&) = delete;
    Turns& operator=(const Turns&) = delete;

    // The child's answer to step `k`; nothing when it failed.
    SvgRun take(int k)
    {
        SvgRun out;
        if (m_child <= 0 || write(m_ask, &k, sizeof k) != ssize_t(sizeof k)
            || read(m_answer, &out, sizeof out) != ssize_t(sizeof out))
            return SvgRun();
        return out;
    }

private:
    pid_t m_child = -1;
    int m_ask = -1;
    int m_answer = -1;
};

constexpr int svgLoads = 3;
constexpr int svgChunk = 1000;   // icons a step

// Loading SVG icons through a theme folder, each side in a process of its own after the
// same warm-up, both on one processor, their steps of 1,000 icons in turns (Qt's, then
// ours); in CPU time, the median of the rounds. Each side loads the icons and lets them
// go `loads` times, its figure the quickest. Letting go is timed on both sides: past 256 MiB ours lets the
// least recently used renderers go while it loads (their documents deleted, each left
// drawing nothing), which Qt's side, holding every renderer, would otherwise never pay.
// The sample of 4,000: five rounds of the quickest of three loads, pixels compared at
// 32x32 in each. Every icon (some 66,000): three rounds of one load (a median of two
// would be their mean, moved by one slow round), pixels compared at 48x48 in the first,
// after the timing.
void benchSvg(const QString& root, bool all)
{
    const QString dir = root + (all ? QStringLiteral("/svg-all") : QStringLiteral("/svg"));
    const int count = svgTheme(dir, all ? 0 : 4000);
    if (count == 0) {
        std::printf("cannot copy the SVG icons of the installed icon themes (scripts/install-bench-deps.sh)\n");
        return;
    }
    const int rounds = all ? 3 : 5;
    const int loads = all ? 1 : svgLoads;
    const int chunks = (count + svgChunk - 1) / svgChunk;
    const auto chunkOf = [&](int k, int& from, int& to) {
        from = (k % chunks) * svgChunk;
        to = std::min(count, from + svgChunk);
    };
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    const auto warmUp = [&] {
        QSvgRenderer(dir + QLatin1Char('/') + svgName(0)).isValid();
        if (rm->loadThemeDir(dir))
            rm->getSvgRenderer(svgName(0));
        rm->loadThemeFile(QString());
    };
    const OneProcessor pinned;   // both sides, each a child process, on the same one
    std::vector<SvgRun> ours, qt;
    for (int round = 0; round < rounds; ++round) {
        const int side = !all ? iconSide : round == 0 ? 48 : 0;
        bool warm = false;
        std::vector<std::unique_ptr<QSvgRenderer>> renderers;
        // Steps 0 to loads x chunks - 1 load, the one after draws.
        Turns qtSide([&](int k) {
            SvgRun run;
            if (!std::exchange(warm, true)) {
                warmUp();
                renderers.reserve(size_t(count));
            }
            if (k == loads * chunks) {
                run.pixels = side <= 0 ? 0 : svgPixels(count, side, [&](int i, QImage& image) {
                    QSvgRenderer renderer(dir + QLatin1Char('/') + svgName(i));
                    if (!renderer.isValid())
                        return false;
                    drawSvg(renderer, image);
                    return true;
                });
                return run;
            }
            int from = 0, to = 0;
            chunkOf(k, from, to);
            const double start = threadCpuMs();
            for (int i = from; i < to; ++i) {
                renderers.push_back(std::make_unique<QSvgRenderer>(dir + QLatin1Char('/') + svgName(i)));
                run.loaded += renderers.back()->isValid();
            }
            if (to == count)
                renderers.clear();
            run.ms = threadCpuMs() - start;
            return run;
        });
        Turns oursSide([&](int k) {
            SvgRun run;
            if (!std::exchange(warm, true))
                warmUp();
            if (k == loads * chunks) {
                if (side > 0 && rm->loadThemeDir(dir)) {
                    run.pixels = svgPixels(count, side, [&](int i, QImage& image) {
                        QSvgRenderer* renderer = rm->getSvgRenderer(svgName(i));
                        if (!renderer || !renderer->isValid())
                            return false;
                        drawSvg(*renderer, image);
                        return true;
                    });
                }
                return run;
            }
            int from = 0, to = 0;
            chunkOf(k, from, to);
            const double start = threadCpuMs();
            if (from == 0 && !rm->loadThemeDir(dir))
                return SvgRun();
            for (int i = from; i < to; ++i) {
                QSvgRenderer* renderer = rm->getSvgRenderer(svgName(i));
                run.loaded += renderer && renderer->isValid();
            }
            if (to == count)
                rm->loadThemeFile(QString());
            run.ms = threadCpuMs() - start;
            return run;
        });
        SvgRun q, o;
        for (int load = 0; load < loads; ++load) {
            SvgRun qLoad, oLoad;
            for (int chunk = 0; chunk < chunks; ++chunk) {
                const SvgRun a = qtSide.take(load * chunks + chunk);
                const SvgRun b = oursSide.take(load * chunks + chunk);
                qLoad.ms += a.ms;
                qLoad.loaded += a.loaded;
                oLoad.ms += b.ms;
                oLoad.loaded += b.loaded;
            }
            if (load == 0 || qLoad.ms < q.ms)
                q = qLoad;
            if (load == 0 || oLoad.ms < o.ms)
                o = oLoad;
        }
        q.pixels = qtSide.take(loads * chunks).pixels;
        o.pixels = oursSide.take(loads * chunks).pixels;
        qt.push_back(q);
        ours.push_back(o);
    }
    bool same = true;
    std::vector<double> oursUs, qtUs;
    for (size_t i = 0; i < ours.size(); ++i) {
        same = same && ours[i].loaded == qt[i].loaded && ours[i].loaded > 0 && ours[i].pixels == qt[i].pixels;
        oursUs.push_back(ours[i].ms * 1000.0 / count);
        qtUs.push_back(qt[i].ms * 1000.0 / count);
    }
    char note[64];
    std::snprintf(note, sizeof note, "(%d of %d loaded)", qt.back().loaded, count);
    benchrow::print(all ? "load per SVG icon, all, CPU" : "load per SVG icon, 4,000, CPU", median(oursUs), median(qtUs),
                    "us", same, note);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStringList which;
    for (int i = 1; i < argc; ++i)
        which << QString::fromLocal8Bit(argv[i]);
    if (which.isEmpty())
        which = QStringList{QStringLiteral("icons"), QStringLiteral("scale"), QStringLiteral("thrash"),
                            QStringLiteral("memory"), QStringLiteral("svg-all")};
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::printf("cannot make a temporary folder\n");
        return 1;
    }
    if (which.removeAll(QStringLiteral("memory")) > 0) {
        benchMemory(dir.path(), argc, argv);
        std::fflush(stdout);
    }
    QApplication app(argc, argv);
    VYRQtLib::init();
    for (const QString& name : which) {
        if (name == QLatin1String("icons"))
            benchIcons(dir.path());
        else if (name == QLatin1String("scale"))
            benchIconScale(dir.path());
        else if (name == QLatin1String("scale-here"))
            benchIconScaleHere(dir.path());
        else if (name == QLatin1String("thrash"))
            benchThrash(dir.path());
        else if (name == QLatin1String("svg"))
            benchSvg(dir.path(), false);
        else if (name == QLatin1String("svg-all"))
            benchSvg(dir.path(), true);
        else
            std::printf("unknown benchmark: %s\n", qPrintable(name));
        std::fflush(stdout);
    }
    return 0;
}
