#include "VYRQMenu.h"
#include "VYRQMenuImpl.h"

#include "VYRQGlobal_p.h"
#include "VYRQIconFile_p.h"
#include "VYRQImplAccess_p.h"
#include "VYRQJson.h"

#include <QAction>
#include <QHideEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include <json/value.h>

namespace {

constexpr const char* iconPathProperty = "vyr_menu_icon_path";

bool isSvgPath(const QString& path)
{
    return path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
}

bool isItemState(CtrlState state)
{
    return state >= Normal && state < CtrlStateCount;
}

// One item object of a menu file into `menu`. An item with an "items" array becomes
// a sub-menu that takes the parent's styles; items that are not objects are skipped.
void readItem(VYRQMenu* menu, const Json::Value& item, int depth)
{
    if (!item.isObject())
        return;
    const QString text = vyr::json::stringOr(item, "text");
    QString icon;
    const bool hasIcon = vyr::json::read(item, "icon", icon);
    const Json::Value* children = vyr::json::array(item, "items");
    if (!children) {
        QAction* action = menu->addAction(text);
        if (hasIcon && !icon.isEmpty()) {
            action->setProperty(iconPathProperty, icon);
            if (!isSvgPath(icon))
                action->setIcon(vyr::readIconFile(icon, vyr::smallIconSide));
        }
        return;
    }
    // A value built in code has no nesting limit of its own.
    if (depth >= vyr::maxElementDepth)
        return;
    auto* sub = new VYRQMenu(menu);
    sub->setTitle(text);
    VYRQImplAccess::of(menu)->copyStylesTo(*VYRQImplAccess::of(sub));
    QAction* action = menu->addMenu(sub);
    if (hasIcon)
        action->setProperty(iconPathProperty, icon);
    for (const Json::Value& child : *children)
        readItem(sub, child, depth + 1);
}

} // namespace

// ---------------------------------------------------------------------------
// VYRQMenuImpl

VYRQMenuImpl::VYRQMenuImpl(VYRQMenu* owner)
    : VYRQWidgetBaseImpl(owner, VYRQMenu::typeName())
    , q(owner)
{
}

VYRQMenuImpl::~VYRQMenuImpl() = default;

void VYRQMenuImpl::copyStylesTo(VYRQMenuImpl& other) const
{
    other.background = background;
    other.itemStyles = itemStyles;
    other.itemTextStyles = itemTextStyles;
}

void VYRQMenuImpl::readStyleKeys(const Json::Value& element)
{
    FillStyle fill;
    if (lookupFill(vyr::json::stringOr(element, "background"), fill))
        background = fill;
    static const char* const fillKeys[] = {"item0", "item1", "item2", "item3"};
    for (int state = 0; state < CtrlStateCount; ++state) {
        if (lookupFill(vyr::json::stringOr(element, fillKeys[state]), fill))
            itemStyles.readSlot(state, fill);
    }
    static const char* const textKeys[] = {"text0", "text1", "text2", "text3"};
    TextStyleDesc text;
    for (int state = 0; state < CtrlStateCount; ++state) {
        if (lookupText(vyr::json::stringOr(element, textKeys[state]), text))
            itemTextStyles.readSlot(state, text);
    }
}

// Styles come before the items, so sub-menus built below take the styles just read.
void VYRQMenuImpl::readJson(const Json::Value& element)
{
    if (vyr::json::has(element, "background"))
        readStyleKeys(element);
    if (const Json::Value* items = vyr::json::array(element, "items")) {
        for (const Json::Value& item : *items)
            readItem(q, item, 0);
    }
}

