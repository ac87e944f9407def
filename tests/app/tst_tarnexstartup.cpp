#include "TarnexStartup.h"
#include "specialfiles.h"

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QRegion>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace {

// Runs the executable with a cap on the size of any file it writes, as `ulimit -f` in a
// shell does: a write past the cap raises SIGXFSZ, whose default ends the process.
class FileSizeLimitedProcess : public QProcess {
public:
    explicit FileSizeLimitedProcess(rlim_t limit) : limit(limit) {}

protected:
    void setupChildProcess() override
    {
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit cap{limit, limit};
        setrlimit(RLIMIT_FSIZE, &cap);
    }

private:
    rlim_t limit;
};

// Runs the executable where `folder` (when given) is a read-only file system: an empty
// tmpfs mounted read-only over it in a mount namespace of the child's own. That needs
// the right to mount (root, as CI has it); a child without it ends with 77.
class ReadOnlyFolderProcess : public QProcess {
public:
    explicit ReadOnlyFolderProcess(const QByteArray& folder) : folder(folder) {}

protected:
    void setupChildProcess() override
    {
        if (!folder.isEmpty()
            && (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                || mount("tmpfs", folder.constData(), "tmpfs", MS_RDONLY, "size=16k") != 0))
            _exit(77);
    }

private:
    QByteArray folder;
};

// What the code under test writes to file descriptor 2 while it runs.
class StderrCapture {
public:
    StderrCapture()
    {
        std::fflush(stderr);
        saved = dup(STDERR_FILENO);
        if (file.open())
            dup2(file.handle(), STDERR_FILENO);
    }
    QByteArray finish()
    {
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
        file.seek(0);
        return file.readAll();
    }

private:
    QTemporaryFile file;
    int saved = -1;
};

// Environments of the executable, as "NAME=value" set and "-NAME" removed. The suite
// itself runs without OpenGL; a window's screenshot needs X11 with Mesa's OpenGL.
const QStringList openGL{"QT_QPA_PLATFORM=xcb", "-QT_XCB_GL_INTEGRATION", "-QT_QPA_OFFSCREEN_NO_GLX"};
const QStringList x11WithoutOpenGL{"QT_QPA_PLATFORM=xcb", "QT_XCB_GL_INTEGRATION=none"};
const QStringList offscreenWithoutOpenGL{"QT_QPA_PLATFORM=offscreen", "QT_QPA_OFFSCREEN_NO_GLX=1"};
// The offscreen platform takes OpenGL from the X server when there is one.
const QStringList offscreenWithOpenGL{"QT_QPA_PLATFORM=offscreen", "-QT_QPA_OFFSCREEN_NO_GLX",
                                      "-QT_XCB_GL_INTEGRATION"};
const QStringList noDisplay{"-DISPLAY", "QT_QPA_PLATFORM=xcb"};

// Runs on X11 start Mesa under the sanitizers, seconds each: they run once, in the
// suite's X11 run, not again offscreen.
bool runsHere(const QStringList& environment)
{
    const bool onX = (environment.contains(QStringLiteral("QT_QPA_PLATFORM=xcb")) &&
                      !environment.contains(QStringLiteral("-DISPLAY"))) ||
                     environment.contains(QStringLiteral("-QT_QPA_OFFSCREEN_NO_GLX"));
    return !onX || QGuiApplication::platformName() == QLatin1String("xcb");
}

// A process that ends with the suite, also when the suite is killed or times out.
class ChildProcess : public QProcess {
public:
    ~ChildProcess() override
    {
        if (state() != NotRunning) {
            kill();
            waitForFinished(10000);
        }
    }

protected:
    void setupChildProcess() override { prctl(PR_SET_PDEATHSIG, SIGKILL); }
};

// An X server of its own, with the screens the case needs: Xvfb for one screen; for a
// second, right of the first, Xephyr with Xinerama (Xvfb lays its screens over each
// other). It never resets: a reset whenever the last client leaves would refuse the
// executable's connection if it came just then.
class PrivateDisplay {
public:
    explicit PrivateDisplay(const QSize& screen, const QSize& second = QSize())
    {
        const auto size = [](const QSize& s) { return QStringLiteral("%1x%2").arg(s.width()).arg(s.height()); };
        const QStringList common{"-displayfd", "1", "-nolisten", "tcp", "-noreset"};
        if (!second.isValid()) {
            start(QStringLiteral("Xvfb"), common + QStringList{"-screen", "0", size(screen) + QStringLiteral("x24")});
            return;
        }
        // Each of Xephyr's screens is a window on a host display; side by side on the
        // host's one screen, a pointer sent to the other screen lands where it was
        // sent. Qt takes its screens from RandR where a server has it, and Xephyr's
        // RandR knows one output: without it Qt takes both from Xinerama.
        host = std::make_unique<PrivateDisplay>(
            QSize(screen.width() + second.width(), qMax(screen.height(), second.height())));
        if (host->name.isEmpty())
            return;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), host->name);
        server.setProcessEnvironment(environment);
        start(QStringLiteral("Xephyr"),
              common + QStringList{"-screen", size(screen) + QStringLiteral("+0+0"), "-screen",
                                   size(second) + QStringLiteral("+%1+0").arg(screen.width()), "+xinerama",
                                   "-extension", "RANDR"});
    }
    ~PrivateDisplay()
    {
        server.terminate();
        server.waitForFinished(10000);
    }
    QString name;   // empty when the server did not start

private:
    void start(const QString& program, const QStringList& arguments)
    {
        // The server writes its display number once it takes connections.
        server.start(program, arguments);
        if (QTest::qWaitFor([this] { return server.canReadLine() || server.state() == QProcess::NotRunning; }, 20000)
            && server.canReadLine())
            name = QLatin1Char(':') + QString::fromLatin1(server.readLine().trimmed());
    }

    std::unique_ptr<PrivateDisplay> host;
    ChildProcess server;
};

template<typename Reply>
std::unique_ptr<Reply, decltype(&std::free)> owned(Reply* reply)
{
    return std::unique_ptr<Reply, decltype(&std::free)>(reply, &std::free);
}

// The mapped top-level window of that title (XCB_NONE while there is none); with
// `unmapped`, one that is not mapped as well.
xcb_window_t windowTitled(xcb_connection_t* connection, const QByteArray& title, bool unmapped = false,
                          xcb_window_t parent = XCB_NONE)
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto name =
        owned(xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, 12, "_NET_WM_NAME"), nullptr));
    const auto tree =
        owned(xcb_query_tree_reply(connection, xcb_query_tree(connection, parent ? parent : root), nullptr));
    const xcb_window_t* children = tree ? xcb_query_tree_children(tree.get()) : nullptr;
    for (int i = 0; name && tree && i < xcb_query_tree_children_length(tree.get()); ++i) {
        const auto attributes = owned(
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, children[i]), nullptr));
        const auto property = owned(xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, children[i], name->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
            nullptr));
        if (attributes && (unmapped || attributes->map_state == XCB_MAP_STATE_VIEWABLE) && property
            && QByteArray(static_cast<const char*>(xcb_get_property_value(property.get())),
                          xcb_get_property_value_length(property.get())) == title)
            return children[i];
    }
    // A window manager puts each window into a frame of its own.
    for (int i = 0; !parent && name && tree && i < xcb_query_tree_children_length(tree.get()); ++i)
        if (const xcb_window_t framed = windowTitled(connection, title, unmapped, children[i]))
            return framed;
    return XCB_NONE;
}

