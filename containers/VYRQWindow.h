#pragma once

#include "VYRQStyleDefs.h"

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
class VYRQWindow : public QDialog {
    Q_OBJECT
public:
    explicit VYRQWindow(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~VYRQWindow() override;

    static const char* typeName() { return "VYRWindow"; }
    VYRQWindowImpl* impl() const { return m_impl.get(); }

    void setResizeable(bool on);
    bool getResizeable() const;
    void setCanDrag(bool on);
    bool getCanGrag() const;
    void setOnlyDragCaption(bool on);
    bool getOnlyDragCaption() const;
    void setCaptionHeight(int height);
    // Whether a caption band is set at all (not its height).
    bool getCaptionHeight() const;
    void setShowBackground(bool on);
    void setUseFillColor(bool on);
    void setBackgroundColor(const FillRes& color);
    void setBackgroundImage(const QString& name, const ImageDesc& desc);
    void setTransparent(bool on);
    void setX(int x);
    void setY(int y);
    void centerWindow();
    QWidget* hitTest(QWidget* root, int x, int y);
    // A double click in the caption band toggles maximised (off on Windows, where
    // the native caption does it).
    void setDoubleClickMaximize(bool on);
    bool getDoubleClickMaximize() const;

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
    void hideEvent(QHideEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, long* result) override;
#endif

private:
    std::unique_ptr<VYRQWindowImpl> m_impl;
};
