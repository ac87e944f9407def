#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QMenuBar>

class VYRQMenuBarImpl;

// The themed menu bar: paints its background and items from theme styles and tracks
// the item under the pointer itself. It also carries a set of popup styles for the
// menus that application code hangs on it; the bar applies those to nothing and
// hands them out through its getters.
class VYRQTLIB_EXPORT VYRQMenuBar : public VYRQControl<VYRQMenuBar, QMenuBar, VYRQMenuBarImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQMenuBar, "qtmenubar")
public:
    explicit VYRQMenuBar(QWidget* parent = nullptr);
    ~VYRQMenuBar() override;

    // QMenuBar's geometry; an empty rectangle for a null action.
    QRect actionGeometry(QAction* action) const;

    // Setters copy without repainting. The item setters take 4 for all four states;
    // the popup item setters take 0 to 3 only. Getters read an unknown state as Normal.
    void setBackground(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getBackground(CommonCtrlState state) const;
    void setItemBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getItemBackground(CtrlState state) const;
    void setTextStyle(CtrlState state, const TextStyleDesc& style);
    const TextStyleDesc& getTextStyle(CtrlState state) const;
    void setPopupBackground(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getPopupBackground(CommonCtrlState state) const;
    void setPopupItemBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getPopupItemBackground(CtrlState state) const;
    void setPopupTextStyle(CtrlState state, const TextStyleDesc& style);
    const TextStyleDesc& getPopupTextStyle(CtrlState state) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend class VYRQMenuBarImpl;
};