// Where the X server has the mapped top-level window of that title (a null rectangle
// while it has none).
QRect windowGeometry(const QString& display, const QByteArray& title)
{
    xcb_connection_t* connection = xcb_connect(display.toLatin1().constData(), nullptr);
    QRect found;
    if (!xcb_connection_has_error(connection)) {
        if (const xcb_window_t window = windowTitled(connection, title)) {
            const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
            const auto geometry =
                owned(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
            // On the root, also within a window manager's frame.
            const auto onRoot = owned(xcb_translate_coordinates_reply(
                connection, xcb_translate_coordinates(connection, window, root, 0, 0), nullptr));
            if (geometry && onRoot)
                found = QRect(onRoot->dst_x, onRoot->dst_y, geometry->width, geometry->height);
        }
    }
    xcb_disconnect(connection);
    return found;
}

// Moves the window of that title as a window manager does (there is none on these
// servers): the server places it and tells the window where it is now.
bool moveWindow(const QString& display, const QByteArray& title, const QPoint& to)
{
    xcb_connection_t* connection = xcb_connect(display.toLatin1().constData(), nullptr);
    bool moved = false;
    if (!xcb_connection_has_error(connection)) {
        if (const xcb_window_t window = windowTitled(connection, title)) {
            const quint32 position[] = {quint32(to.x()), quint32(to.y())};
            xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, position);
            free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
            moved = true;
        }
    }
    xcb_disconnect(connection);
    return moved;
}

xcb_atom_t atomNamed(xcb_connection_t* connection, const char* name)
{
    const auto reply = owned(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, quint16(strlen(name)), name), nullptr));
    return reply ? reply->atom : XCB_ATOM_NONE;
}

// The pixels the X server shows on its screen.
QImage screenImage(const QString& display)
{
    xcb_connection_t* connection = xcb_connect(display.toLatin1().constData(), nullptr);
    QImage image;
    if (!xcb_connection_has_error(connection)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            connection,
            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, 0, 0, screen->width_in_pixels,
                          screen->height_in_pixels, ~0U),
            nullptr);
        if (reply && screen->root_depth == 24 && xcb_get_image_data_length(reply) >= 4 * screen->width_in_pixels
                                                                                      * screen->height_in_pixels)
            image = QImage(xcb_get_image_data(reply), screen->width_in_pixels, screen->height_in_pixels,
                           QImage::Format_RGB32)
                        .copy();
        std::free(reply);
    }
    xcb_disconnect(connection);
    return image;
}

// The operator's mouse, as the X server's test extension moves and presses it. Runs
// `input` with a connection to the server and its root window; false when it cannot
// connect or `input` says so.
template<typename Input>
bool operate(const QString& display, Input input)
{
    xcb_connection_t* connection = xcb_connect(display.toLatin1().constData(), nullptr);
    bool done = false;
    if (!xcb_connection_has_error(connection)) {
        done = input(connection, xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root);
        free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    xcb_disconnect(connection);
    return done;
}

void fakeButton(xcb_connection_t* connection, quint8 type, quint8 button)
{
    xcb_test_fake_input(connection, type, button, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
}

// Moves the pointer to a point of the screen; whether it got there.
bool pointTo(xcb_connection_t* connection, xcb_window_t root, const QPoint& at)
{
    xcb_test_fake_input(connection, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, qint16(at.x()), qint16(at.y()), 0);
    const auto pointer = owned(xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr));
    return pointer && QPoint(pointer->root_x, pointer->root_y) == at;
}

// At a point of the screen, `clicks` presses and releases of the button (4 and 5 turn
// the wheel). False, pressing nothing, when the pointer did not get there.
bool pressAt(const QString& display, const QPoint& at, int clicks, quint8 button = 1)
{
    return operate(display, [&](xcb_connection_t* connection, xcb_window_t root) {
        if (!pointTo(connection, root, at))
            return false;
        for (int i = 0; i < clicks; ++i) {
            fakeButton(connection, XCB_BUTTON_PRESS, button);
            fakeButton(connection, XCB_BUTTON_RELEASE, button);
        }
        return true;
    });
}

// Client messages to the root reach this connection from now on: a window's requests
// to the window manager go there.
void watchRoot(xcb_connection_t* connection, xcb_window_t root)
{
    const quint32 mask[] = {XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, mask);
}

// Waits for a client message to the root that `wanted` picks out (a window's request to
// the window manager, or its answer), on a connection that watches the root (watchRoot).
template<typename Wanted>
bool rootMessage(xcb_connection_t* connection, Wanted wanted)
{
    bool seen = false;
    static_cast<void>(QTest::qWaitFor(
        [&] {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
                seen |= (event->response_type & 0x7f) == XCB_CLIENT_MESSAGE
                    && wanted(*reinterpret_cast<xcb_client_message_event_t*>(event));
                std::free(event);
            }
            return seen;
        },
        10000));
    return seen;
}

// Sets the ICCCM state a window manager gives a window (1 normal, 3 iconic), maps or
// unmaps it to match, and waits until its client has read the state: it answers the
// window manager's ping (_NET_WM_PING) in turn with the events before it. (Qt reads the
// state when it handles the change: a state changed again before would go unseen.)
bool setWindowManagerState(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window, quint32 state)
{
    watchRoot(connection, root);
    const xcb_atom_t wmState = atomNamed(connection, "WM_STATE");
    const quint32 value[] = {state, XCB_NONE};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, wmState, wmState, 32, 2, value);
    if (state == 3)
        xcb_unmap_window(connection, window);
    else
        xcb_map_window(connection, window);
    const xcb_atom_t protocols = atomNamed(connection, "WM_PROTOCOLS");
    const xcb_atom_t pingAtom = atomNamed(connection, "_NET_WM_PING");
    xcb_client_message_event_t ping = {};
    ping.response_type = XCB_CLIENT_MESSAGE;
    ping.format = 32;
    ping.window = window;
    ping.type = protocols;
    ping.data.data32[0] = pingAtom;
    ping.data.data32[1] = XCB_CURRENT_TIME;
    ping.data.data32[2] = window;
    xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ping));
    xcb_flush(connection);
    return rootMessage(connection, [&](const xcb_client_message_event_t& message) {
        return message.type == protocols && message.data.data32[0] == pingAtom && message.data.data32[2] == window;
    });
}

// A click at a point that asks the window of that title to minimise, and the window
// manager's answer: once the window sent the request (ICCCM's WM_CHANGE_STATE to the
// root), it is unmapped and iconic. False when no request came.
bool minimiseBy(const QString& display, const QByteArray& title, const QPoint& at)
{
    return operate(display, [&](xcb_connection_t* connection, xcb_window_t root) {
        const xcb_window_t window = windowTitled(connection, title);
        watchRoot(connection, root);
        if (!window || !pointTo(connection, root, at))
            return false;
        fakeButton(connection, XCB_BUTTON_PRESS, 1);
        fakeButton(connection, XCB_BUTTON_RELEASE, 1);
        xcb_flush(connection);
        const xcb_atom_t changeState = atomNamed(connection, "WM_CHANGE_STATE");
        return rootMessage(connection,
                           [&](const xcb_client_message_event_t& message) {
                               return message.window == window && message.type == changeState
                                   && message.data.data32[0] == 3;
                           })
            && setWindowManagerState(connection, root, window, 3);
    });
}

