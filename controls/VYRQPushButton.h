#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QPushButton>

class VYRQPushButtonImpl;

// The themed push button: per-state backgrounds and text styles, an icon by path
// (bitmap or SVG, with hot and pressed variants) or as a QIcon, an optional extension
// part at the right edge, and a hover fade between the Normal and Hot looks. Clicks,
// checkability and the clicked signals are QPushButton's own.
class VYRQTLIB_EXPORT VYRQPushButton : public VYRQControl<VYRQPushButton, QPushButton, VYRQPushButtonImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQPushButton, "qtbutton")
public:
    explicit VYRQPushButton(QWidget* parent = nullptr);
    ~VYRQPushButton() override;

    bool readJsonValue(void* json) override;

    // Per-state styles: 0 to 3 set one state, 4 (AllStates) all four. No repaint.
    void setBackground(CtrlState state, const FillStyle& style);
    FillStyle getBackground(CtrlState state) const;
    void setTextStyle(CtrlState state, const TextStyleDesc& style);
    TextStyleDesc getTextStyle(CtrlState state) const;
    // The colour flag of a background: true paints its colours, false its image.
    void setUseFillStyle(CtrlState state, bool on);
    bool getUseFillStyle(CtrlState state) const;

    void setDrawBackground(bool on);
    bool getDrawBackground() const;
    // Turning the fade off ends a running fade on the Hot look.
    void setFadeEnabled(bool on);
    bool getFadeEnabled() const;
    // Values below 1 store 150.
    void setFadeDuration(int ms);
    int getFadeDuration() const;
    void setUseIcon(bool on);
    bool getUseIcon() const;
    void setShowText(bool on);
    bool getShowText() const;
    void setTextOffsetX(int x);
    void setTextOffsetY(int y);
    int getTextOffsetX() const;
    int getTextOffsetY() const;
    void setIconStyle(const IconStyleDesc& style);
    IconStyleDesc getIconStyle() const;

    // A resource path (leading ':') of a bitmap becomes a QIcon and is not stored;
    // any other path is drawn by name, SVG names placed left of a shown text.
    void setIcon(const QString& path);
    void setIcon(const QIcon& icon);
    QString getIcon() const;
    void setHotIcon(const QString& path);
    QString getHotIcon() const;
    void setPressedIcon(const QString& path);
    QString getPressedIcon() const;

signals:
    void enterSignal();
    void leaveSignal();

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend class VYRQPushButtonImpl;
};
