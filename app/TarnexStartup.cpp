#include "TarnexStartup.h"

#include "RefineryPlantWindow.h"
#include "TarnexOptions.h"
#include "VYRQChartRegistry.h"
#include "VYRQGlobal.h"
#include "VYRQSaveTarget_p.h"

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QTimer>
#include <QPixmap>
#include <QSaveFile>
#include <QScreen>
#include <QWidget>

#include <cstdio>

static void initTarnexResources()
{
    // Q_INIT_RESOURCE must not stand inside a namespace.
    Q_INIT_RESOURCE(tarnex);
}

namespace tarnex {

namespace {

bool isBlank(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return true;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] != first)
                return false;
    }
    return true;
}

// Every chart is an OpenGL widget, and once one is in the window Qt composes the whole
// window through OpenGL: without a context the operator would see a black window.
bool openGLAvailable()
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    if (!surface.isValid() || !context.create() || !context.makeCurrent(&surface))
        return false;
    const bool enough = context.format().majorVersion() >= 2;
    context.doneCurrent();
    return enough;
}

// A screenshot run is unattended (a script, Xvfb, the offscreen platform): a modal box
// there waits for a click that never comes.
int refuseToStart(const QString& message, const TarnexOptions& options)
{
    if (options.screenshotPath.isEmpty())
        QMessageBox::critical(nullptr, QStringLiteral("Tarnex"), message, QMessageBox::Ok, QMessageBox::NoButton);
    else
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    VYRQtLib::shutdown();
    return 1;
}

} // namespace

int runMonitor(const QStringList& arguments)
{
    const TarnexOptions options = TarnexOptions::fromArguments(arguments);
    VYRQtLib::init();
    registerCharts();
    substituteFonts();

    VYRGlobalConfig config;
    config.fontFamily = QStringLiteral("Microsoft YaHei UI");
    config.buttonFadeEnabled = false;
    config.buttonFadeDuration = 140;
    vyrSetGlobalConfig(config);

    const QString themeFolder = themeFolderPath();
    if (!vyrLoadThemeDir(QFile::encodeName(themeFolder).constData()))
        return refuseToStart(QStringLiteral("Unable to load the Tarnex theme from:\n%1").arg(themeFolder), options);
    if (!openGLAvailable())
        return refuseToStart(
            QStringLiteral("Unable to create an OpenGL context: the Tarnex charts need OpenGL 2.0 or later."),
            options);

    RefineryPlantWindow window(nullptr);
    window.resize(options.size.expandedTo(window.minimumSize()));
    if (options.chinese)
        window.setLanguage(1);
    window.setPage(options.page);
    window.show();
    if (options.drawer)
        QTimer::singleShot(180, &window, [&window] { window.selectAlarm(QStringLiteral("ALM-203")); });
    if (!options.screenshotPath.isEmpty()) {
        const QString path = options.screenshotPath;
        QTimer::singleShot(1500, &window, [&window, path] { takeScreenshot(window, path); });
    }
    const int code = QApplication::exec();
    VYRQtLib::shutdown();
    return code;
}

void initResources()
{
    initTarnexResources();
}

QString themeFolderPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/refinery-theme");
}

void registerCharts()
{
    registerChartControls();
}

void substituteFonts()
{
    QFont::insertSubstitutions(QStringLiteral("Microsoft YaHei UI"),
                               {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("Droid Sans Fallback")});
}

QPixmap captureWindow(QWidget& window)
{
    QPixmap image;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        image = screen->grabWindow(window.winId(), 0, 0, -1, -1);
    if (image.isNull() || isBlank(image))
        image = window.grab(QRect(QPoint(0, 0), QSize(-1, -1)));
    return image;
}

int saveScreenshot(QWidget& window, const QString& path)
{
    if (!vyr::isSaveTarget(path)) {
        std::fprintf(stderr, "Cannot write the screenshot to %s: it is not a regular file.\n",
                     QFile::encodeName(path).constData());
        return 2;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QPixmap image = captureWindow(window);
    if (image.isNull())
        return 2;
    // Encoded in memory first: the image writer never learns that the file's last
    // buffered write failed. The file is replaced only once all of it is on disk, so a
    // failure leaves no partial PNG and keeps an older one.
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG", -1))
        return 2;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit())
        return 2;
    return 0;
}

void takeScreenshot(QWidget& window, const QString& path)
{
    QCoreApplication::exit(saveScreenshot(window, path));
}

} // namespace tarnex
