// The page and menu file loaders: they know the window and menu classes, so they
// sit above the folders that define them.

#include "IVYRQWidgetBase.h"
#include "VYRQCanvasWindow.h"
#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQGlobal_p.h"
#include "VYRQJson.h"
#include "VYRQLogging.h"
#include "VYRQMenu.h"
#include "VYRQResourceManager.h"
#include "VYRQSubWin.h"
#include "VYRQWindow.h"

#include <QList>
#include <QVariant>
#include <QWidget>

#include <json/value.h>

namespace {

// A window side the page gives, held to maxPageWindowSide with a warning.
bool readWindowSide(const Json::Value& root, const char* key, int& value)
{
    if (!vyr::json::read(root, key, value))
        return false;
    if (value > vyr::maxPageWindowSide) {
        qCWarning(vyrCore) << "page window" << key << value << "held to" << vyr::maxPageWindowSide;
        value = vyr::maxPageWindowSide;
    }
    return true;
}

template <class Window>
void applyWindowKeys(Window* window, const Json::Value& root)
{
    int value = 0;
    bool flag = false;
    if (readWindowSide(root, "w", value))
        window->resize(value, window->height());
    if (readWindowSide(root, "h", value))
        window->resize(window->width(), value);
    if (vyr::json::read(root, "trans", flag) && flag)
        window->setTransparent(true);
    if (vyr::json::read(root, "drag", flag))
        window->setCanDrag(flag);
    if (vyr::json::read(root, "resize", flag))
        window->setResizeable(flag);
    if (readWindowSide(root, "minH", value))
        window->setMinHeight(value);
    if (readWindowSide(root, "minW", value))
        window->setMinWidth(value);
    if (vyr::json::read(root, "onlyDragCaption", flag))
        window->setOnlyDragCaption(flag);
}


// Reading an element records an absolute control's rectangle without applying it,
// and a container that lays nothing out leaves its children where they were built,
// so a saved page would come back with its nested controls at their default size.
// Every control the page built (it carries the page's "visibility") starts at its
// recorded place; laid-out containers move theirs again in their own pass.
void placeRecordedDescendants(QWidget* top)
{
    const QList<QWidget*> widgets = top->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        auto* control = dynamic_cast<IVYRQWidgetBase*>(widget);
        if (control && control->getLayoutType() == LayoutAbsolute && widget->property("visibility").isValid())
            control->resizeWidget();
    }
}

} // namespace

bool vyr::buildPage(QWidget* parent, const Json::Value& root, const QString& name, VYRQContainer*& page)
{
    page = nullptr;
    VYRQResSwitchGuard createdByFile(VYRQResSwitchGuard::CreatedByFile, true);
    QString refusal;
    if (!vyr::pageWithinLimits(root, &refusal)) {
        qCWarning(vyrCore) << "page file" << name << qPrintable(refusal) << "- nothing is built";
        return false;
    }

    if (auto* window = qobject_cast<VYRQWindow*>(parent))
        applyWindowKeys(window, root);
    else if (auto* subWin = qobject_cast<VYRQSubWin*>(parent))
        applyWindowKeys(subWin, root);
    else if (auto* frame = dynamic_cast<VYRQCanvasWindow*>(parent))
        applyWindowKeys(frame, root);
    if (!parent)
        return true;

    const Json::Value* elements = vyr::json::array(root, "elements");
    if (!elements)
        return true;
    QWidget* last = nullptr;
    for (Json::ArrayIndex i = 0; i < elements->size(); ++i) {
        last = createElementFromJson((*elements)[i], parent);
        if (auto* control = dynamic_cast<IVYRQWidgetBase*>(last)) {
            control->resizeWidget();
            placeRecordedDescendants(last);
        }
    }
    page = qobject_cast<VYRQContainer*>(last);
    return true;
}

VYRQContainer* vyrCreatePageByFileName(QWidget* parent, QString name)
{
    VYRQResSwitchGuard createdByFile(VYRQResSwitchGuard::CreatedByFile, true);
    Json::Value root;
    VYRQContainer* page = nullptr;
    if (vyr::readPageDocument(name, root))
        vyr::buildPage(parent, root, name, page);
    return page;
}

VYRQMenu* vyrCreateMenuByFileName(QWidget* parent, QString name)
{
    VYRQResSwitchGuard createdByFile(VYRQResSwitchGuard::CreatedByFile, true);
    Json::Value root;
    if (!vyr::readPageDocument(name, root))
        return nullptr;
    if (!vyr::menuWithinLimits(root)) {
        qCWarning(vyrCore) << "menu file" << name << "has more than" << vyr::maxMenuItems << "items; nothing is built";
        return nullptr;
    }
    auto* menu = new VYRQMenu(parent);
    menu->readJsonValue(&root);
    return menu;
}

