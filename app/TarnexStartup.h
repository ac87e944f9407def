#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class QImage;
class QWidget;

// Start-up services of the monitor's executable, kept out of main() so that the
// tests run the same code.
namespace tarnex {

// Everything main() does once the application object exists: starts the library,
// loads the theme folder, checks that OpenGL is there, reads the options, shows the
// window with its start-up actions and runs the event loop ("--help" and bad option
// values are main()'s, before the application object). Returns the process's exit
// code: 0 normal end or screenshot saved; 1 theme not loadable or no OpenGL
// context (a message box, or on a screenshot run a line on standard error; no window
// is built), or charts that could not be drawn into the screenshot (standard error);
// 2 screenshot not taken or not saved.
int runMonitor(const QStringList& arguments);

// Why the window system the application object would open cannot be opened: on X11
// (the default, QT_QPA_PLATFORM or "-platform" naming only xcb) when the display that
// "-display" or DISPLAY names takes no connection. Empty when it can be opened, or for
// any other platform. Asked before the application object, which aborts without one.
QString displayFault(const QStringList& arguments);

// Whether an OpenGL 2.0 context can be made current: the check runMonitor makes
// before it builds the window.
bool openGLAvailable();

// Compiles the embedded icons (":/tarnex/icons/...") into whatever links this library.
void initResources();

// The theme folder beside the executable.
QString themeFolderPath();

// Makes the OpenGL chart controls creatable by type key.
void registerCharts();

// The Windows UI family the monitor asks for is missing here: let a CJK family stand
// in for it so that Chinese text renders with real glyphs.
void substituteFonts();

// The window's size at start-up: the requested size raised to the window's minimum
// and, on an interactive run, held to the screen's available area, never below the
// minimum (a screenshot run keeps the size it asked for). An invalid area holds nothing.
QSize startSize(const QSize& requested, const QSize& minimum, const QRect& available, bool interactive);

// An interactive window starts maximised where even its minimum does not fit the
// screen's available area: its top bar and borders would lie off the screen.
bool startsMaximised(const QSize& minimum, const QRect& available);

// Where a window of the size starts: centred in the screen's available area, its
// top-left never off that area (a window larger than the area reaches past its
// right and bottom edges, where nothing the operator needs first lies).
QPoint startPosition(const QSize& size, const QRect& available);

// Whether every chart shown in the window drew a frame that a screen shows: false on
// a platform that shows no window (the offscreen platform), where the charts' OpenGL
// frames reach no screen.
bool chartsDrawn(QWidget& window);

// An image of the window, rendered, with each shown chart's own frame: the whole
// window, also where it reaches past its screen or lies under another window.
QImage captureWindow(QWidget& window);

// Writes the window's PNG to path (its folder created when missing). 0 when saved;
// 1 when the charts could not be drawn (chartsDrawn; a line on standard error); 2 when
// something other than a regular file stands at path, its folder cannot be made, or
// the image is empty or could not be written whole (a line on standard error names the
// file and why). Unless saved, path is as it was.
int saveScreenshot(QWidget& window, const QString& path);

// saveScreenshot, then ends the event loop with its code.
void takeScreenshot(QWidget& window, const QString& path);

} // namespace tarnex