void VYRQMenuImpl::drawItem(QPainter* painter, QAction* action, bool hot) const
{
    const QRect r = q->actionGeometry(action);
    QRect textRect = r;
    // The item fill goes first: an opaque item style must not hide the icon.
    drawFillStyle(painter, itemStyles.get(hot ? Hot : Normal), r);
    if (iconOffset != 0) {
        textRect.setLeft(r.left() + iconOffset + 4);
        const QRect iconRect(r.left(), r.top(), iconOffset, r.height());
        const IconStyleDesc centred;
        const QString path = action->property(iconPathProperty).toString();
        if (path.isEmpty())
            drawIcon(painter, action->icon(), QSize(16, 16), centred, iconRect);
        else
            drawImage(painter, path, centred, iconRect, false);
    }
    drawText(painter, action->text(), itemTextStyles.get(hot ? Hot : Normal), textRect);
    if (action->menu()) {
        const int mid = r.top() + r.height() / 2;
        const QPolygon arrow({QPoint(r.right() - 2, mid), QPoint(r.right() - 7, mid - 5),
                              QPoint(r.right() - 7, mid + 5)});
        painter->save();
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(204, 204, 204));
        painter->drawPolygon(arrow);
        painter->restore();
    }
}

void VYRQMenuImpl::drawControl(QPainter* painter, const QRect& rect)
{
    drawFillStyle(painter, background, rect);
    const QList<QAction*> actions = q->actions();
    for (int i = 0; i < actions.size(); ++i) {
        QAction* action = actions.at(i);
        drawItem(painter, action, i == hoveredIndex && !action->isSeparator());
    }
}

// ---------------------------------------------------------------------------
// VYRQMenu

VYRQMenu::VYRQMenu(QWidget* parent)
    : VYRQControl(parent)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    finishConstruction();
}

VYRQMenu::VYRQMenu(const QString& title, QWidget* parent)
    : VYRQControl(title, parent)
{
}

VYRQMenu::~VYRQMenu() = default;

QWidget* VYRQMenu::createVYRQMenu()
{
    return new VYRQMenu(nullptr);
}

QAction* VYRQMenu::addIconAction(const QString& iconPath, const QString& text)
{
    QAction* action = addAction(text);
    if (!iconPath.isEmpty()) {
        action->setProperty(iconPathProperty, iconPath);
        if (!isSvgPath(iconPath))
            action->setIcon(vyr::readIconFile(iconPath, vyr::smallIconSide));
    }
    return action;
}

void VYRQMenu::setBackground(const FillStyle& style)
{
    impl()->background = style;
}

void VYRQMenu::setItemStyle(CtrlState state, const FillStyle& style)
{
    if (isItemState(state))
        impl()->itemStyles.set(state, style);
}

void VYRQMenu::setItemTextStyle(CtrlState state, const TextStyleDesc& style)
{
    if (isItemState(state))
        impl()->itemTextStyles.set(state, style);
}

void VYRQMenu::setIconOffset(int offset)
{
    impl()->iconOffset = offset;
}

QSize VYRQMenu::sizeHint()
{
    const QSize hint = QMenu::sizeHint();
    return QSize(hint.width() + impl()->iconOffset, hint.height());
}

void VYRQMenu::mouseMoveEvent(QMouseEvent* event)
{
    QMenu::mouseMoveEvent(event);
    const QList<QAction*> items = actions();
    for (int i = 0; i < items.size(); ++i) {
        if (!actionGeometry(items.at(i)).contains(event->pos()))
            continue;
        // Between items the last hovered one stays highlighted.
        if (i != impl()->hoveredIndex)
            update();
        impl()->hoveredIndex = i;
        return;
    }
}

void VYRQMenu::mousePressEvent(QMouseEvent* event)
{
    QMenu::mousePressEvent(event);
}

void VYRQMenu::mouseReleaseEvent(QMouseEvent* event)
{
    QMenu::mouseReleaseEvent(event);
}

void VYRQMenu::enterEvent(QEvent* event)
{
    QMenu::enterEvent(event);
}

void VYRQMenu::leaveEvent(QEvent* event)
{
    QMenu::leaveEvent(event);
}

void VYRQMenu::hideEvent(QHideEvent* event)
{
    QMenu::hideEvent(event);
    impl()->hoveredIndex = -1;
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQMenu.cpp"
#include "moc_VYRQMenuImpl.cpp"
