#include "VYRQMenuBar.h"
#include "VYRQMenuBarImpl.h"

#include "VYRQPropertyRows.h"

#include <QAction>
#include <QFont>
#include <QMouseEvent>
#include <QPainter>

#include <json/value.h>

#include <algorithm>

namespace {
bool isItemState(CtrlState state)
{
    return state >= Normal && state < CtrlStateCount;
}
} // namespace

// ---------------------------------------------------------------------------
// VYRQMenuBarImpl

VYRQMenuBarImpl::VYRQMenuBarImpl(VYRQMenuBar* owner)
    : VYRQWidgetBaseImpl(owner, VYRQMenuBar::typeName())
    , q(owner)
{
}

VYRQMenuBarImpl::~VYRQMenuBarImpl() = default;

void VYRQMenuBarImpl::drawControl(QPainter* painter, const QRect&)
{
    if (!q)
        return;
    drawFillStyle(painter, background, 0, 0, q->width(), q->height());
    const QList<QAction*> actions = q->actions();
    for (int i = 0; i < actions.size(); ++i) {
        QRect r = q->actionGeometry(actions.at(i));
        r.setHeight(q->height());
        const CtrlState state = i == pressedIndex ? Pressed : i == hoveredIndex ? Hot : Normal;
        drawFillStyle(painter, itemBackgrounds.get(state), r);
        drawText(painter, actions.at(i)->text(), itemTextStyles.get(state), r);
    }
}

void VYRQMenuBarImpl::readStyleEntry(const QString& name, int slot)
{
    FillStyle fill;
    TextStyleDesc text;
    if (slot == 0) {
        if (lookupFill(name, fill))
            background = fill;
    } else if (slot >= 1 && slot <= 4) {
        if (lookupFill(name, fill))
            itemBackgrounds.readSlot(slot - 1, fill);
    } else if (slot >= 5 && slot <= 8) {
        if (!lookupText(name, text))
            return;
        itemTextStyles.readSlot(slot - 5, text);
        if (slot == 5) {
            // The bar's item geometry follows the item text size.
            QFont font = q->font();
            font.setPixelSize(std::max(itemTextStyles.get(Normal).size + 1, 1));
            q->setFont(font);
        }
    } else if (slot >= 9 && slot <= 12) {
        if (!lookupFill(name, fill))
            return;
        if (slot == 9)
            popupBackground = fill;
        popupItemBackgrounds.readSlot(slot - 9, fill);
    } else if (slot >= 13 && slot <= 16) {
        if (lookupText(name, text))
            popupItemTextStyles.readSlot(slot - 13, text);
    }
}

void VYRQMenuBarImpl::readJson(const Json::Value& element)
{
    forEachStyleEntry(element, [this](const QString& name, int, int slot) { readStyleEntry(name, slot); });
}

void VYRQMenuBarImpl::writeJson(Json::Value& element)
{
    Json::Value styles(Json::arrayValue);
    if (!background.name.isEmpty())
        vyr::appendStyleEntry(styles, background.name, vyr::styleEntryKind(background), 0);
    itemBackgrounds.write(styles, 1);
    itemTextStyles.write(styles, 5);
    if (!popupBackground.name.isEmpty())
        vyr::appendStyleEntry(styles, popupBackground.name, vyr::styleEntryKind(popupBackground), 9);
    popupItemBackgrounds.write(styles, 9);
    popupItemTextStyles.write(styles, 13);
    if (!styles.empty())
        element["style"] = styles;
}

// ---------------------------------------------------------------------------
// VYRQMenuBar

VYRQMenuBar::VYRQMenuBar(QWidget* parent)
    : VYRQControl(parent)
{
    finishConstruction();
    setAttribute(Qt::WA_MouseTracking);
}

VYRQMenuBar::~VYRQMenuBar() = default;

QRect VYRQMenuBar::actionGeometry(QAction* action) const
{
    return action ? QMenuBar::actionGeometry(action) : QRect();
}

void VYRQMenuBar::setBackground(CommonCtrlState, const FillStyle& style)
{
    impl()->background = style;
}

const FillStyle& VYRQMenuBar::getBackground(CommonCtrlState) const
{
    return impl()->background;
}

