// A theme of images used the way an application uses one, against Qt decoding the same
// files itself:
//   icons     a theme of 4,000 32x32 PNG icons, from a folder and from a zip: load the
//             theme, then ask for each image and its grey look once; against
//             QImageReader decoding each file of the folder and QIcon's disabled mode
//             greying it. Then a repaint of a page of 400 of them, each drawn by name as
//             a control paints it, against drawing the images Qt holds;
//   thrash    400 512x512 images, 400 MiB decoded, over the 256 MiB image cache: every
//             repaint decodes every image again; against Qt holding all 400 decoded.
// Both sides must hand out images of the same sizes and pixels and paint the same page,
// or no ratio is printed.
// Usage: bench_theme_images [icons|thrash]...   (both when none is named)
// Runs offscreen unless QT_QPA_PLATFORM says otherwise; build it as a release build.

#include "BenchRow.h"
#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"
#include "VYRQWidgetBaseImpl.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>

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

// A repaint of the page as controls paint it: each image asked for by name.
void paintOurs(QImage& page, int count, int side)
{
    page.fill(Qt::white);
    QPainter painter(&page);
    IconStyleDesc style;
    for (int i = 0; i < count; ++i)
        VYRQWidgetBaseImpl::drawImage(&painter, imageName(i), style, cell(i, side), false);
}

void paintQt(QImage& page, const std::vector<QImage>& images, int side)
{
    page.fill(Qt::white);
    QPainter painter(&page);
    for (size_t i = 0; i < images.size(); ++i)
        painter.drawImage(cell(int(i), side).topLeft(), images[i]);
}

struct IconRun {
    double allMs = 0;
    double repaintMs = 0;
    Handed handed;
    QImage page;
};

IconRun oursIcons(VYRQResourceManager* rm, const QString& dir, const QString& zip)
{
    IconRun run;
    QElapsedTimer timer;
    timer.start();
    if (!(zip.isEmpty() ? rm->loadThemeDir(dir) : rm->loadThemeFile(zip)))
        return run;
    for (int i = 0; i < iconCount; ++i) {
        run.handed.add(rm->getImage(imageName(i), false));
        run.handed.add(rm->getImage(imageName(i), true));
    }
    run.allMs = msSince(timer);
    run.page = pageCanvas(pageIcons, iconSide);
    std::vector<double> repaints;
    for (int round = 0; round < 15; ++round) {
        timer.restart();
        paintOurs(run.page, pageIcons, iconSide);
        repaints.push_back(msSince(timer));
    }
    run.repaintMs = median(repaints);
    return run;
}

IconRun qtIcons(const QString& dir)
{
    IconRun run;
    QElapsedTimer timer;
    timer.start();
    const QStringList files = QDir(dir + QStringLiteral("/images")).entryList(QDir::Files, QDir::Name);
    std::vector<QImage> plain, grey;
    plain.reserve(size_t(files.size()));
    grey.reserve(size_t(files.size()));
    for (const QString& file : files) {
        QImageReader reader(dir + QStringLiteral("/images/") + file);
        plain.push_back(reader.read());
        grey.push_back(greyOf(plain.back()));
        run.handed.add(&plain.back());
        run.handed.add(&grey.back());
    }
    run.allMs = msSince(timer);
    const std::vector<QImage> shown(plain.begin(), plain.begin() + std::min<size_t>(pageIcons, plain.size()));
    run.page = pageCanvas(pageIcons, iconSide);
    std::vector<double> repaints;
    for (int round = 0; round < 15; ++round) {
        timer.restart();
        paintQt(run.page, shown, iconSide);
        repaints.push_back(msSince(timer));
    }
    run.repaintMs = median(repaints);
    return run;
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
    std::vector<IconRun> folder, archive, qt;
    for (int round = 0; round < 3; ++round) {
        qt.push_back(qtIcons(dir));
        // A zip load always starts a new set, and the folder is not the loaded one again.
        folder.push_back(oursIcons(rm, dir, QString()));
        archive.push_back(oursIcons(rm, dir, zip));
    }
    const auto allMs = [](const std::vector<IconRun>& runs) {
        std::vector<double> v;
        for (const IconRun& r : runs)
            v.push_back(r.allMs);
        return median(v);
    };
    const auto repaintMs = [](const std::vector<IconRun>& runs) {
        std::vector<double> v;
        for (const IconRun& r : runs)
            v.push_back(r.repaintMs);
        return median(v);
    };
    const IconRun& q = qt.back();
    const bool sameFolder = folder.back().handed == q.handed && q.handed.images == 2 * iconCount;
    const bool sameZip = archive.back().handed == q.handed;
    benchrow::print("4,000 icons + grey, folder theme", allMs(folder), allMs(qt), "ms", sameFolder);
    benchrow::print("4,000 icons + grey, zip theme", allMs(archive), allMs(qt), "ms", sameZip);
    benchrow::print("repaint 400 icons, folder theme", repaintMs(folder), repaintMs(qt), "ms",
             sameFolder && folder.back().page == q.page);
    benchrow::print("repaint 400 icons, zip theme", repaintMs(archive), repaintMs(qt), "ms", sameZip && archive.back().page == q.page);
}

void benchThrash(const QString& root)
{
    const QString dir = root + QStringLiteral("/big");
    if (!makeTheme(dir, bigCount, bigImage, QString())) {
        std::printf("cannot write the large-image theme\n");
        return;
    }
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    if (!rm->loadThemeDir(dir)) {
        std::printf("cannot load the large-image theme\n");
        return;
    }
    std::vector<QImage> held;
    for (int i = 0; i < bigCount; ++i)
        held.push_back(QImageReader(dir + QLatin1Char('/') + imageName(i)).read());
    QImage ours = pageCanvas(bigCount, bigSide / 8);
    QImage qt = ours;
    // Both sides draw each image into a cell an eighth of its side.
    const auto paintScaled = [&](QImage& page, const std::function<const QImage*(int)>& imageAt) {
        page.fill(Qt::white);
        QPainter painter(&page);
        for (int i = 0; i < bigCount; ++i) {
            if (const QImage* image = imageAt(i))
                painter.drawImage(cell(i, bigSide / 8), *image);
        }
    };
    std::vector<double> oursMs, qtMs;
    QElapsedTimer timer;
    for (int round = 0; round < 3; ++round) {
        timer.start();
        paintScaled(ours, [&](int i) { return rm->getImage(imageName(i), false); });
        oursMs.push_back(msSince(timer));
        timer.restart();
        paintScaled(qt, [&](int i) { return &held[size_t(i)]; });
        qtMs.push_back(msSince(timer));
    }
    benchrow::print("repaint 400 x 512x512, 400 MiB", median(oursMs), median(qtMs), "ms", ours == qt);
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
