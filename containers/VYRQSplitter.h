#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QWidget>

class VYRQSplitterImpl;

// The settings of a two-pane splitter (orientation, the pane widget of each side
// and a limit for each side) over a background fill. It lays nothing out and takes
// no mouse input: the host moves and resizes the panes.
class VYRQTLIB_EXPORT VYRQSplitter : public VYRQControl<VYRQSplitter, QWidget, VYRQSplitterImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQSplitter, "qtsplitter")
public:
    explicit VYRQSplitter(QWidget* parent = nullptr);
    ~VYRQSplitter() override;

    // The setters only store: nothing is laid out or repainted.
    void setIsHor(bool hor);
    bool getIsHor() const;
    // The pane widgets are not owned; a deleted pane reads as null.
    void setUpLeftWidget(QWidget* widget);
    const QWidget* getUpLeftWidget() const;
    void setDownRightWidget(QWidget* widget);
    const QWidget* getDownRightWidget() const;
    void setUpLeftLimit(int limit);
    int getUpLeftLimit() const;
    void setDownRightLimit(int limit);
    int getDownRightLimit() const;
    // Paints nothing until a style is assigned.
    void setBackground(const FillStyle& style);
    FillStyle getBackground() const;

protected:
    // Pressing, dragging and releasing change nothing, not even the interaction state.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};
