// Leaks on purpose: 1111 bytes in a paint handler and 2222 bytes in a mouse handler,
// both reached from the platform plugin's event dispatch as any handler of ours is.
// The leak checker must report both, whatever the suppression file hides of Qt.
// A press through the window is delivered at once, so it is sent while the plugin
// dispatches the window's activation, as a real click would sit on the plugin.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <cstdio>
#include <cstring>

namespace {

// Keeps the compiler from dropping an allocation that nothing reads.
void escape(void* pointer)
{
    asm volatile("" : : "g"(pointer) : "memory");
}

class PlantedLeakWidget : public QWidget {
public:
    bool painted = false;
    bool pressed = false;

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (painted)
            return;
        painted = true;
        char* lost = new char[1111];
        std::memset(lost, 1, 1111);
        escape(lost);
    }

    bool event(QEvent* event) override
    {
        const bool done = QWidget::event(event);
        if (event->type() == QEvent::WindowActivate && !pressed)
            QTest::mousePress(windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
        return done;
    }

    void mousePressEvent(QMouseEvent*) override
    {
        if (pressed)
            return;
        pressed = true;
        char* lost = new char[2222];
        std::memset(lost, 2, 2222);
        escape(lost);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    PlantedLeakWidget widget;
    widget.resize(200, 120);
    widget.show();
    widget.activateWindow();
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    app.exec();
    if (!widget.painted || !widget.pressed) {
        std::fprintf(stderr, "planted_leaks: painted %d, pressed %d\n", widget.painted, widget.pressed);
        return 3;
    }
    return 0;
}
