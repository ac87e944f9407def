#pragma once

#include <QString>
#include <QStringList>

class QPixmap;
class QWidget;

// Start-up services of the monitor's executable, kept out of main() so that the
// tests run the same code.
namespace tarnex {

// Everything main() does once the application object exists: starts the library,
// loads the theme folder, checks that OpenGL is there, reads the options, shows the
// window with its start-up actions and runs the event loop ("--help" and bad option
// values are main()'s, before the application object). Returns the process's exit
// code: 0 normal end or screenshot saved; 1 theme folder not loadable or no OpenGL
// context (a message box, or on a screenshot run a line on standard error; no window
// is built); 2 screenshot not taken or not saved.
int runMonitor(const QStringList& arguments);

// Compiles the embedded icons (":/tarnex/icons/...") into whatever links this library.
void initResources();

// The theme folder beside the executable.
QString themeFolderPath();

// Makes the OpenGL chart controls creatable by type key.
void registerCharts();

// The Windows UI family the monitor asks for is missing here: let a CJK family stand
// in for it so that Chinese text renders with real glyphs.
void substituteFonts();

// An image of the window: the screen's copy of it, or, when the screen gives none
// (or a blank one, as the offscreen platform does), the widget rendered by itself.
QPixmap captureWindow(QWidget& window);

// Writes the window's PNG to path (its folder created when missing). 0 when saved,
// 2 when something other than a regular file stands at path, or the image is empty or
// could not be written whole; then path is as it was.
int saveScreenshot(QWidget& window, const QString& path);

// saveScreenshot, then ends the event loop with its code.
void takeScreenshot(QWidget& window, const QString& path);

} // namespace tarnex
