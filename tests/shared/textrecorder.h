#pragma once
// A paint device that keeps the texts drawn on it and where their baselines start,
// so a test can read what a widget shows without looking at glyph pixels. It also
// counts the lines drawn and keeps the cache key of each picture copied onto it.

#include "recordingdevice.h"

#include <QPointF>
#include <QStringList>
#include <QVector>

struct TextRecordingEngine : RecordingEngine {
    void drawPixmap(const QRectF&, const QPixmap& pixmap, const QRectF&) override { pixmaps << pixmap.cacheKey(); }
    void drawLines(const QLineF*, int count) override { lines += count; }
    void drawLines(const QLine*, int count) override { lines += count; }
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        texts << item.text();
        positions << transform.map(p);
    }
    QStringList texts;
    QVector<QPointF> positions;
    int lines = 0;
    QVector<qint64> pixmaps;
};

class TextRecorder : public RecordingDevice<TextRecordingEngine> {
public:
    using RecordingDevice::RecordingDevice;
    QStringList texts() const { return m_engine.texts; }
    QVector<QPointF> positions() const { return m_engine.positions; }
    int lines() const { return m_engine.lines; }
    QVector<qint64> pixmaps() const { return m_engine.pixmaps; }
};