// The window manager restores the minimised window of that title.
bool restoreWindow(const QString& display, const QByteArray& title)
{
    return operate(display, [&](xcb_connection_t* connection, xcb_window_t root) {
        const xcb_window_t window = windowTitled(connection, title, true);
        return window && setWindowManagerState(connection, root, window, 1);
    });
}

// Presses the left button at a point and moves by `by` in steps, as a hand drags;
// releases it once `followed` says the window saw the moves.
template<typename Followed>
bool dragFrom(const QString& display, const QPoint& at, const QPoint& by, Followed followed)
{
    const bool pressed = operate(display, [&](xcb_connection_t* connection, xcb_window_t root) {
        if (!pointTo(connection, root, at))
            return false;
        fakeButton(connection, XCB_BUTTON_PRESS, 1);
        for (int step = 1; step <= 10; ++step)
            pointTo(connection, root, at + by * step / 10);
        return true;
    });
    const bool seen = pressed && followed();
    if (pressed)
        operate(display, [](xcb_connection_t* connection, xcb_window_t) {
            fakeButton(connection, XCB_BUTTON_RELEASE, 1);
            return true;
        });
    return seen;
}

// Gives the X server's screen a new size through RandR, as a change of display mode
// does: the size becomes a mode of the server's one output (Xvfb lists only the one it
// started with) and the screen takes it.
bool resizeScreen(const QString& display, const QSize& size)
{
    const QString mode = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
    const auto xrandr = [&display](const QStringList& arguments) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        process.start(QStringLiteral("xrandr"), QStringList{"-display", display} + arguments);
        return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    };
    QStringList timings{mode, QStringLiteral("60")};
    for (int length : {size.width(), size.height()})
        for (int step = 0; step < 4; ++step)
            timings << QString::number(length + step);
    // The mode stays with the server: naming it again fails, harmlessly.
    xrandr(QStringList{"--newmode"} + timings);
    xrandr({"--addmode", "screen", mode});
    return xrandr({"--output", "screen", "--mode", mode, "--fb", mode});
}

// How many rows of the screen the Acknowledge button's fill spans across half the
// drawer's width.
int acknowledgeButtonRows(const QImage& screen)
{
    constexpr QRgb fill = 0xff968bff;   // (150, 139, 255)
    int rows = 0;
    for (int y = 0; y < screen.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(screen.constScanLine(y));
        rows += std::count_if(line, line + screen.width(), [](QRgb pixel) { return (pixel | 0xff000000) == fill; })
            >= 195;
    }
    return rows;
}

void startTarnexAt(QProcess& process, const QString& executable, const QStringList& arguments,
                   const QStringList& environment)
{
    QProcessEnvironment childEnvironment = QProcessEnvironment::systemEnvironment();
    for (const QString& edit : environment) {
        if (edit.startsWith(QLatin1Char('-')))
            childEnvironment.remove(edit.mid(1));
        else
            childEnvironment.insert(edit.section(QLatin1Char('='), 0, 0), edit.section(QLatin1Char('='), 1));
    }
    process.setProcessEnvironment(childEnvironment);
    process.start(executable, arguments);
}

void startTarnex(QProcess& process, const QStringList& arguments, const QStringList& environment)
{
    startTarnexAt(process, QStringLiteral(TARNEX_EXECUTABLE), arguments, environment);
}

} // namespace

// The executable is run as a user runs it; the theme-failure path runs in this
// process, where the test can close the modal box that it raises.
class tst_TarnexStartup : public QObject {
    Q_OBJECT
private slots:
    void unloadableThemeEndsWithOne_data();
    void unloadableThemeEndsWithOne();
    void executableExitCodes_data();
    void executableExitCodes();
    void badScreenshotPathStartsNothing_data();
    void badScreenshotPathStartsNothing();
    void screenshotLeavesSpecialFiles_data();
    void screenshotLeavesSpecialFiles();
    void failedScreenshotWriteKeepsNoPartialFile_data();
    void failedScreenshotWriteKeepsNoPartialFile();
    void windowFitsScreen_data();
    void windowFitsScreen();
};

void tst_TarnexStartup::unloadableThemeEndsWithOne_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("box");          // else the message goes to standard error
    QTest::addColumn<QString>("damage");    // to a copy of the theme beside a copy of the
                                            // executable ("style.json:" with the text
                                            // that replaces it, else theme.json's);
                                            // empty: no theme folder here
    QTest::addColumn<QByteArray>("cause");  // the line after the folder's

    QTest::newRow("interactive: message box") << QStringList{"tarnex", "--zh"} << true << QString() << QByteArray();
    // Nobody is there to click a box: it would wait forever.
    QTest::newRow("screenshot run: standard error")
        << QStringList{"tarnex", "--screenshot", "never.png"} << false << QString() << QByteArray();
    // The library loads a folder without usable theme elements; the window would run
    // on a grey ground with its alarms in plain black.
    const QStringList shot{"--screenshot", "never.png"};
    QTest::newRow("style.json missing") << shot << false << "no style.json"
                                        << QByteArray("/style.json: No such file or directory");
    QTest::newRow("style.json empty") << shot << false << "style.json:" << QByteArray("/style.json: it is empty");
    QTest::newRow("style.json cut short") << shot << false << "style.json cut short"
                                          << QByteArray("/style.json: it does not parse as JSON");
    QTest::newRow("style.json without its array") << shot << false << R"(style.json:{"styles": []})"
                                                  << QByteArray("/style.json: it has no \"style\" array");
    QTest::newRow("theme folder a file") << shot << false << "folder a file" << QByteArray(": Not a directory");
    QTest::newRow("theme.json missing") << shot << false << "no theme.json"
                                        << QByteArray("/theme.json: No such file or directory");
    QTest::newRow("theme.json unreadable") << shot << false << "unreadable"
                                           << QByteArray("/theme.json: Permission denied");
    QTest::newRow("theme.json a link to itself") << shot << false << "link loop"
                                                 << QByteArray("/theme.json: Too many levels of symbolic links");
    QTest::newRow("theme.json does not parse") << shot << false << R"({"elements": [{"child": [)"
                                               << QByteArray("/theme.json: it does not parse as JSON");
    QTest::newRow("theme.json an empty list") << shot << false << "[]"
                                              << QByteArray("/theme.json: it gives none of the window's theme "
                                                            "elements (\"KolvCard\", \"KolvCardAlt\", \"KolvClear\" "
                                                            "and 37 more)");
}

