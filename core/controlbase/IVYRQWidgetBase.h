#pragma once

#include "VYRQExport.h"

#include "VYRQTypes.h"

#include <QString>

namespace Json { class Value; }
class VYRQWidgetBase;
class VYRQWidgetBaseImpl;

// The interface every library control implements. Containers, the page loader, the
// design canvas, theme refreshes and the property list reach any control through it.
class VYRQTLIB_EXPORT IVYRQWidgetBase {
public:
    virtual ~IVYRQWidgetBase() = default;

    virtual VYRQWidgetBase* getControlBase() = 0;
    // `json` is a Json::Value*.
    virtual bool readJsonValue(void* json) = 0;
    virtual void setLayoutRatio(int ratio) = 0;
    virtual int getLayoutRatio() const = 0;
    virtual void setWidthPolicy(LayoutSizePolicy policy) = 0;
    virtual LayoutSizePolicy getWidthPolicy() const = 0;
    virtual void setHeightPolicy(LayoutSizePolicy policy) = 0;
    virtual LayoutSizePolicy getHeightPolicy() const = 0;
    virtual void setAbsoluteLayout(bool on) = 0;
    virtual bool getAbsoluteLayout() const = 0;
    virtual void setAbsoluteDock(DockLayoutType hor, DockLayoutType ver, int x, int y) = 0;
    virtual void getAbsoluteDock(DockLayoutType& hor, DockLayoutType& ver, int& x, int& y) const = 0;
    virtual void getAbsoluteDock(DockLayoutType& hor, DockLayoutType& ver) const = 0;
    virtual void getLayoutData(void*& data) const = 0;
    virtual void setGeometry(int x, int y, int w, int h) = 0;
    virtual void setOpacity(int opacity) = 0;
    virtual int getOpacity() const = 0;
    virtual LayoutType getLayoutType() const = 0;
    virtual QString getTypeName() const = 0;
    virtual VYRQWidgetBaseImpl* getControlImpl() = 0;
    virtual void createComplete() = 0;
    virtual void resizeWidget() = 0;
    virtual void notifyChangeLanguage() = 0;
    // read true reads the control from `json`, false writes it into `json`.
    virtual bool serializeJsonValue(Json::Value* json, bool read) = 0;
    virtual void setThemeName(const QString& name) = 0;
    virtual QString jsonData() const = 0;
    virtual void setJsonData(const QString& text) = 0;
};
