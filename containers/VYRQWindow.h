#pragma once

#include "VYRQExport.h"

#include "VYRQWindowFrame.h"

#include <QDialog>
#include <QSize>
#include <QString>

#include <memory>

class VYRQMDIArea;
class VYRQWindowImpl;

// The library's top-level window. With Qt::FramelessWindowHint (setTransparent)
// it has no system frame but still drags by its background, resizes at its borders,
// maximises to the work area and keeps its minimum size. It paints a themed
// background, lays out its library children when resized, can run modally, and is
// registered with the resource manager for theme and language changes.
class VYRQTLIB_EXPORT VYRQWindow : public QDialog, public VYRQWindowFrame {
    Q_OBJECT
public:
    explicit VYRQWindow(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~VYRQWindow() override;

    static const char* typeName() { return "VYRWindow"; }

    void setMinWidth(int width);
    void setMinHeight(int height);
    void setMinSize(int width, int height);
    QSize getMinSize() const;
    void setMDIArea(VYRQMDIArea* area);
    VYRQMDIArea* getMDIArea() const;
    void doModal();
    void closeModal();
    void ToJsonString(QString& out);

    void setVisible(bool visible) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, long* result) override;
#endif
};
