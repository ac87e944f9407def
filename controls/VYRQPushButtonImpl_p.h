#pragma once

#include "VYRQStateStyles.h"
#include "VYRQWidgetBaseImpl.h"

#include <QIcon>

class QTimer;
class VYRQPushButton;

// The push button's state: per-state backgrounds and text styles, icons, the
// extension part and the hover fade. The ribbon button builds on it.
// Private, but exported: the test suites reach into it.
class VYRQTLIB_EXPORT VYRQPushButtonImpl : public VYRQWidgetBaseImpl {
    Q_OBJECT
public:
    explicit VYRQPushButtonImpl(VYRQPushButton* owner);
    ~VYRQPushButtonImpl() override;

    // Milliseconds between two fade steps.
    static constexpr int fadeInterval = 16;

    void drawControl(QPainter* painter, const QRect& rect) override;
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;
    void notifyChangeLanguage() override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

    void setFadeEnabled(bool on);
    void setFadeDuration(int ms);
    void setIconPath(const QString& path);
    void setIcon(const QIcon& icon);
    bool isFadeRunning() const;
    // The fade timer, made on first use.
    QTimer* timer();

    // Ordered to leave no padding: every button holds one.
    TextKey textKey;
    int extWidth = 0;
    bool extHot = false;
    bool isExtBtn = false;
    bool useIcon = true;
    bool showText = true;
    QString extHotIconPath;
    QString extIconPath;
    QString iconPath;
    QIcon icon;
    QString hotIconPath;
    QString pressedIconPath;
    IconStyleDesc iconStyle;
    int textOffsetX = 0;
    int textOffsetY = 0;
    bool drawBackground = true;
    bool fadeEnabled = false;
    int fadeDuration = 150;
    CtrlState fadeFrom = Normal;
    CtrlState fadeTo = Normal;
    vyr::FillStates backgrounds;
    vyr::TextStates textStyles;
    double fadeProgress = 0.0;
    QTimer* fadeTimer = nullptr;   // see timer()

private:
    void fadeTick();
    void drawStateLayers(QPainter* painter, const QRect& rect, CtrlState state, double progress);
    QRect textRect(const QRect& rect) const;
    void placeIconBesideText(const QSize& iconSize);
    void readText(const QString& text);
    void readAttr(const Json::Value& attr);

    VYRQPushButton* q;
};
