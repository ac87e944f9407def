#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QSlider>

class VYRQSliderImpl;

// The themed slider: a QSlider drawn as a channel (background), its filled part
// (foreground) and a thumb whose fill follows the interaction state. The thumb's
// length and its centred rectangle come from the application style.
class VYRQTLIB_EXPORT VYRQSlider : public VYRQControl<VYRQSlider, QSlider, VYRQSliderImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQSlider, "qtslider")
public:
    explicit VYRQSlider(QWidget* parent = nullptr, Qt::Orientation orientation = Qt::Horizontal);
    ~VYRQSlider() override;

    void setBackgroundStyle(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getBackgroundStyle(CommonCtrlState state) const;
    void setForegroundStyle(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getForegroundStyle(CommonCtrlState state) const;
    // 0 to 3 set one state, 4 (AllStates) all four; other values are ignored.
    void setThumbStyle(CtrlState state, const FillStyle& style);
    // Out-of-range states read as Normal.
    const FillStyle& getThumbStyle(CtrlState state) const;

    void setIsHorizontal(bool horizontal);
    bool getIsHorizontal() const;
    void setThumbSize(int w, int h);
    void getThumbSize(int& w, int& h) const;
    QSize getThumbBtnSize() const;
    void setChannelHeight(int size);
    int getChannelHeight() const;
    // The thumb's extent along the slider: its width when horizontal, else its height.
    int getSliderLength() const;
    QRect getThumbRect() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend class VYRQSliderImpl;
};
