#pragma once

#include "VYRQExport.h"

#include "VYRQTypes.h"

#include <QRect>
#include <QString>

namespace Json { class Value; }
class QWidget;

// The layout and page-file part every control holds; the interface operations of
// IVYRQWidgetBase forward to it. A value type: copies carry the owner pointer; no
// virtuals, as every control holds one.
class VYRQTLIB_EXPORT VYRQWidgetBase {
public:
    explicit VYRQWidgetBase(QWidget* owner);
    VYRQWidgetBase(const VYRQWidgetBase&) = default;
    VYRQWidgetBase& operator=(const VYRQWidgetBase&) = default;
    ~VYRQWidgetBase() = default;

    const QWidget* getOwner() const { return m_owner; }

    void setLayoutRatio(int ratio);
    int getLayoutRatio() const;
    void setWidthPolicy(LayoutSizePolicy policy) { m_widthPolicy = policy; }
    LayoutSizePolicy getWidthPolicy() const { return m_widthPolicy; }
    void setHeightPolicy(LayoutSizePolicy policy) { m_heightPolicy = policy; }
    LayoutSizePolicy getHeightPolicy() const { return m_heightPolicy; }
    void setAbsoluteLayout(bool on) { m_absoluteLayout = on; }
    bool getAbsoluteLayout() const { return m_absoluteLayout; }
    void setAbsoluteDock(DockLayoutType hor, DockLayoutType ver, int x, int y);
    void getAbsoluteDock(DockLayoutType& hor, DockLayoutType& ver, int& x, int& y) const;
    void getAbsoluteDock(DockLayoutType& hor, DockLayoutType& ver) const;
    void getLayoutData(void*& data) const;
    void setGeometry(const QRect& rect);
    void setGeometry(int x, int y, int w, int h);
    void setOpacity(int opacity);
    int getOpacity() const { return m_opacity; }
    LayoutType getLayoutType() const { return m_layoutType; }
    // The recorded absolute rectangle (meaningful while the layout type is absolute).
    QRect layoutRect() const;

    void LoadLayout(const Json::Value& element);
    void SaveLayout(Json::Value& element);
    QWidget* cloneWidget(const QString& name);
    QString getThemeName() const;
    void setThemeName(const QString& name);
    void refreshTheme();
    void resizeWidget();

    void serializeJsonValue(Json::Value* json, bool read);

private:
    void readBaseKeys(const Json::Value& json);
    // An element's "layout" object, with its "x", "y", "w" and "h" members (null: absent).
    void readLayout(const Json::Value& layout, const Json::Value* x, const Json::Value* y, const Json::Value* w,
                    const Json::Value* h);
    void writeBaseKeys(Json::Value& json);

    QWidget* m_owner = nullptr;
    int m_opacity = 255;
    LayoutSizePolicy m_widthPolicy = PolicyUnset;
    LayoutSizePolicy m_heightPolicy = PolicyUnset;
    int m_dockOffsetX = 0;
    int m_dockOffsetY = 0;
    // The ratio shares storage with x, as stored pages expect of the layout data.
    union LayoutData {
        int ratio;
        struct { int x, y, w, h; } rect;
    } m_layout;
    // Every control holds one: the small values share a word (set in the constructor;
    // the docks are clamped and the layout type takes its two values only).
    DockLayoutType m_dockHor : 8;
    DockLayoutType m_dockVer : 8;
    LayoutType m_layoutType : 8;
    bool m_absoluteLayout = false;
};
