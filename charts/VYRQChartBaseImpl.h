#pragma once

#include "VYRQExport.h"

#include "ChartLegendItem.h"
#include "VYRQWidgetBaseImpl.h"

#include <QFont>
#include <QVector>

#include <QOpenGLFunctions>

class QImage;
class QMouseEvent;
class QPainter;
class QPoint;
class QSize;
class VYRQChartBase;

// Implementation base of the OpenGL charts. A frame is a short GL prologue (viewport,
// clear, multisampling) followed by QPainter drawing that each chart supplies in
// paintContent; the same drawing renders into an image where no GL context exists.
class VYRQTLIB_EXPORT VYRQChartBaseImpl : public VYRQWidgetBaseImpl, protected QOpenGLFunctions {
public:
    VYRQChartBaseImpl(VYRQChartBase* chart, const QString& typeKey);
    ~VYRQChartBaseImpl() override;

    void initializeGL();
    // The whole frame on the chart's current GL context.
    void paint();
    // What follows the GL clear: the chart's drawing, then the hover tip.
    void paintFrame(QPainter& painter, const QSize& size);
    // The frame drawn into an image of the widget's size, filled with the background
    // colour first as the GL clear would.
    QImage renderImage();

    // Mouse handling of the chart. A press or move that returns true is consumed
    // (accepted, repainted, not passed on); updateHover and clearHover return
    // whether a repaint is needed. By default a left press on a legend entry
    // switches the entry's series on or off.
    virtual bool pressAt(const QMouseEvent& event);
    virtual bool dragTo(const QMouseEvent& event);
    virtual void releaseAt(const QMouseEvent& event);
    virtual bool updateHover(const QPoint& pos) = 0;
    virtual bool clearHover() = 0;

    // Frees the GL buffers a chart keeps, with its context current.
    virtual void releaseGL();

    // The legend entries laid out for a widget size; none by default.
    virtual QVector<ChartLegendItem> legendItems(const QSize& size) const;

    // The font at a pixel size of at least 1, with a weight when one is given.
    static QFont pixelFont(QFont font, int pixelSize, int weight = -1);
    // Text advances of legend entries in the font.
    static QVector<double> textAdvances(const QVector<ChartLegendItem>& items, const QFont& font);
    // A legend entry's text right of its symbol, paler while the entry's series is hidden.
    static void drawLegendText(QPainter& painter, const ChartLegendItem& item, const QColor& labelColor,
                               const QString& text);

protected:
    // Shows or hides the series of a clicked legend entry.
    virtual void toggleSeries(int index);
    virtual void paintContent(QPainter& painter, const QSize& size) = 0;
    // Runs on the chart's context before the frame is cleared: a chart may draw parts
    // of its frame into buffers of its own here.
    virtual void prepareFrame(const QSize& size);
    // True while the frame is drawn on the GL context rather than into an image.
    bool drawingOnGl() const { return m_drawingOnGl; }
    // The line, bar and financial charts also smooth transformed pixmaps.
    virtual bool smoothPixmaps() const { return true; }

    VYRQChartBase* chart() const { return m_chart; }

private:
    VYRQChartBase* m_chart;
    bool m_drawingOnGl = false;
};