void tst_TarnexStartup::unloadableThemeEndsWithOne()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, box);
    QFETCH(QString, damage);
    QFETCH(QByteArray, cause);

    if (!damage.isEmpty()) {
        // Where OpenGL is there, so that a run that does not stop for its theme goes on
        // to write the PNG and end with 0.
        if (!runsHere(openGL))
            QSKIP("runs on X11 only, in the suite's X11 run");
        if (damage == QLatin1String("unreadable") && geteuid() == 0)
            QSKIP("file permissions do not bind root");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString executable = dir.filePath(QStringLiteral("tarnex"));
        const QString folder = dir.filePath(QStringLiteral("refinery-theme"));
        QVERIFY(QFile::copy(QStringLiteral(TARNEX_EXECUTABLE), executable) && QDir().mkpath(folder));
        for (const QString& name : QDir(QStringLiteral(TARNEX_THEME_DIR)).entryList(QDir::Files))
            QVERIFY(QFile::copy(QStringLiteral(TARNEX_THEME_DIR "/") + name, folder + QLatin1Char('/') + name));
        QFile theme(folder + QStringLiteral("/theme.json"));
        QVERIFY(theme.open(QIODevice::ReadOnly));
        QByteArray text = theme.readAll();
        theme.close();
        QFile style(folder + QStringLiteral("/style.json"));
        if (damage == QLatin1String("no style.json")) {
            QVERIFY(style.remove());
        } else if (damage == QLatin1String("style.json cut short")) {
            QVERIFY(style.resize(style.size() / 2));
        } else if (damage.startsWith(QLatin1String("style.json:"))) {
            const QByteArray styles = damage.mid(11).toUtf8();
            QVERIFY(style.open(QIODevice::WriteOnly | QIODevice::Truncate) && style.write(styles) == styles.size());
            style.close();
        } else if (damage == QLatin1String("folder a file")) {
            QFile plain(folder);
            QVERIFY(QDir(folder).removeRecursively() && plain.open(QIODevice::WriteOnly));
        } else if (damage == QLatin1String("no theme.json")) {
            QVERIFY(theme.remove());
        } else if (damage == QLatin1String("unreadable")) {
            QVERIFY(theme.setPermissions(QFileDevice::WriteOwner));
        } else if (damage == QLatin1String("link loop")) {
            QVERIFY(theme.remove() && QFile::link(QStringLiteral("theme.json"), theme.fileName()));
        } else {
            text = damage.toUtf8();
            QVERIFY(theme.open(QIODevice::WriteOnly | QIODevice::Truncate) && theme.write(text) == text.size());
            theme.close();
        }
        QProcess process;
        process.setWorkingDirectory(dir.path());
        startTarnexAt(process, executable, arguments, openGL);
        QVERIFY2(process.waitForFinished(60000), "tarnex did not end by itself");
        const QByteArray printed = process.readAllStandardError();
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 1, printed.constData());
        const QByteArray message = "Unable to load the Tarnex theme from:\n" + QFile::encodeName(folder) + '\n';
        QVERIFY2(printed.contains(message + (cause.isEmpty() ? QByteArray() : QFile::encodeName(folder) + cause)),
                 printed.constData());
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("never.png"))));
        return;
    }

    // No "refinery-theme" lies beside the test executable.
    QVERIFY(!QFileInfo::exists(tarnex::themeFolderPath()));
    const QString message = QStringLiteral("Unable to load the Tarnex theme from:\n%1").arg(tarnex::themeFolderPath());
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = shown->windowTitle();
            text = shown->text();
            format = shown->textFormat();
            shown->done(QMessageBox::Ok);
        }
    });
    closer.start(20);
    StderrCapture capture;
    const int code = tarnex::runMonitor(arguments);
    const QByteArray printed = capture.finish();
    closer.stop();
    QCOMPARE(code, 1);
    if (box) {
        QCOMPARE(title, QStringLiteral("Tarnex"));
        QCOMPARE(text, message);
        QCOMPARE(format, Qt::PlainText);   // a folder's name is never read as HTML
    } else {
        QVERIFY2(title.isEmpty(), "a message box was shown");
        QVERIFY2(printed.contains(message.toLocal8Bit()), printed.constData());
    }
}

void tst_TarnexStartup::executableExitCodes_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("shot");      // relative to a fresh folder, its "read-only"
                                            // a read-only file system; empty: unwritable;
                                            // "-": an interactive run
    QTest::addColumn<int>("code");
    QTest::addColumn<QSize>("imageSize");
    QTest::addColumn<QByteArray>("output");     // expected on standard output
    QTest::addColumn<QByteArray>("errors");     // expected on standard error
    QTest::addColumn<QStringList>("environment");

    // Mesa's driver is loaded, and unloaded before the leak checker runs.
    QTest::newRow("default size, folder created") << QStringList{} << QStringLiteral("out/nested/shot.png") << 0
                                                  << QSize(1440, 900) << QByteArray() << QByteArray() << openGL;
    QTest::newRow("raised to the minimum") << QStringList{"--size", "800x600"} << QStringLiteral("small.png") << 0
                                           << QSize(1280, 720) << QByteArray() << QByteArray() << openGL;
    QTest::newRow("empty height raised") << QStringList{"--size", "1500x"} << QStringLiteral("wide.png") << 0
                                         << QSize(1500, 720) << QByteArray() << QByteArray() << openGL;
    QTest::newRow("plant page in Chinese") << QStringList{"--page", "plant", "--zh"} << QStringLiteral("zh.png") << 0
                                           << QSize(1440, 900) << QByteArray() << QByteArray() << openGL;
    QTest::newRow("unwritable path") << QStringList{} << QString() << 2 << QSize() << QByteArray()
                                     << QByteArray("blocker/shot.png: Not a directory.") << openGL;
    // Not the missing folder the save then finds.
    QTest::newRow("new folder on a read-only file system")
        << QStringList{} << QStringLiteral("read-only/new/shot.png") << 2 << QSize() << QByteArray()
        << QByteArray("read-only/new/shot.png: Read-only file system.") << openGL;
    // Answered without a display.
    QTest::newRow("help names the size limit, starts nothing")
        << QStringList{"--help"} << QStringLiteral("help.png") << 0 << QSize() << QByteArray("at most 6144")
        << QByteArray() << noDisplay;
    // Qt would abort (SIGABRT) without one.
    const QByteArray noServer("tarnex: no display could be opened");
    QTest::newRow("no DISPLAY") << QStringList{} << QStringLiteral("shot.png") << 1 << QSize() << QByteArray()
                                << noServer + ": DISPLAY is not set" << noDisplay;
    QTest::newRow("no DISPLAY, default platform, interactive")
        << QStringList{} << QStringLiteral("-") << 1 << QSize() << QByteArray() << noServer
        << QStringList{"-DISPLAY", "-QT_QPA_PLATFORM"};
    QTest::newRow("DISPLAY set and empty")
        << QStringList{} << QStringLiteral("shot.png") << 1 << QSize() << QByteArray()
        << noServer + ": DISPLAY is empty" << QStringList{"DISPLAY=", "-QT_QPA_PLATFORM"};
    QTest::newRow("DISPLAY naming no server")
        << QStringList{"--zh"} << QStringLiteral("shot.png") << 1 << QSize() << QByteArray()
        << noServer + ": no X server answers at \":8913\"" << QStringList{"DISPLAY=:8913", "-QT_QPA_PLATFORM"};
    // Qt would compose the whole window through OpenGL: black, and the charts missing
    // from the screenshot.
    const QByteArray noContext("Unable to create an OpenGL context: the Tarnex charts need OpenGL 2.0 or later.");
    QTest::newRow("X11 without OpenGL") << QStringList{} << QStringLiteral("black.png") << 1 << QSize()
                                        << QByteArray() << noContext << x11WithoutOpenGL;
    QTest::newRow("offscreen without OpenGL") << QStringList{"--page", "plant"} << QStringLiteral("black.png") << 1
                                              << QSize() << QByteArray() << noContext << offscreenWithoutOpenGL;
    // The context is there, but the platform composes the charts' frames into buffers
    // that no screen shows: the PNG would lack them.
    const QByteArray noCharts("Unable to draw the Tarnex charts: they need OpenGL 2.0 or later");
    QTest::newRow("offscreen with OpenGL") << QStringList{} << QStringLiteral("nocharts.png") << 1 << QSize()
                                           << QByteArray() << noCharts << offscreenWithOpenGL;
}

