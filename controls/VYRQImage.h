#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QWidget>

class VYRQImageImpl;

// Shows one picture: a bitmap by image name or a caller's QImage, an SVG (optionally
// recoloured), or an animated GIF played in a child label. Drawn stretched to the
// control or at natural size, aligned. The control takes no interaction state.
class VYRQTLIB_EXPORT VYRQImage : public VYRQControl<VYRQImage, QWidget, VYRQImageImpl, vyr::ForwardNone> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQImage, "qtpicture")
public:
    explicit VYRQImage(QWidget* parent = nullptr);
    ~VYRQImage() override;

    // Ends a GIF; a name ending in ".svg" also becomes the SVG path.
    void setImagePath(const QString& path);
    QString getImagePath() const;
    // The image is neither copied nor owned: it must outlive its use here. One that the
    // resource manager handed out is held by its set and name: decoded again, when
    // emptied, before it is drawn, and neither drawn nor given back by getImage once its
    // set is replaced or released.
    void setImage(const QImage* image);
    const QImage* getImage() const;
    void setSvgPath(const QString& path);
    QString getSvgPath() const;
    // Also turns recolouring on.
    void setSvgColor(const QColor& color);
    QColor getSvgColor() const;
    void setUseSvgColor(bool on);
    bool getUseSvgColor() const;
    // Neither repaints.
    void setStretchDraw(bool on);
    bool getStretchDraw() const;
    void setAlignType(DockLayoutType hor, DockLayoutType ver);

    void loadGif(const QString& path);
    void startAnimate();
    void stopAnimate();

signals:
    void clicked();
    // Emitted by every paint that finds the movie on its last frame.
    void movieFinished();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend class VYRQImageImpl;
};
