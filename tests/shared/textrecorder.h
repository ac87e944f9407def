#pragma once
// A paint device that keeps the texts drawn on it and where their baselines start,
// so a test can read what a widget shows without looking at glyph pixels. It also
// counts the lines drawn and keeps the cache key of each picture copied onto it.

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPixmap>
#include <QPointF>
#include <QStringList>
#include <QVector>

class TextRecorder : public QPaintDevice {
public:
    explicit TextRecorder(const QSize& size) : m_size(size) {}
    QStringList texts() const { return m_engine.texts; }
    QVector<QPointF> positions() const { return m_engine.positions; }
    int lines() const { return m_engine.lines; }
    QVector<qint64> pixmaps() const { return m_engine.pixmaps; }
    QPaintEngine* paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return m_size.width();
        case PdmHeight: return m_size.height();
        case PdmDepth: return 32;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 96;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 1;
        }
    }

private:
    struct Engine : QPaintEngine {
        Engine() : QPaintEngine(AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState& state) override
        {
            if (state.state() & DirtyTransform)
                transform = state.transform();
        }
        void drawPixmap(const QRectF&, const QPixmap& pixmap, const QRectF&) override
        {
            pixmaps << pixmap.cacheKey();
        }
        void drawLines(const QLineF*, int count) override { lines += count; }
        void drawLines(const QLine*, int count) override { lines += count; }
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawPath(const QPainterPath&) override {}
        void drawTextItem(const QPointF& p, const QTextItem& item) override
        {
            texts << item.text();
            positions << transform.map(p);
        }
        Type type() const override { return User; }
        QTransform transform;
        QStringList texts;
        QVector<QPointF> positions;
        int lines = 0;
        QVector<qint64> pixmaps;
    };
    QSize m_size;
    mutable Engine m_engine;
};
