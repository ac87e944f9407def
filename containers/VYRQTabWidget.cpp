#include "VYRQTabWidget.h"

#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQPropertyRows.h"
#include "VYRQStateStyles.h"

#include <QMouseEvent>

#include <json/value.h>

#include <vector>

namespace {

struct TabItem {
    QString icon;
    QString selectedIcon;
    QString text;
    QVariant data;
};

constexpr int defaultItemSize = 50;

} // namespace

class VYRQTabWidgetImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQTabWidgetImpl(VYRQTabWidget* owner)
        : VYRQWidgetBaseImpl(owner, VYRQTabWidget::typeName())
        , q(owner)
    {
    }

    void drawControl(QPainter* painter, const QRect& rect) override;
    void createComplete() override;

    bool validIndex(int index) const { return index >= 0 && index < int(items.size()); }
    QRect tabRect(int index) const;
    int tabAt(const QPoint& pos) const;
    void press(const QPoint& pos);
    void hover(const QPoint& pos);
    void leave();
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    VYRQTabWidget* q;
    bool showIcon = true;
    bool showText = true;
    int selectedIndex = 0;
    int hoverIndex = -1;
    int itemSpace = 0;
    bool vertical = false;
    int itemSize = defaultItemSize;
    std::vector<TabItem> items;
    FillStyle background;
    // Indexed 0 normal, 1 hovered, 2 selected, 3 disabled (not painted).
    vyr::FillStates itemBackground;
    vyr::TextStates itemTextStyle;
    const IconStyleDesc iconStyle;
};

QRect VYRQTabWidgetImpl::tabRect(int index) const
{
    const int offset = index * (itemSize + itemSpace);
    if (vertical)
        return QRect(0, offset, q->width(), itemSize);
    return QRect(offset, 0, itemSize, q->height());
}

int VYRQTabWidgetImpl::tabAt(const QPoint& pos) const
{
    for (int i = 0; i < int(items.size()); ++i)
        if (tabRect(i).contains(pos))
            return i;
    return -1;
}

void VYRQTabWidgetImpl::press(const QPoint& pos)
{
    const int hit = tabAt(pos);
    if (hit < 0)
        return;
    // Pressing the selected tab reports it again, so a host can re-open its page.
    selectedIndex = hit;
    emit q->currentChanged(hit);
    q->update();
}

void VYRQTabWidgetImpl::hover(const QPoint& pos)
{
    // Leaving the tabs for the empty part of the strip keeps the last one hovered.
    const int hit = tabAt(pos);
    if (hit < 0 || hit == hoverIndex)
        return;
    hoverIndex = hit;
    q->repaint();
}

void VYRQTabWidgetImpl::leave()
{
    if (hoverIndex == -1)
        return;
    hoverIndex = -1;
    q->repaint();
}

void VYRQTabWidgetImpl::drawControl(QPainter* painter, const QRect& rect)
{
    drawFillStyle(painter, background, rect);
    for (int i = 0; i < int(items.size()); ++i) {
        const QRect cell = tabRect(i);
        if (!cell.intersects(rect))
            continue;
        const TabItem& item = items[size_t(i)];
        const bool selected = i == selectedIndex;
        const int look = selected ? Pressed : i == hoverIndex ? Hot : Normal;
        drawFillStyle(painter, itemBackground.get(look), cell);
        if (showText)
            drawText(painter, item.text, itemTextStyle.get(look), cell);
        if (showIcon)
            drawImage(painter, selected ? item.selectedIcon : item.icon, iconStyle, cell, false);
    }
}

void VYRQTabWidgetImpl::createComplete()
{
    if (!vyrIsQtEmulator())
        return;
    for (const char* text : {"item1", "item2", "item3"})
        q->addTab(QString::fromLatin1(text), QString(), QString());
}


vyr::StyleSlots VYRQTabWidgetImpl::styleSlots()
{
    return {{0, background}, {1, itemBackground}, {5, itemTextStyle, vyr::StyleSlot::StatesWrite::ByName}};
}

void VYRQTabWidgetImpl::readJson(const Json::Value& element)
{
    const Json::Value* attr = vyr::json::object(element, "attr");
    if (!attr)
        return;
    readOwnAttr(*attr, "itemSize", itemSize);
    // A strip is horizontal unless its "attr" says otherwise.
    bool hor = true;
    readOwnAttr(*attr, "isHor", hor);
    vertical = !hor;
    readOwnAttr(*attr, "itemSpace", itemSpace);
    int flag = 0;
    if (readOwnAttr(*attr, "showText", flag))
        showText = flag != 0;
    if (readOwnAttr(*attr, "hasIcon", flag))
        showIcon = flag != 0;
}

void VYRQTabWidgetImpl::writeJson(Json::Value& element)
{
    if (itemSize != defaultItemSize)
        element["attr"]["itemSize"] = itemSize;
    if (vertical)
        element["attr"]["isHor"] = 0;
    if (itemSpace != 0)
        element["attr"]["itemSpace"] = itemSpace;
    if (!showText)
        element["attr"]["showText"] = 0;
    if (!showIcon)
        element["attr"]["hasIcon"] = 0;
}

// VYRQTabWidget

VYRQTabWidget::VYRQTabWidget(QWidget* parent)
    : VYRQControl(parent)
{
    finishConstruction();
    setAttribute(Qt::WA_MouseTracking);
}

VYRQTabWidget::~VYRQTabWidget() = default;