void tst_TarnexStartup::executableExitCodes()
{
    QFETCH(QStringList, options);
    QFETCH(QString, shot);
    QFETCH(int, code);
    QFETCH(QSize, imageSize);
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, errors);
    QFETCH(QStringList, environment);
    if (!runsHere(environment))
        QSKIP("runs on X11 only, in the suite's X11 run");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path;
    if (shot.isEmpty()) {
        // A plain file stands where the folder should be: neither created nor written.
        QFile blocker(dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        path = dir.filePath(QStringLiteral("blocker/shot.png"));
    } else {
        path = dir.filePath(shot);
    }
    QByteArray readOnly;
    if (shot.startsWith(QLatin1String("read-only/"))) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("read-only")));
        readOnly = QFile::encodeName(dir.filePath(QStringLiteral("read-only")));
    }

    ReadOnlyFolderProcess process(readOnly);
    startTarnex(process, shot == QLatin1String("-") ? options : options + QStringList{"--screenshot", path},
                environment);
    QVERIFY2(process.waitForFinished(60000), "tarnex did not end by itself");
    if (!readOnly.isEmpty() && process.exitCode() == 77)
        QSKIP("no read-only file system can be mounted here");
    const QByteArray printed = process.readAllStandardError();
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == code, printed.constData());
    QVERIFY(process.readAllStandardOutput().contains(output));
    QVERIFY2(printed.contains(errors), printed.constData());
    if (!imageSize.isValid()) {
        QVERIFY(!QFileInfo::exists(path));
        return;
    }
    QImage image(path, "PNG");
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), imageSize);
}

// An unattended run without a path would open the interactive monitor and wait for
// ever: it ends at once, before anything needs a display.
void tst_TarnexStartup::badScreenshotPathStartsNothing_data()
{
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("empty path") << QStringList{"--screenshot", ""};
    QTest::newRow("no path") << QStringList{"--zh", "--screenshot"};
    QTest::newRow("empty after a path") << QStringList{"--screenshot", "shot.png", "--screenshot", ""};
}

void tst_TarnexStartup::badScreenshotPathStartsNothing()
{
    QFETCH(QStringList, arguments);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess process;
    process.setWorkingDirectory(dir.path());
    startTarnex(process, arguments, noDisplay);
    QVERIFY2(process.waitForFinished(60000), "tarnex did not end by itself");
    const QByteArray printed = process.readAllStandardError();
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 2, printed.constData());
    QVERIFY2(printed.contains("--screenshot needs the path of the PNG to write"), printed.constData());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

// The PNG is renamed over the target: a FIFO or a device node there, also behind a
// symbolic link, would be replaced by a plain file.
void tst_TarnexStartup::screenshotLeavesSpecialFiles_data()
{
    QTest::addColumn<bool>("device");
    QTest::addColumn<bool>("viaLink");

    QTest::newRow("FIFO") << false << false;
    QTest::newRow("link to a FIFO") << false << true;
    QTest::newRow("device node") << true << false;
    QTest::newRow("link to a device node") << true << true;
}

void tst_TarnexStartup::screenshotLeavesSpecialFiles()
{
    QFETCH(bool, device);
    QFETCH(bool, viaLink);
    if (!runsHere(openGL))
        QSKIP("runs on X11 only, in the suite's X11 run");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString special = dir.filePath(QStringLiteral("special"));
    const QString target = viaLink ? dir.filePath(QStringLiteral("shot.png")) : special;
    if (!specialfiles::nodeAt(special, device, target))
        QSKIP("no device node or FIFO can be made here");

    QProcess process;
    startTarnex(process, {"--screenshot", target}, openGL);
    QVERIFY2(process.waitForFinished(60000), "tarnex did not end by itself");
    const QByteArray printed = process.readAllStandardError();
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 2, printed.constData());
    QVERIFY2(printed.contains("not a regular file"), printed.constData());
    QVERIFY(specialfiles::isNode(special, device));
    QCOMPARE(QFileInfo(target).isSymLink(), viaLink);
    // Nothing half-written stays behind under another name.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden).size(),
             viaLink ? 2 : 1);
}

void tst_TarnexStartup::failedScreenshotWriteKeepsNoPartialFile_data()
{
    QTest::addColumn<double>("room");   // the file size cap, in PNGs of the default window
    QTest::addColumn<int>("shortBy");   // bytes below that
    QTest::addColumn<bool>("oldFile");

    QTest::newRow("no room") << 0.0 << 0 << false;
    QTest::newRow("no room, old file kept") << 0.0 << 0 << true;
    QTest::newRow("half") << 0.5 << 0 << false;
    // The last buffered chunk fails: the image writer saw every write succeed.
    QTest::newRow("just below the PNG") << 1.0 << 1024 << false;
    QTest::newRow("just below the PNG, old file kept") << 1.0 << 1024 << true;
    QTest::newRow("room enough") << 2.0 << 0 << true;
}

void tst_TarnexStartup::failedScreenshotWriteKeepsNoPartialFile()
{
    QFETCH(double, room);
    QFETCH(int, shortBy);
    QFETCH(bool, oldFile);
    if (!runsHere(openGL))
        QSKIP("runs on X11 only, in the suite's X11 run");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // The live values vary the PNG's size by a few dozen bytes between runs.
    static qint64 pngSize = 0;
    if (pngSize == 0) {
        const QString reference = dir.filePath(QStringLiteral("reference.png"));
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        startTarnex(process, {"--screenshot", reference}, openGL);
        QVERIFY2(process.waitForFinished(60000), "tarnex did not end by itself");
        QCOMPARE(process.exitCode(), 0);
        pngSize = QFileInfo(reference).size();
        QVERIFY(pngSize > 64 * 1024);
    }

    const QString path = dir.filePath(QStringLiteral("shot.png"));
    const QByteArray old("an older screenshot");
    if (oldFile) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(old), qint64(old.size()));
    }
    const auto limit = rlim_t(room * double(pngSize)) - rlim_t(shortBy);
    FileSizeLimitedProcess process(limit);
    startTarnex(process, {"--screenshot", path}, openGL);
    QVERIFY2(process.waitForFinished(60000), "tarnex did not end by itself");
    const QByteArray printed = process.readAllStandardError();
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    // The live values change the PNG's size from run to run, by more under load: a shot
    // that came out below the cap may be saved, but then whole.
    const bool saved = room > 1.0 || (process.exitCode() == 0 && QFileInfo(path).size() <= qint64(limit));
    QCOMPARE(process.exitCode(), saved ? 0 : 2);
    // As a full disk would, the cap makes the write fail; the run says where and why.
    if (!saved)
        QVERIFY2(printed.contains("Cannot write the screenshot to " + QFile::encodeName(path) + ": File too large."),
                 printed.constData());
    if (saved) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY2(file.readAll().endsWith(QByteArray("IEND\xAE\x42\x60\x82", 8)), "the PNG ends early");
        QCOMPARE(QImage(path, "PNG").size(), QSize(1440, 900));
    } else if (oldFile) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
    } else {
        QVERIFY(!QFileInfo::exists(path));
    }
    // Nothing half-written stays behind under another name either.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("shot")),
             saved || oldFile ? QStringList{"shot.png"} : QStringList{});
}

