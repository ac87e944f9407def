#include "VYRQWindowDesigner.h"

#include "VYRQJson.h"
#include "VYRQResourceManager.h"

#include <QEvent>
#include <QMoveEvent>
#include <QResizeEvent>

#include <json/value.h>

class VYRQWindowDesignerImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQWindowDesignerImpl(VYRQWindowDesigner* owner)
        : VYRQWidgetBaseImpl(owner, QStringLiteral("qtwindow"))
    {
    }

    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;
};

void VYRQWindowDesignerImpl::readJson(const Json::Value& element)
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    const Json::Value* attr = vyr::json::object(element, "attr");
    if (!attr)
        return;
    QString theme;
    readOwnAttr(*attr, "theme", theme);
    if (theme.isEmpty())
        return;
    // A theme zip is named "*.data"; anything else is a theme folder.
    if (theme.contains(QLatin1String(".data")))
        rm->loadThemeFile(theme);
    else
        rm->loadThemeDir(theme);
}

void VYRQWindowDesignerImpl::writeJson(Json::Value& element)
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    // "attr" is always present in the element, null when it has nothing to hold.
    Json::Value& attr = element["attr"];
    if (rm->getThemeManagerImpl()) {
        const QString path = rm->getThemePath();
        vyr::json::writeUnlessEmpty(attr, "theme", path);
    }
}

VYRQWindowDesigner::VYRQWindowDesigner(QWidget* parent)
    : VYRQControl(parent)
{
    setAttribute(Qt::WA_StyledBackground);
    // No theme defaults: the design shows the page as it is written.
    VYRQResourceManager::getInstance()->registerDesignerWindow(this);
    finishConstruction(VYRQWidgetBaseImpl::ThemeDefaults::Skip);
}

VYRQWindowDesigner::~VYRQWindowDesigner()
{
    VYRQResourceManager::getInstance()->unregisterDesignerWindow(this);
}

void VYRQWindowDesigner::setDelegateItemVisible(bool visible)
{
    impl()->setDelegateItemVisible(visible);
}

bool VYRQWindowDesigner::getDelegateItemVisible() const
{
    return impl()->getDelegateItemVisible();
}

void VYRQWindowDesigner::fillParent(const QSize& size)
{
    // Recorded as absolute geometry, so resizeWidget keeps it.
    setGeometry(0, 0, size.width(), size.height());
}

void VYRQWindowDesigner::resizeEvent(QResizeEvent* event)
{
    if (QWidget* parent = parentWidget()) {
        fillParent(parent->size());
        parent->installEventFilter(this);
    }
    for (QObject* object : children()) {
        auto* control = dynamic_cast<IVYRQWidgetBase*>(object);
        if (control && control->getControlBase())
            control->resizeWidget();
    }
    QWidget::resizeEvent(event);
}

bool VYRQWindowDesigner::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched == parentWidget()) {
        fillParent(static_cast<QResizeEvent*>(event)->size());
        // The designer takes the parent's resize over entirely.
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void VYRQWindowDesigner::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (pos() != QPoint(0, 0))
        move(0, 0);
}

void VYRQWindowDesigner::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
}

#include "moc_VYRQWindowDesigner.cpp"
