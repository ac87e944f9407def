// Peak memory of drawing one large theme image, plain and grey, through the resource
// manager, against Qt doing the same with QImage and QIcon's disabled mode. Each side
// runs in a child process of its own, so that each peak is that side's alone.
//
//   bench_image_rss [width height [16]]   (default 8192 8192, then 4096 4096, 8 and 16
//   bits per channel, then 4096 x 4096 after four other such images filled the cache;
//   the Qt side holds those four too). Rows as BenchRow.h prints them, in MiB; the
//   ratio only where both sides drew the image.

#include "BenchRow.h"
#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

enum Outcome { Drawn = 0, Refused = 1, Broken = 2 };

// Images decoded before the measured one, images/other0.png and on.
int others = 0;

QString otherName(int i)
{
    return QStringLiteral("images/other%1.png").arg(i);
}

// Draws both images into a small target and checks the target got the image's colour.
int drawBoth(const QImage* plain, const QImage* grey)
{
    if (!plain || !grey)
        return Refused;
    QImage target(64, 64, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::white);
    QPainter painter(&target);
    painter.drawImage(QRect(0, 0, 32, 64), *plain);
    painter.drawImage(QRect(32, 0, 32, 64), *grey);
    painter.end();
    const QColor left = target.pixelColor(10, 10);
    const QColor right = target.pixelColor(50, 10);
    return left.red() > 200 && left.green() < 60 && right != left ? Drawn : Broken;
}

int librarySide(const QString& dir)
{
    VYRQtLib::init();
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    if (!rm->loadThemeDir(dir))
        return Broken;
    for (int i = 0; i < others; ++i) {
        if (!rm->getImage(otherName(i), false))
            return Broken;
    }
    const QImage* plain = rm->getImage(QStringLiteral("images/big.png"), false);
    const QImage* grey = rm->getImage(QStringLiteral("images/big.png"), true);
    return drawBoth(plain, grey);
}

int qtSide(const QString& dir)
{
    QList<QImage> held;
    for (int i = 0; i < others; ++i)
        held.append(QImage(dir + QLatin1Char('/') + otherName(i)));
    const QImage plain(dir + QStringLiteral("/images/big.png"));
    if (plain.isNull())
        return Broken;
    const QImage grey = QIcon(QPixmap::fromImage(plain)).pixmap(plain.size(), QIcon::Disabled, QIcon::Off).toImage();
    return drawBoth(&plain, &grey);
}

// Runs one side in a child; its peak resident size in MiB, and how it ended.
double peakOf(int (*side)(const QString&), const QString& dir, int argc, char** argv, int* outcome)
{
    const pid_t child = fork();
    if (child == 0) {
        QApplication app(argc, argv);
        std::_Exit(side(dir));
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    *outcome = WIFEXITED(status) ? WEXITSTATUS(status) : Broken;
    return double(usage.ru_maxrss) / 1024.0;
}

const char* outcomeText(int outcome)
{
    return outcome == Drawn ? "drawn" : outcome == Refused ? "refused" : "BROKEN";
}

void measure(int width, int height, bool deep, int argc, char** argv, int before = 0)
{
    QTemporaryDir tmp;
    QDir(tmp.path()).mkpath(QStringLiteral("images"));
    QFile style(tmp.filePath(QStringLiteral("style.json")));
    if (!style.open(QIODevice::WriteOnly) || style.write(R"({"style": []})") <= 0)
        return;
    style.close();
    {
        QImage image(width, height, deep ? QImage::Format_RGBA64 : QImage::Format_ARGB32);
        image.fill(QColor(255, 0, 0));
        image.save(tmp.filePath(QStringLiteral("images/big.png")));
    }
    others = before;
    for (int i = 0; i < others; ++i) {
        QImage image(4096, 4096, QImage::Format_ARGB32);
        image.fill(QColor(0, 40 * i, 255));
        image.save(tmp.filePath(otherName(i)));
    }
    const qint64 fileSize = QFileInfo(tmp.filePath(QStringLiteral("images/big.png"))).size();
    int libraryOutcome = Broken;
    int qtOutcome = Broken;
    const double library = peakOf(librarySide, tmp.path(), argc, argv, &libraryOutcome);
    const double qt = peakOf(qtSide, tmp.path(), argc, argv, &qtOutcome);
    char name[64];
    std::snprintf(name, sizeof name, "%s%dx%d, %d bits, peak", others > 0 ? "4 cached + " : "", width, height,
                  deep ? 16 : 8);
    char note[96];
    std::snprintf(note, sizeof note, "(%lld bytes of PNG; ours %s, Qt %s)", fileSize, outcomeText(libraryOutcome),
                  outcomeText(qtOutcome));
    // A ratio only when both sides drew the same image.
    benchrow::print(name, library, qt, "MiB", libraryOutcome == Drawn && qtOutcome == Drawn, note);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 3) {
        measure(std::atoi(argv[1]), std::atoi(argv[2]), argc > 3 && std::atoi(argv[3]) == 16, argc, argv);
        return 0;
    }
    measure(8192, 8192, false, argc, argv);
    measure(4096, 4096, false, argc, argv);
    measure(4096, 4096, true, argc, argv);
    measure(4096, 4096, false, argc, argv, 4);
    return 0;
}