void tst_TarnexStartup::windowFitsScreen_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("second");   // a screen right of it; none when not valid
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QRect>("expected");    // the window's geometry, or the PNG's size
    QTest::addColumn<bool>("screenshot");
    // What the operator or the display does then, and the window's geometry after each
    // (none while it is minimised). The whole window lies on the screens after each.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<QRect>>("after");
    // Before the executable starts: "openbox" runs as the window manager, "pointer at
    // X,Y" puts the pointer there.
    QTest::addColumn<QStringList>("before");

    const QRect small(0, 0, 1024, 600);
    const QRect large(0, 0, 1920, 1080);
    // Its top bar, with the drag area and the window buttons, and its borders on the
    // screen.
    QTest::newRow("laptop screen") << QSize(1366, 768) << QSize() << QStringList{} << QStringList{}
                                   << QRect(0, 0, 1366, 768) << false << QStringList{} << QList<QRect>{} << QStringList{};
    QTest::newRow("laptop screen, larger size asked for")
        << QSize(1366, 768) << QSize() << QStringList{"--size", "2560x1440"} << QStringList{}
        << QRect(0, 0, 1366, 768) << false << QStringList{} << QList<QRect>{} << QStringList{};
    QTest::newRow("screen below the minimum: maximised")
        << QSize(1024, 600) << QSize() << QStringList{} << QStringList{} << small << false << QStringList{}
        << QList<QRect>{} << QStringList{};
    QTest::newRow("large screen: centred") << QSize(1920, 1080) << QSize() << QStringList{} << QStringList{}
                                           << QRect(240, 90, 1440, 900) << false << QStringList{} << QList<QRect>{} << QStringList{};
    QTest::newRow("screenshot keeps the size asked for")
        << QSize(1366, 768) << QSize() << QStringList{"--size", "1920x1080"} << QStringList{}
        << QRect(0, 0, 1920, 1080) << true << QStringList{} << QList<QRect>{} << QStringList{};
    // Restored to its minimum, the window would reach past the screen with its own
    // buttons.
    QTest::newRow("below the minimum: maximise button keeps it maximised")
        << QSize(1024, 600) << QSize() << QStringList{} << QStringList{} << small << false
        << QStringList{"maximise button"} << QList<QRect>{small} << QStringList{};
    QTest::newRow("below the minimum: top bar double click keeps it maximised")
        << QSize(1024, 600) << QSize() << QStringList{} << QStringList{} << small << false
        << QStringList{"top bar double click"} << QList<QRect>{small} << QStringList{};
    QTest::newRow("scaled by 2, below the minimum: restore keeps it maximised")
        << QSize(1920, 1080) << QSize() << QStringList{} << QStringList{"QT_SCALE_FACTOR=2"} << large << false
        << QStringList{"maximise button", "top bar double click"} << QList<QRect>{large, large} << QStringList{};
    // Held as at start: within the new area, maximised below the minimum, and given its
    // own size back once the screen holds it again.
    QTest::newRow("screen resized while running")
        << QSize(1920, 1080) << QSize() << QStringList{} << QStringList{} << QRect(240, 90, 1440, 900) << false
        << QStringList{"screen 1280x720", "screen 1024x600", "maximise button", "screen 1920x1080",
                       "maximise button"}
        << QList<QRect>{QRect(0, 0, 1280, 720), small, small, large, QRect(0, 0, 1280, 720)} << QStringList{};
    // Held wherever its geometry settles: after a restore from minimised, where the
    // screen changed in the meantime, and after its own moves within the screen.
    const QRect onScreen(0, 0, 1280, 720);
    QTest::newRow("screen resized while minimised")
        << QSize(1920, 1080) << QSize() << QStringList{} << QStringList{} << QRect(240, 90, 1440, 900) << false
        << QStringList{"minimise button", "screen 1280x720", "restored", "minimise button", "screen 1024x600",
                       "restored", "maximise button"}
        << QList<QRect>{QRect(), QRect(), onScreen, QRect(), QRect(), small, small} << QStringList{};
    QTest::newRow("top bar dragged above the screen, border past its edge")
        << QSize(1920, 1080) << QSize() << QStringList{} << QStringList{} << QRect(240, 90, 1440, 900) << false
        << QStringList{"top bar drag by 0,-120", "top bar drag by -400,0", "right border drag by 300,0",
                       "maximise button", "maximise button"}
        << QList<QRect>{QRect(240, 0, 1440, 900), QRect(0, 0, 1440, 900), QRect(0, 0, 1740, 900), large,
                        QRect(0, 0, 1740, 900)} << QStringList{};
    // Narrow screens: the top bar keeps every window button and the language buttons
    // whole, and each takes its click.
    for (const QSize narrow : {QSize(900, 600), QSize(800, 600)})
        QTest::addRow("narrow screen %dx%d: every window button takes its click", narrow.width(), narrow.height())
            << narrow << QSize() << QStringList{} << QStringList{} << QRect(QPoint(0, 0), narrow) << false
            << QStringList{"maximise button", "minimise button", "restored", "close button"}
            << QList<QRect>{QRect(QPoint(0, 0), narrow), QRect(), QRect(QPoint(0, 0), narrow), QRect()} << QStringList{};
    QTest::newRow("below the minimum: the drawer's button shows whole")
        << QSize(1024, 600) << QSize() << QStringList{"--page", "plant", "--drawer"} << QStringList{} << small << false
        << QStringList{"plant page scrolled to its end"} << QList<QRect>{small} << QStringList{};
    // Two screens of different sizes. A window taken to the other screen is held to it,
    // by its own drag as by the window manager, and its buttons act on the screen it is
    // on.
    const QSize hd(1920, 1080);
    const QSize secondScreen(1280, 720);
    const QRect centred(240, 90, 1440, 900);
    const QRect onSecond(1920, 0, 1280, 720);
    QTest::newRow("two screens: dragged by its top bar onto the smaller one")
        << hd << secondScreen << QStringList{} << QStringList{} << centred << false
        << QStringList{"top bar drag by 1700,0"} << QList<QRect>{onSecond} << QStringList{};
    QTest::newRow("two screens: maximised on the smaller one, then back on the larger")
        << hd << secondScreen << QStringList{} << QStringList{} << centred << false
        << QStringList{"moved to 1920,0", "maximise button", "maximise button", "moved to 100,100",
                       "maximise button"}
        << QList<QRect>{onSecond, onSecond, onSecond, QRect(100, 100, 1280, 720), large} << QStringList{};
    // Its corner in the empty area below the smaller screen: held within the screen its
    // centre is on, and maximised and restored there.
    QTest::newRow("two screens: maximised and restored from across both")
        << hd << secondScreen << QStringList{} << QStringList{} << centred << false
        << QStringList{"moved to 1000,100", "maximise button", "maximise button"}
        << QList<QRect>{QRect(480, 100, 1440, 900), large, QRect(480, 100, 1440, 900)} << QStringList{};
    // Across both screens where both reach, it stays; past the desktop or into the empty
    // corner it is held, moved by the window manager or by its own top bar and border.
    QTest::newRow("two screens: moves within and across the screens")
        << hd << secondScreen << QStringList{} << QStringList{} << centred << false
        << QStringList{"moved to 1920,0", "moved to 2500,300", "top bar drag by -600,0", "moved to 1500,500"}
        << QList<QRect>{onSecond, onSecond, QRect(1320, 0, 1280, 720), onSecond} << QStringList{};
    QTest::newRow("two screens: dragged and resized into the empty corner")
        << hd << secondScreen << QStringList{} << QStringList{} << centred << false
        << QStringList{"top bar drag by 600,0", "right border drag by 623,0"}
        << QList<QRect>{QRect(480, 90, 1440, 900), QRect(0, 90, 1920, 900)} << QStringList{};
    // Under a window manager. Opened on the screen under the pointer, held to it; a
    // press that ends off a maximised window leaves the next click whole; a slow border
    // drag into the empty corner never jumps back against the window manager while the
    // button is down, and is held once released.
    const QStringList openbox{"openbox", "pointer at 500,500"};
    QTest::newRow("two screens: opened under the pointer on the smaller one")
        << hd << secondScreen << QStringList{} << QStringList{} << onSecond << false << QStringList{}
        << QList<QRect>{} << QStringList{"pointer at 2500,300"};
    QTest::newRow("two screens, window manager: opened under the pointer on the smaller one")
        << hd << secondScreen << QStringList{} << QStringList{} << onSecond << false
        << QStringList{"maximise button", "maximise button"} << QList<QRect>{onSecond, onSecond}
        << QStringList{"openbox", "pointer at 2500,300"};
    QTest::newRow("two screens, window manager: one click after a press released off the maximised window")
        << hd << secondScreen << QStringList{} << QStringList{} << centred << false
        << QStringList{"maximise button", "press on the top bar released at 2500,300", "close button"}
        << QList<QRect>{large, large, QRect()} << openbox;
    QTest::newRow("two screens, window manager: slow right border drag into the empty corner")
        << hd << secondScreen << QStringList{} << QStringList{} << centred << false
        << QStringList{"right border slow drag by 900,0"} << QList<QRect>{QRect(0, 90, 1920, 900)} << openbox;
}