void VYRQTabWidget::addTab(const QString& text, const QString& icon, const QString& selectedIcon)
{
    TabItem item;
    item.icon = icon;
    item.selectedIcon = selectedIcon.isEmpty() ? icon : selectedIcon;
    item.text = text;
    impl()->items.push_back(item);
}

void VYRQTabWidget::removeTab(int index)
{
    if (!impl()->validIndex(index))
        return;
    impl()->items.erase(impl()->items.begin() + index);
}

void VYRQTabWidget::clear()
{
    impl()->items.clear();
    update();
}

int VYRQTabWidget::getTabCount() const
{
    return int(impl()->items.size());
}

QString VYRQTabWidget::getTabText(int index) const
{
    return impl()->validIndex(index) ? impl()->items[size_t(index)].text : QString();
}

bool VYRQTabWidget::setItemData(int index, QVariant value)
{
    if (!impl()->validIndex(index))
        return false;
    impl()->items[size_t(index)].data = value;
    return true;
}

QVariant VYRQTabWidget::getItemData(int index) const
{
    return impl()->validIndex(index) ? impl()->items[size_t(index)].data : QVariant();
}

int VYRQTabWidget::getSelectedIndex() const
{
    return impl()->selectedIndex;
}

void VYRQTabWidget::setSelectedIndex(int index)
{
    if (index >= getTabCount() || index == impl()->selectedIndex)
        return;
    impl()->selectedIndex = index;
    emit currentChanged(index);
    update();
}

void VYRQTabWidget::initDemoData()
{
    createComplete();
}

void VYRQTabWidget::setBackground(const FillStyle& style)
{
    impl()->background = style;
}

const FillStyle& VYRQTabWidget::getBackground() const
{
    return impl()->background;
}

void VYRQTabWidget::setItemBackground(CtrlState state, const FillStyle& style)
{
    impl()->itemBackground.set(state, style);
}

const FillStyle& VYRQTabWidget::getItemBackground(CtrlState state) const
{
    return impl()->itemBackground.get(state);
}

void VYRQTabWidget::setItemTextStyle(CtrlState state, const TextStyleDesc& style)
{
    impl()->itemTextStyle.set(state, style);
}

const TextStyleDesc& VYRQTabWidget::getItemTextStyle(CtrlState state) const
{
    return impl()->itemTextStyle.get(state);
}

void VYRQTabWidget::setIsHor(bool hor)
{
    impl()->vertical = !hor;
}

bool VYRQTabWidget::getIsHor() const
{
    return !impl()->vertical;
}

void VYRQTabWidget::setItemSize(int size)
{
    impl()->itemSize = size;
}

int VYRQTabWidget::getItemSize() const
{
    return impl()->itemSize;
}

void VYRQTabWidget::setItemSpace(int space)
{
    impl()->itemSpace = space;
}

int VYRQTabWidget::getItemSpace() const
{
    return impl()->itemSpace;
}

void VYRQTabWidget::setShowText(bool show)
{
    impl()->showText = show;
}

bool VYRQTabWidget::getShowText() const
{
    return impl()->showText;
}

void VYRQTabWidget::setShowIcon(bool show)
{
    impl()->showIcon = show;
}

bool VYRQTabWidget::getShowIcon() const
{
    return impl()->showIcon;
}

QRect VYRQTabWidget::tabRect(int index) const
{
    return impl()->tabRect(index);
}

int VYRQTabWidget::tabAt(const QPoint& pos) const
{
    return impl()->tabAt(pos);
}

int VYRQTabWidget::getHoverIndex() const
{
    return impl()->hoverIndex;
}

void VYRQTabWidget::mousePressEvent(QMouseEvent* event)
{
    impl()->press(event->pos());
}

void VYRQTabWidget::mouseMoveEvent(QMouseEvent* event)
{
    impl()->hover(event->pos());
}

void VYRQTabWidget::mouseReleaseEvent(QMouseEvent*)
{
}

void VYRQTabWidget::leaveEvent(QEvent*)
{
    impl()->leave();
}

ControlInfo VYRQTabWidget::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQTabWidget>("TabWidget", "Control TabWidget", "tab");
    // One background for every state, though the row lists two.
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQTabWidget::setBackground,
                                           &VYRQTabWidget::getBackground, vyr::commonStates()));
    info.rows.push_back(
        vyr::fillStatesRow("ItemBg", &VYRQTabWidget::setItemBackground, &VYRQTabWidget::getItemBackground));
    info.rows.push_back(
        vyr::textStatesRow("TextStyle", &VYRQTabWidget::setItemTextStyle, &VYRQTabWidget::getItemTextStyle));
    info.rows.push_back(vyr::boolRow("IsHorizontal", &VYRQTabWidget::setIsHor, &VYRQTabWidget::getIsHor));
    info.rows.push_back(vyr::intRow("ItemSize", &VYRQTabWidget::setItemSize, &VYRQTabWidget::getItemSize));
    info.rows.push_back(vyr::intRow("ItemSpace", &VYRQTabWidget::setItemSpace, &VYRQTabWidget::getItemSpace));
    info.rows.push_back(vyr::boolRow("ShowText", &VYRQTabWidget::setShowText, &VYRQTabWidget::getShowText));
    info.rows.push_back(vyr::boolRow("ShowIcon", &VYRQTabWidget::setShowIcon, &VYRQTabWidget::getShowIcon));
    return info;
}

#include "moc_VYRQTabWidget.cpp"
