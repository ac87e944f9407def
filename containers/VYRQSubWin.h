#pragma once

#include "VYRQExport.h"

#include "VYRQWindowFrame.h"

#include <QString>
#include <QWidget>

#include <memory>

class VYRQWindowImpl;

// A window inside another widget: the settings, background, mouse-driven move and
// border resize and child relayout of VYRQWindow, without native handling, modal
// run or registration.
class VYRQTLIB_EXPORT VYRQSubWin : public QWidget, public VYRQWindowFrame {
    Q_OBJECT
public:
    explicit VYRQSubWin(QWidget* parent = nullptr);
    ~VYRQSubWin() override;

    static const char* typeName() { return "VYRSubWin"; }

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
};
