#include "TarnexStartup.h"

#include "RefineryPlantWindow.h"
#include "TarnexOptions.h"
#include "TarnexTheme.h"
#include "VYRQChartBase.h"
#include "VYRQChartRegistry.h"
#include "VYRQGlobal.h"
#include "VYRQSaveTarget_p.h"
#include "VYRQWindowImpl_p.h"

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QCursor>
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
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#ifdef TARNEX_WITH_XCB
#include <xcb/xcb.h>
#endif

static void initTarnexResources()
{
    // Q_INIT_RESOURCE must not stand inside a namespace.
    Q_INIT_RESOURCE(tarnex);
}

namespace tarnex {

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

QString displayFault(const QStringList& arguments)
{
#ifdef TARNEX_WITH_XCB
    // Read as Qt reads them: the last "-platform" and "-display" win.
    QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    QString display = qEnvironmentVariable("DISPLAY");
    bool displayGiven = qEnvironmentVariableIsSet("DISPLAY");
    for (int i = 1; i + 1 < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform")) {
            platform = arguments.at(++i);
        } else if (argument == QLatin1String("-display") || argument == QLatin1String("--display")) {
            display = arguments.at(++i);
            displayGiven = true;
        }
    }
    // Qt tries each of "a;b" in turn: another platform there may well open.
    for (const QString& candidate : platform.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (candidate.section(QLatin1Char(':'), 0, 0) != QLatin1String("xcb"))
            return QString();
    xcb_connection_t* connection = xcb_connect(display.isEmpty() ? nullptr : QFile::encodeName(display).constData(),
                                               nullptr);
    const bool opened = !xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    if (opened)
        return QString();
    if (!displayGiven)
        return QStringLiteral("no display could be opened: DISPLAY is not set");
    if (display.isEmpty())
        return QStringLiteral("no display could be opened: DISPLAY is empty");
    return QStringLiteral("no display could be opened: no X server answers at \"%1\"").arg(display);
#else
    Q_UNUSED(arguments);
    return QString();
#endif
}

namespace {

const char chartsNotDrawnMessage[] =
    "Unable to draw the Tarnex charts: they need OpenGL 2.0 or later on a platform that shows the window "
    "(the offscreen platform does not).";

// Whether a screen shows the window: whether it gives an image of it at all, painted
// yet or not. The offscreen platform gives none for a window whose OpenGL widgets it
// composes: it composes them into buffers that no screen shows.
bool shownOnScreen(QWidget& window)
{
    QScreen* screen = window.screen();
    if (!screen || !window.isVisible())
        return false;
    const QRect shown = screen->geometry()
                            .translated(-window.mapToGlobal(QPoint(0, 0)))
                            .intersected(QRect(QPoint(0, 0), window.size()));
    return !shown.isEmpty()
        && !screen->grabWindow(window.winId(), shown.x(), shown.y(), shown.width(), shown.height()).isNull();
}

// A screenshot run is unattended (a script, Xvfb, the offscreen platform): a modal box
// there waits for a click that never comes.
// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE int refuseToStart(const QString& message, const TarnexOptions& options)
{
    if (options.screenshotPath.isEmpty()) {
        // The message names a folder as it is: as rich text, a name holding a tag would
        // have Qt read whatever the tag names.
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Tarnex"), message, QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    } else
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
    const QString themeFailure = QStringLiteral("Unable to load the Tarnex theme from:\n%1").arg(themeFolder);
    // The line after the folder's names the file at fault and why, where it can.
    const auto refuseTheme = [&](const QString& fault) {
        return refuseToStart(fault.isEmpty() ? themeFailure : themeFailure + QLatin1Char('\n') + fault, options);
    };
    if (!vyrLoadThemeDir(QFile::encodeName(themeFolder).constData()))
        return refuseTheme(themeFolderFault(themeFolder));
    const QString themeFault = themeElementsFault(themeFolder);
    if (!themeFault.isEmpty())
        return refuseTheme(themeFault);
    if (!openGLAvailable())
        return refuseToStart(
            QStringLiteral("Unable to create an OpenGL context: the Tarnex charts need OpenGL 2.0 or later."),
            options);

    RefineryPlantWindow window(nullptr);
    const bool interactive = options.screenshotPath.isEmpty();
    // A screenshot keeps the size it asked for, also past the screen.
    window.impl()->holdsToScreens = interactive;
    // Opened on the screen under the pointer, as the window system and window managers
    // place a new window; placed before it shows, so that a window manager keeps that
    // place rather than one of its own that may lie past the screen.
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = window.screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    window.resize(startSize(options.size, window.minimumSize(), available, interactive));
    if (interactive)
        window.move(startPosition(window.size(), available));
    if (options.chinese)
        window.setLanguage(1);
    window.setPage(options.page);
    // The frame's own maximise: it lifts the minimum while the window is maximised
    // and gives it back on the way out.
    if (interactive && startsMaximised(window.minimumSize(), available))
        window.impl()->toggleMaximized();
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

QSize startSize(const QSize& requested, const QSize& minimum, const QRect& available, bool interactive)
{
    QSize size = requested.expandedTo(minimum);
    if (interactive && available.isValid())
        size = size.boundedTo(available.size()).expandedTo(minimum);
    return size;
}

bool startsMaximised(const QSize& minimum, const QRect& available)
{
    return available.isValid() && (available.width() < minimum.width() || available.height() < minimum.height());
}

QPoint startPosition(const QSize& size, const QRect& available)
{
    if (!available.isValid())
        return QPoint(0, 0);
    const QPoint centred = available.topLeft()
        + QPoint((available.width() - size.width()) / 2, (available.height() - size.height()) / 2);
    return QPoint(qMax(centred.x(), available.left()), qMax(centred.y(), available.top()));
}

bool chartsDrawn(QWidget& window)
{
    const QList<VYRQChartBase*> charts = window.findChildren<VYRQChartBase*>();
    const bool anyShown = std::any_of(charts.begin(), charts.end(), [](VYRQChartBase* chart) {
        return chart->isVisible() && !chart->visibleRegion().isEmpty();
    });
    if (!anyShown)
        return true;
    if (!shownOnScreen(window))
        return false;
    // A frame drawn now, on the chart's own context.
    return std::all_of(charts.begin(), charts.end(), [](VYRQChartBase* chart) {
        return !chart->isVisible() || chart->visibleRegion().isEmpty() || !chart->grabFramebuffer().isNull();
    });
}

QImage captureWindow(QWidget& window)
{
    // Rendered rather than taken from the screen: a screen holds only the part of the
    // window that lies on it, and shows whatever other window lies over it. A widget's
    // rendering leaves OpenGL widgets out or half drawn: each chart's own frame is
    // drawn where the chart shows.
    QImage image = window.grab(QRect(QPoint(0, 0), window.size())).toImage().convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    const double ratio = double(image.width()) / qMax(window.width(), 1);
    painter.scale(ratio, ratio);
    for (VYRQChartBase* chart : window.findChildren<VYRQChartBase*>()) {
        const QRegion visible = chart->isVisible() ? chart->visibleRegion() : QRegion();
        if (visible.isEmpty())
            continue;
        const QPoint offset = chart->mapTo(&window, QPoint(0, 0));
        painter.save();
        painter.setClipRegion(visible.translated(offset));
        painter.drawImage(QRect(offset, chart->size()), chart->grabFramebuffer());
        painter.restore();
    }
    return image;
}

namespace {

// Every screenshot that is not written says which file and why; the run ends with 2.
int screenshotNotWritten(const QString& path, const QString& why)
{
    std::fprintf(stderr, "Cannot write the screenshot to %s: %s.\n", QFile::encodeName(path).constData(),
                 why.toLocal8Bit().constData());
    return 2;
}

// Makes the folder and every missing folder above it; empty when it is there, else why
// not (QDir::mkpath says only that it failed: a read-only file system would then be
// reported as the missing folder the save found).
QString folderFault(const QString& folder)
{
    const QByteArray path = QFile::encodeName(QDir::cleanPath(folder));
    for (int end = 1; end <= path.size(); ++end) {
        if (end < path.size() && path.at(end) != '/')
            continue;
        const QByteArray part = path.left(end);
        if (::mkdir(part.constData(), 0777) == 0)
            continue;
        int error = errno;
        struct stat info;
        if (error == EEXIST) {
            if (::stat(part.constData(), &info) == 0 && S_ISDIR(info.st_mode))
                continue;
            error = ENOTDIR;
        }
        return QString::fromLocal8Bit(std::strerror(error));
    }
    return QString();
}

} // namespace

int saveScreenshot(QWidget& window, const QString& path)
{
    if (!vyr::isSaveTarget(path))
        return screenshotNotWritten(path, QStringLiteral("it is not a regular file"));
    if (!chartsDrawn(window)) {
        std::fprintf(stderr, "%s\n", chartsNotDrawnMessage);
        return 1;
    }
    const QImage image = captureWindow(window);
    if (image.isNull())
        return screenshotNotWritten(path, QStringLiteral("the window gave no image"));
    const QString noFolder = folderFault(QFileInfo(path).absolutePath());
    if (!noFolder.isEmpty())
        return screenshotNotWritten(path, noFolder);
    // Encoded in memory first: the image writer never learns that the file's last
    // buffered write failed. The file is replaced only once all of it is on disk, so a
    // failure leaves no partial PNG and keeps an older one.
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG", -1))
        return screenshotNotWritten(path, QStringLiteral("the image could not be encoded as PNG"));
    QString why;
    if (!vyr::saveWholeFile(path, png, why))
        return screenshotNotWritten(path, why);
    return 0;
}

void takeScreenshot(QWidget& window, const QString& path)
{
    QCoreApplication::exit(saveScreenshot(window, path));
}

} // namespace tarnex