void VYRQMenuBar::setItemBackground(CtrlState state, const FillStyle& style)
{
    impl()->itemBackgrounds.set(state, style);
}

const FillStyle& VYRQMenuBar::getItemBackground(CtrlState state) const
{
    return impl()->itemBackgrounds.get(state);
}

void VYRQMenuBar::setTextStyle(CtrlState state, const TextStyleDesc& style)
{
    impl()->itemTextStyles.set(state, style);
}

const TextStyleDesc& VYRQMenuBar::getTextStyle(CtrlState state) const
{
    return impl()->itemTextStyles.get(state);
}

void VYRQMenuBar::setPopupBackground(CommonCtrlState, const FillStyle& style)
{
    impl()->popupBackground = style;
}

const FillStyle& VYRQMenuBar::getPopupBackground(CommonCtrlState) const
{
    return impl()->popupBackground;
}

void VYRQMenuBar::setPopupItemBackground(CtrlState state, const FillStyle& style)
{
    if (isItemState(state))
        impl()->popupItemBackgrounds.set(state, style);
}

const FillStyle& VYRQMenuBar::getPopupItemBackground(CtrlState state) const
{
    return impl()->popupItemBackgrounds.get(state);
}

void VYRQMenuBar::setPopupTextStyle(CtrlState state, const TextStyleDesc& style)
{
    if (isItemState(state))
        impl()->popupItemTextStyles.set(state, style);
}

const TextStyleDesc& VYRQMenuBar::getPopupTextStyle(CtrlState state) const
{
    return impl()->popupItemTextStyles.get(state);
}

void VYRQMenuBar::mousePressEvent(QMouseEvent* event)
{
    QMenuBar::mousePressEvent(event);
}

void VYRQMenuBar::mouseReleaseEvent(QMouseEvent* event)
{
    QMenuBar::mouseReleaseEvent(event);
    if (impl()->pressedIndex != -1) {
        impl()->pressedIndex = -1;
        repaint();
    }
}

void VYRQMenuBar::mouseMoveEvent(QMouseEvent* event)
{
    QMenuBar::mouseMoveEvent(event);
    const QList<QAction*> items = actions();
    for (int i = 0; i < items.size(); ++i) {
        if (!actionGeometry(items.at(i)).contains(event->pos()))
            continue;
        // Off every item but still over the bar, the last item stays highlighted.
        if (i != impl()->hoveredIndex) {
            impl()->hoveredIndex = i;
            repaint();
        }
        return;
    }
}

void VYRQMenuBar::enterEvent(QEvent* event)
{
    QMenuBar::enterEvent(event);
}

void VYRQMenuBar::leaveEvent(QEvent* event)
{
    QMenuBar::leaveEvent(event);
    if (impl()->hoveredIndex != -1) {
        impl()->hoveredIndex = -1;
        repaint();
    }
}

// ---------------------------------------------------------------------------
// Designer record

ControlInfo VYRQMenuBar::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQMenuBar>("MenuBar", "Control MenuBar", "menu");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQMenuBar::setBackground, &VYRQMenuBar::getBackground,
                                           vyr::commonStates()));
    info.rows.push_back(
        vyr::fillStatesRow("ItemBackground", &VYRQMenuBar::setItemBackground, &VYRQMenuBar::getItemBackground));
    info.rows.push_back(vyr::textStatesRow("ItemTextStyle", &VYRQMenuBar::setTextStyle, &VYRQMenuBar::getTextStyle));
    info.rows.push_back(vyr::fillStatesRow("PopupBackground", &VYRQMenuBar::setPopupBackground,
                                           &VYRQMenuBar::getPopupBackground, vyr::commonStates()));
    info.rows.push_back(vyr::fillStatesRow("PopupItemBackground", &VYRQMenuBar::setPopupItemBackground,
                                           &VYRQMenuBar::getPopupItemBackground));
    info.rows.push_back(vyr::textStatesRow("PopupItemTextStyle", &VYRQMenuBar::setPopupTextStyle,
                                           &VYRQMenuBar::getPopupTextStyle));
    return info;
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQMenuBar.cpp"
#include "moc_VYRQMenuBarImpl.cpp"
