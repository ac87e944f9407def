#pragma once

#include "VYRQExport.h"

#include "ChartTheme.h"

#include <QColor>
#include <QOpenGLWidget>
#include <QPoint>
#include <QString>

class QPainter;
class QShowEvent;
class QVariantAnimation;

// Common base of the OpenGL charts: the colour theme, the legend position, an
// optional background override, the entry animation whose progress every chart
// multiplies into its drawing, and the hover tip every chart paints last.
class VYRQTLIB_EXPORT VYRQChartBase : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit VYRQChartBase(QWidget* parent = nullptr);
    ~VYRQChartBase() override;

    const ChartTheme& theme() const { return m_theme; }
    // Takes the record as it is; the theme index goes back to 0.
    void setTheme(const ChartTheme& theme);
    // An index outside 0..3 shows the "Default" colours but is stored as given.
    void setThemeIndex(int index);

    // The override while it is valid, else the theme's background.
    QColor backgroundColor() const;
    // An invalid colour removes the override.
    void setBackgroundColor(const QColor& color);

    int legendPosition() const { return m_legendPosition; }
    void setLegendPosition(int position);

    void setAnimationEnabled(bool enabled);
    int animationDuration() const { return m_animationDuration; }
    // Negative durations are stored as 0; takes effect at the next replay.
    void setAnimationDuration(int ms);
    double animationProgress() const { return m_animationProgress; }
    // Plays the entry animation from the start, or shows the chart complete at once
    // while animation is off.
    void replayAnimation();

    void setHoverTip(const QPoint& pos, const QString& text);
    void clearHoverTip();
    QString hoverTipText() const { return m_hoverTipText; }
    QPoint hoverTipPos() const { return m_hoverTipPos; }
    void drawHoverTip(QPainter* painter);

protected:
    void showEvent(QShowEvent* event) override;

    virtual void onThemeChanged();
    virtual void onAnimationSettingsChanged();
    virtual void onAnimationProgress();

private:
    void setProgress(double progress);

    int m_themeIndex = 0;
    ChartTheme m_theme;
    int m_legendPosition = 2;
    QColor m_backgroundOverride;
    bool m_animationEnabled = true;
    int m_animationDuration = 700;
    double m_animationProgress = 1.0;
    QVariantAnimation* m_animation = nullptr;
    QString m_hoverTipText;
    QPoint m_hoverTipPos;
};