// The executable on an X server whose screen is the size under test, its window's
// geometry read back from the server; input enters as the operator's does, through the
// server.
void tst_TarnexStartup::windowFitsScreen()
{
    QFETCH(QSize, screen);
    QFETCH(QSize, second);
    QFETCH(QStringList, options);
    QFETCH(QStringList, environment);
    QFETCH(QRect, expected);
    QFETCH(bool, screenshot);
    QFETCH(QStringList, steps);
    QFETCH(QList<QRect>, after);
    QFETCH(QStringList, before);
    if (!runsHere(openGL))
        QSKIP("runs on X11 only, in the suite's X11 run");
    // Two screens are Xephyr's inside an Xvfb.
    QStringList programs = second.isValid() ? QStringList{"Xvfb", "Xephyr"} : QStringList{"Xvfb"};
    if (before.contains(QStringLiteral("openbox")))
        programs << QStringLiteral("openbox");
    for (const QString& program : qAsConst(programs)) {
        if (QStandardPaths::findExecutable(program).isEmpty())
            QSKIP(qPrintable(QStringLiteral("no %1 here").arg(program)));
    }

    PrivateDisplay display(screen, second);
    QVERIFY2(!display.name.isEmpty(), "the X server did not start");
    ChildProcess manager;
    for (const QString& setUp : qAsConst(before)) {
        if (setUp == QLatin1String("openbox")) {
            QProcessEnvironment managerEnvironment = QProcessEnvironment::systemEnvironment();
            managerEnvironment.insert(QStringLiteral("DISPLAY"), display.name);
            manager.setProcessEnvironment(managerEnvironment);
            manager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            manager.start(QStringLiteral("openbox"), QStringList{"--sm-disable"});
            // Managing once it names itself on the root.
            QVERIFY2(QTest::qWaitFor(
                         [&] {
                             return operate(display.name, [](xcb_connection_t* connection, xcb_window_t root) {
                                 const auto property = owned(xcb_get_property_reply(
                                     connection,
                                     xcb_get_property(connection, 0, root,
                                                      atomNamed(connection, "_NET_SUPPORTING_WM_CHECK"),
                                                      XCB_ATOM_WINDOW, 0, 1),
                                     nullptr));
                                 return property && xcb_get_property_value_length(property.get()) == 4;
                             });
                         },
                         30000),
                     "the window manager did not start");
        } else if (setUp.startsWith(QLatin1String("pointer at "))) {
            const QStringList xy = setUp.mid(11).split(QLatin1Char(','));
            // Xephyr's test extension does not take a fresh pointer across to its other
            // screen; a warp does.
            const QPoint at(xy.value(0).toInt(), xy.value(1).toInt());
            QVERIFY2(operate(display.name,
                             [&](xcb_connection_t* connection, xcb_window_t root) {
                                 xcb_warp_pointer(connection, XCB_NONE, root, 0, 0, 0, 0, qint16(at.x()),
                                                  qint16(at.y()));
                                 return pointTo(connection, root, at);
                             }),
                     qPrintable(setUp));
        } else {
            QFAIL(qPrintable(setUp));
        }
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("shot.png"));
    ChildProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    startTarnex(process, screenshot ? options + QStringList{"--screenshot", path} : options,
                openGL + environment + QStringList{QStringLiteral("DISPLAY=") + display.name});
    if (screenshot) {
        QVERIFY2(process.waitForFinished(60000), "tarnex did not end by itself");
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(QImage(path, "PNG").size(), expected.size());
        return;
    }
    const QByteArray english("Qt-UI Tarnex Refinery Monitoring");
    const QByteArray chinese("Qt-UI Tarnex 炼化装置监控");
    QByteArray title = english;
    // Placed on the event loop's first turn, after the window was mapped; the
    // comparison below tells where it stayed.
    static_cast<void>(QTest::qWaitFor([&] { return windowGeometry(display.name, title) == expected; }, 30000));
    QCOMPARE(windowGeometry(display.name, title), expected);

    const int scale = environment.contains(QStringLiteral("QT_SCALE_FACTOR=2")) ? 2 : 1;
    // A point of the top bar, in the window's own pixels from its left edge (from its
    // right edge when negative).
    const auto topBar = [&](int x, int y) {
        QRect window = windowGeometry(display.name, english);
        if (window.isNull())
            window = windowGeometry(display.name, chinese);
        return QPoint(x < 0 ? window.right() + 1 + x * scale : window.left() + x * scale, window.top() + y * scale);
    };
    // A click on the other language's button changes the window's title once the
    // window took it and every click before it. It is pressed again until then: the
    // window's layout follows a new geometry a turn of its event loop later.
    const auto switchLanguage = [&] {
        const bool toChinese = title == english;
        title = toChinese ? chinese : english;
        return QTest::qWaitFor(
            [&] {
                pressAt(display.name, topBar(toChinese ? -145 : -191, 24), 1);
                return QTest::qWaitFor([&] { return windowGeometry(display.name, title).isValid(); }, 500);
            },
            30000);
    };
    // "WIDTH,HEIGHT" or "X,Y" at the end of a step.
    const auto pointIn = [](const QString& step) {
        const QStringList xy = step.section(QLatin1Char(' '), -1).split(QLatin1Char(','));
        return QPoint(xy.value(0).toInt(), xy.value(1).toInt());
    };
    // The screens' areas, the first one resized by the "screen" steps.
    QRect firstScreen(QPoint(0, 0), screen);
    const QRect secondArea = second.isValid() ? QRect(QPoint(screen.width(), 0), second) : QRect();
    for (int i = 0; i < steps.size(); ++i) {
        const QString& step = steps.at(i);
        const bool click = step.endsWith(QLatin1String(" button")) || step.startsWith(QLatin1String("top bar "))
            || step.startsWith(QLatin1String("right border "));
        // Laid out for its geometry before the click; the first click after a press
        // that ended off the window is the one that must count.
        const bool firstAfterPress = i > 0 && steps.at(i - 1).startsWith(QLatin1String("press on the top bar"));
        if (click && !firstAfterPress)
            QVERIFY2(switchLanguage(), "the window took no click");
        // Just past the unit's name, where the top bar is bare at every width.
        const QPoint bareTopBar = topBar(456, 32);
        if (step == QLatin1String("maximise button")) {
            QVERIFY2(pressAt(display.name, topBar(-65, 24), 1), "the pointer did not reach the maximise button");
        } else if (step == QLatin1String("minimise button")) {
            QVERIFY2(minimiseBy(display.name, title, topBar(-103, 24)), "the minimise button asked for nothing");
        } else if (step == QLatin1String("restored")) {
            QVERIFY2(restoreWindow(display.name, title), "no window to restore");
        } else if (step == QLatin1String("close button")) {
            QVERIFY2(pressAt(display.name, topBar(-27, 24), 1), "the pointer did not reach the close button");
            QVERIFY2(process.waitForFinished(30000), "the close button did not close the window");
            QCOMPARE(process.exitStatus(), QProcess::NormalExit);
            QCOMPARE(process.exitCode(), 0);
            QCOMPARE(i, steps.size() - 1);
            return;
        } else if (step.startsWith(QLatin1String("right border drag by "))) {
            // Just inside the right edge, half way down; released once the edge followed.
            const int right = windowGeometry(display.name, title).right() + pointIn(step).x();
            QVERIFY2(dragFrom(display.name, topBar(-2, 450), pointIn(step),
                              [&] {
                                  return QTest::qWaitFor(
                                      [&] { return windowGeometry(display.name, title).right() == right; }, 30000);
                              }),
                     "the window's edge did not follow the mouse");
        } else if (step.startsWith(QLatin1String("right border slow drag by "))) {
            // A slow hand: 40 steps 30 ms apart from just inside the right edge, the
            // window's left edge read after each while the button is down. A window
            // manager may move the window to keep it on a screen; it must never jump back.
            const QPoint from = topBar(-2, 450);
            QList<int> lefts;
            QVERIFY2(operate(display.name,
                             [&](xcb_connection_t* connection, xcb_window_t root) {
                                 if (!pointTo(connection, root, from))
                                     return false;
                                 fakeButton(connection, XCB_BUTTON_PRESS, 1);
                                 for (int part = 1; part <= 40; ++part) {
                                     pointTo(connection, root, from + pointIn(step) * part / 40);
                                     QThread::msleep(30);
                                     const QRect sample = windowGeometry(display.name, title);
                                     if (!sample.isNull())
                                         lefts << sample.left();
                                 }
                                 fakeButton(connection, XCB_BUTTON_RELEASE, 1);
                                 return true;
                             }),
                     "the pointer did not reach the right border");
            for (int k = 1; k < lefts.size(); ++k)
                QVERIFY2(lefts.at(k) <= lefts.at(k - 1),
                         qPrintable(QStringLiteral("the window jumped back while the button was down: %1 after %2")
                                        .arg(lefts.at(k)).arg(lefts.at(k - 1))));
        } else if (step.startsWith(QLatin1String("press on the top bar released at "))) {
            // Pressed where the top bar is bare, moved in steps across to the other
            // screen and released there, off the window.
            const QPoint at = bareTopBar;
            const QPoint to = pointIn(step);
            QVERIFY2(operate(display.name,
                             [&](xcb_connection_t* connection, xcb_window_t root) {
                                 if (!pointTo(connection, root, at))
                                     return false;
                                 fakeButton(connection, XCB_BUTTON_PRESS, 1);
                                 for (int part = 1; part <= 10; ++part)
                                     pointTo(connection, root, at + (to - at) * part / 10);
                                 fakeButton(connection, XCB_BUTTON_RELEASE, 1);
                                 return true;
                             }),
                     "the pointer did not reach the top bar");
        } else if (step == QLatin1String("top bar double click")) {
            QVERIFY2(pressAt(display.name, bareTopBar, 2), "the pointer did not reach the top bar");
        } else if (step.startsWith(QLatin1String("top bar drag by "))) {
            // Released once the window followed the mouse there, as a hand that drags
            // it slowly does.
            const QPoint moved = windowGeometry(display.name, title).topLeft() + pointIn(step);
            QVERIFY2(dragFrom(display.name, bareTopBar, pointIn(step),
                              [&] {
                                  return QTest::qWaitFor(
                                      [&] { return windowGeometry(display.name, title).topLeft() == moved; }, 30000);
                              }),
                     "the window did not follow the mouse");
        } else if (step.startsWith(QLatin1String("moved to "))) {
            QVERIFY2(moveWindow(display.name, title, pointIn(step)), qPrintable(step));
        } else if (step.startsWith(QLatin1String("screen "))) {
            const QStringList size = step.mid(7).split(QLatin1Char('x'));
            firstScreen.setSize(QSize(size.at(0).toInt(), size.at(1).toInt()));
            QVERIFY2(resizeScreen(display.name, firstScreen.size()), qPrintable(step));
        } else if (step == QLatin1String("plant page scrolled to its end")) {
            // The wheel over the page's scroll bar, until the button shows whole.
            int rows = 0;
            static_cast<void>(QTest::qWaitFor(
                [&] {
                    pressAt(display.name, topBar(-7, 300), 3, 5);
                    QTest::qWait(100);
                    rows = acknowledgeButtonRows(screenImage(display.name));
                    return rows == 36;
                },
                30000));
            QVERIFY2(rows == 36, qPrintable(QStringLiteral("%1 rows of the button show").arg(rows)));
        } else {
            QFAIL(qPrintable(step));
        }
        // A click aimed while the window still moves would land elsewhere.
        static_cast<void>(QTest::qWaitFor([&] { return windowGeometry(display.name, title) == after.at(i); }, 30000));
        // A window restored past the screen's edges takes no click on its buttons there.
        if ((click && step != QLatin1String("minimise button")) || step == QLatin1String("restored"))
            QVERIFY2(switchLanguage(), qPrintable(QStringLiteral("no click reached its button after ") + step));
        const QRect reached = windowGeometry(display.name, title);
        QVERIFY2(reached == after.at(i), qPrintable(QStringLiteral("%1: %2x%3+%4+%5").arg(step).arg(reached.width())
                                                        .arg(reached.height()).arg(reached.x()).arg(reached.y())));
        // The rule: the whole window on the screens.
        QVERIFY((QRegion(reached) - QRegion(firstScreen) - QRegion(secondArea)).isEmpty());
    }
    QCOMPARE(process.state(), QProcess::Running);
    process.kill();
    process.waitForFinished(10000);
}

QTEST_MAIN(tst_TarnexStartup)
#include "tst_tarnexstartup.moc"
