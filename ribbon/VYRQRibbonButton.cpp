#include "VYRQRibbonButton.h"

#include "VYRQIconFile_p.h"
#include "VYRQPushButtonImpl_p.h"
#include "VYRQRibbonMenu.h"

#include <QAction>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QSignalBlocker>

#include <algorithm>

namespace {
constexpr const char* ribbonIconProperty = "vyrRibbonIconPath";
constexpr const char* contextColorProperty = "vyrRibbonContextColor";
} // namespace

VYRQRibbonButton::VYRQRibbonButton(QWidget* parent, VYR_RIBBON_ITEM_SIZE size)
    : VYRQPushButton(parent)
    , m_itemSize(size)
{
    setAttribute(Qt::WA_MouseTracking);
    setFadeEnabled(false);
    connect(this, &QAbstractButton::clicked, this, &VYRQRibbonButton::onClicked);
}

VYRQRibbonButton::~VYRQRibbonButton() = default;

void VYRQRibbonButton::setItemSize(VYR_RIBBON_ITEM_SIZE size)
{
    const int side = iconSide();
    m_itemSize = size;
    // The icon is kept at the size it is drawn at.
    if (!m_ribbonIcon.isEmpty() && iconSide() != side)
        m_ribbonQIcon = vyr::readIconFile(m_ribbonIcon, iconSide());
    updateGeometry();
    update();
}

void VYRQRibbonButton::setPopupMode(VYR_RIBBON_POPUP_MODE mode)
{
    m_popupMode = mode;
    update();
}

VYRQRibbonMenu* VYRQRibbonButton::popupMenu() const
{
    return m_menu.data();
}

void VYRQRibbonButton::setPopupMenu(VYRQRibbonMenu* menu)
{
    m_menu = menu;
    // Reparenting with the plain setParent would drop the popup window type and
    // turn the menu into a child widget drawn inside the button.
    if (menu && !menu->parent())
        menu->setParent(this, menu->windowFlags());
    update();
}

QAction* VYRQRibbonButton::ribbonAction() const
{
    return m_action.data();
}

void VYRQRibbonButton::setRibbonAction(QAction* action)
{
    if (m_action)
        disconnect(m_action, nullptr, this, nullptr);
    m_action = action;
    if (action)
        connect(action, &QAction::changed, this, &VYRQRibbonButton::syncFromAction);
    syncFromAction();
}

template <class Icon>
void VYRQRibbonButton::setButtonIcon(const Icon& icon)
{
    const IconStyleDesc placement = getIconStyle();
    const int textX = getTextOffsetX();
    const int textY = getTextOffsetY();
    VYRQPushButton::setIcon(icon);
    setIconStyle(placement);
    setTextOffsetX(textX);
    setTextOffsetY(textY);
}

void VYRQRibbonButton::setShownIcon(const QString& path)
{
    if (path == m_ribbonIcon)
        return;
    m_ribbonIcon = path;
    m_ribbonQIcon = vyr::readIconFile(path, iconSide());
}

void VYRQRibbonButton::setRibbonIcon(const QString& path)
{
    setShownIcon(path);
    setButtonIcon(path);
    update();
}

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE void VYRQRibbonButton::syncFromAction()
{
    QAction* action = m_action.data();
    if (!action)
        return;
    setText(action->text());
    setToolTip(action->toolTip());
    setEnabled(action->isEnabled());
    setCheckable(action->isCheckable());
    {
        const QSignalBlocker blocker(this);
        setChecked(action->isChecked());
    }
    setShownIcon(action->property(ribbonIconProperty).toString());
    if (!m_ribbonIcon.isEmpty())
        setButtonIcon(m_ribbonIcon);
    else if (!action->icon().isNull())
        setButtonIcon(action->icon());
    update();
}

void VYRQRibbonButton::onClicked()
{
    QAction* action = m_action.data();
    if (!action || m_popupMode == VYR_RIBBON_POPUP_MODE::instant)
        return;
    // A slot on the command may delete this button (a ribbon rebuilt from it).
    const QPointer<VYRQRibbonButton> self(this);
    action->activate(QAction::Trigger);
    if (self)
        syncFromAction();
}

void VYRQRibbonButton::showPopupMenu()
{
    if (!m_menu)
        return;
    const QPointer<VYRQRibbonButton> self(this);
    emit menuAboutToShow();
    if (!self || !m_menu)
        return;
    m_menu->popup(mapToGlobal(QPoint(0, height())));
}

QRect VYRQRibbonButton::popupIndicatorRect() const
{
    if (m_popupMode == VYR_RIBBON_POPUP_MODE::none || !m_menu)
        return QRect();
    const int w = width();
    const int h = height();
    if (m_itemSize == VYR_RIBBON_ITEM_SIZE::large)
        return QRect(0, std::max(h - 20, 0), w, std::min(h, 20));
    return QRect(std::max(w - 17, 0), 0, std::min(w, 17), h);
}

