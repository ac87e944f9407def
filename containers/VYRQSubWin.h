#pragma once

#include "VYRQStyleDefs.h"

#include <QString>
#include <QWidget>

#include <memory>

class VYRQWindowImpl;

// A window inside another widget: the settings, background, mouse-driven move and
// border resize and child relayout of VYRQWindow, without native handling, modal
// run or registration.
class VYRQSubWin : public QWidget {
    Q_OBJECT
public:
    explicit VYRQSubWin(QWidget* parent = nullptr);
    ~VYRQSubWin() override;

    static const char* typeName() { return "VYRSubWin"; }
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
    // A double click in the caption band maximises within the parent (off by default).
    void setDoubleClickMaximize(bool on);
    bool getDoubleClickMaximize() const;

    // Stored for the border resize only; the QWidget minimum is not touched.
    void setMinWidth(int width);
    void setMinHeight(int height);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    std::unique_ptr<VYRQWindowImpl> m_impl;
};
