#pragma once

// A bare library control for the theme and language walks: it records each theme
// refresh (which asks for its control base) and each language notification.

#include "IVYRQWidgetBase.h"
#include "VYRQWidgetBase.h"

#include <QStringList>
#include <QWidget>

inline QStringList walkLog;

class WalkControl : public QWidget, public IVYRQWidgetBase {
public:
    WalkControl(const QString& name, QWidget* parent) : QWidget(parent), m_base(this) { setObjectName(name); }
    VYRQWidgetBase* getControlBase() override { walkLog << QStringLiteral("theme:") + objectName(); return &m_base; }
    void notifyChangeLanguage() override { walkLog << QStringLiteral("lang:") + objectName(); }
    bool readJsonValue(void*) override { return false; }
    void setLayoutRatio(int) override {}
    int getLayoutRatio() const override { return 1; }
    void setWidthPolicy(LayoutSizePolicy) override {}
    LayoutSizePolicy getWidthPolicy() const override { return PolicyUnset; }
    void setHeightPolicy(LayoutSizePolicy) override {}
    LayoutSizePolicy getHeightPolicy() const override { return PolicyUnset; }
    void setAbsoluteLayout(bool) override {}
    bool getAbsoluteLayout() const override { return false; }
    void setAbsoluteDock(DockLayoutType, DockLayoutType, int, int) override {}
    void getAbsoluteDock(DockLayoutType&, DockLayoutType&, int&, int&) const override {}
    void getAbsoluteDock(DockLayoutType&, DockLayoutType&) const override {}
    void getLayoutData(void*&) const override {}
    void setGeometry(int, int, int, int) override {}
    void setOpacity(int) override {}
    int getOpacity() const override { return 255; }
    LayoutType getLayoutType() const override { return LayoutAbsolute; }
    QString getTypeName() const override { return QStringLiteral("walkcontrol"); }
    VYRQWidgetBaseImpl* getControlImpl() override { return nullptr; }
    void createComplete() override {}
    void resizeWidget() override {}
    bool serializeJsonValue(Json::Value*, bool) override { return false; }
    void setThemeName(const QString&) override {}
    QString jsonData() const override { return QString(); }
    void setJsonData(const QString&) override {}
private:
    VYRQWidgetBase m_base;
};

// window (a control itself) > a > b, window > plain > c
struct WidgetTree {
    WalkControl window{ QStringLiteral("window"), nullptr };
    WalkControl* a = new WalkControl(QStringLiteral("a"), &window);
    WalkControl* b = new WalkControl(QStringLiteral("b"), a);
    QWidget* plain = new QWidget(&window);
    WalkControl* c = new WalkControl(QStringLiteral("c"), plain);
};