QSize VYRQRibbonButton::sizeHint() const
{
    const int tw = fontMetrics().horizontalAdvance(text());
    switch (m_itemSize) {
    case VYR_RIBBON_ITEM_SIZE::large: return QSize(std::max(tw + 20, 64), 68);
    case VYR_RIBBON_ITEM_SIZE::medium: return QSize(std::max(tw + 34, 74), 30);
    default: return QSize(std::max(tw + 30, 54), 24);
    }
}

void VYRQRibbonButton::mousePressEvent(QMouseEvent* event)
{
    m_popupOpenedByPress = false;
    const bool opens = m_menu
        && (m_popupMode == VYR_RIBBON_POPUP_MODE::instant
            || (m_popupMode == VYR_RIBBON_POPUP_MODE::split && popupIndicatorRect().contains(event->pos())));
    if (!opens) {
        VYRQPushButton::mousePressEvent(event);
        return;
    }
    m_popupOpenedByPress = true;
    event->accept();
    showPopupMenu();
}

// The release that ends a press which opened the menu is swallowed, so no click
// (and no command) follows the popup.
void VYRQRibbonButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_popupOpenedByPress) {
        m_popupOpenedByPress = false;
        event->accept();
        return;
    }
    VYRQPushButton::mouseReleaseEvent(event);
}

// ---------------------------------------------------------------------------
// Painting

CtrlState VYRQRibbonButton::paintState() const
{
    if (!isEnabled())
        return Disable;
    if (isDown() || isChecked())
        return Pressed;
    return underMouse() ? Hot : Normal;
}

int VYRQRibbonButton::iconSide() const
{
    return m_itemSize == VYR_RIBBON_ITEM_SIZE::large ? vyr::largeIconSide : vyr::smallIconSide;
}

QRect VYRQRibbonButton::iconRect() const
{
    const int w = width();
    const int h = height();
    if (m_itemSize == VYR_RIBBON_ITEM_SIZE::large)
        return QRect(8, 5, std::max(w - 16, 16), std::max(h - 31, 18));
    return QRect(5, std::max((h - 18) / 2, 2), 18, 18);
}

QRect VYRQRibbonButton::textRect() const
{
    const int w = width();
    const int h = height();
    if (m_itemSize == VYR_RIBBON_ITEM_SIZE::large)
        return QRect(4, h - 27, w - 8, 23);
    const int indicator = popupIndicatorRect().isValid() ? 17 : 0;
    // Without an icon the text takes the icon's place: tabs and scroll buttons sized
    // to their text would otherwise cut it short or show none of it.
    if (!hasIcon())
        return QRect(4, 0, std::max(w - 8 - indicator, 0), h);
    return QRect(27, 0, std::max(w - 31 - indicator, 0), h);
}

bool VYRQRibbonButton::hasIcon() const
{
    return !m_ribbonIcon.isEmpty() || (m_action && !m_action->icon().isNull());
}

QColor VYRQRibbonButton::contextColor() const
{
    const QVariant value = property(contextColorProperty);
    if (value.userType() == QMetaType::QColor)
        return value.value<QColor>();
    if (value.canConvert<QColor>())
        return value.value<QColor>();
    return QColor();
}

void VYRQRibbonButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const int w = width();
    const int h = height();
    const CtrlState state = paintState();
    const bool large = m_itemSize == VYR_RIBBON_ITEM_SIZE::large;

    VYRQWidgetBaseImpl::drawFillStyle(&painter, getBackground(state), rect());

    const QColor strip = contextColor();
    if (strip.isValid())
        painter.fillRect(QRect(2, 0, std::max(w - 4, 0), 3), strip);

    const QRect icons = iconRect();
    const IconStyleDesc placement = getIconStyle();
    if (!m_ribbonIcon.isEmpty()) {
        VYRQWidgetBaseImpl::drawIcon(&painter, m_ribbonQIcon, QSize(iconSide(), iconSide()), placement, icons);
    } else if (m_action && !m_action->icon().isNull()) {
        const QSize side(std::min(icons.width(), 24), std::min(icons.height(), 24));
        VYRQWidgetBaseImpl::drawIcon(&painter, m_action->icon(), side, placement, icons);
    }

    const TextStyleDesc textStyle = getTextStyle(state);
    if (getShowText())
        VYRQWidgetBaseImpl::drawText(&painter, text(), textStyle, textRect());

    const QRect indicator = popupIndicatorRect();
    if (!indicator.isValid())
        return;
    if (m_popupMode == VYR_RIBBON_POPUP_MODE::split) {
        painter.setPen(QColor(180, 188, 199));
        if (large)
            painter.drawLine(QPoint(4, indicator.top()), QPoint(w - 4, indicator.top()));
        else
            painter.drawLine(QPoint(indicator.left(), 4), QPoint(indicator.left(), h - 4));
    }
    const QPoint c = indicator.center();
    const QPolygon arrow({QPoint(c.x() - 4, c.y() - 2), QPoint(c.x() + 4, c.y() - 2), QPoint(c.x(), c.y() + 3)});
    painter.setPen(Qt::NoPen);
    painter.setBrush(textStyle.color);
    painter.drawPolygon(arrow);
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQRibbonButton.cpp"
