#pragma once

#include "VYRQExport.h"

#include "VYRQStyleDefs.h"

#include <QString>

#include <memory>

class QWidget;
class VYRQWindowImpl;

// The settings the top-level window and the sub-window share: dragging, border
// resize, the caption band, the background and placement. A second base of both;
// it owns their implementation object.
class VYRQTLIB_EXPORT VYRQWindowFrame {
public:
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
    // A double click in the caption band toggles maximised (a sub-window within its
    // parent; on Windows a top-level window leaves it to the native caption). Off by
    // default.
    void setDoubleClickMaximize(bool on);
    bool getDoubleClickMaximize() const;

protected:
    explicit VYRQWindowFrame(VYRQWindowImpl* impl);
    ~VYRQWindowFrame();
    VYRQWindowFrame(const VYRQWindowFrame&) = delete;
    VYRQWindowFrame& operator=(const VYRQWindowFrame&) = delete;

    std::unique_ptr<VYRQWindowImpl> m_impl;
};
