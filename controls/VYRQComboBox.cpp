#include "VYRQComboBox.h"
#include "VYRQComboBoxImpl_p.h"

#include "VYRQComboList.h"
#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQPropertyRows.h"

#include <QAbstractItemView>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include <json/value.h>

#include <algorithm>

namespace {

// The per-state setters and getters take 0 to 3; any other value, 4 included,
// addresses slot 0 (there is no all-states value here).
bool validState(int state)
{
    return state >= Normal && state <= Disable;
}

const QMargins editTextMargins(10, 0, 10, 0);

} // namespace

// VYRQComboBoxImpl

VYRQComboBoxImpl::VYRQComboBoxImpl(VYRQComboBox* owner)
    : VYRQWidgetBaseImpl(owner, VYRQComboBox::typeName())
    , q(owner)
{
}

VYRQComboBoxImpl::~VYRQComboBoxImpl() = default;

QRect VYRQComboBoxImpl::faceIconRect(const QRect& rect)
{
    return QRect(5, 0, 20, rect.height());
}

QRect VYRQComboBoxImpl::faceTextRect(const QRect& rect, bool hasIcon)
{
    if (!hasIcon)
        return rect;
    // The right edge stays where the narrowed rectangle ended: 20 pixels short.
    QRect text = rect;
    text.setWidth(rect.width() - 20);
    text.setLeft(20);
    return text;
}

QRect VYRQComboBoxImpl::buttonRect(const QRect& rect)
{
    return QRect(rect.right() - rect.height(), rect.top(), rect.height(), rect.height());
}

QRect VYRQComboBoxImpl::rowIconRect(const QRect& rect)
{
    return QRect(rect.x(), rect.y(), 20, rect.height());
}

QRect VYRQComboBoxImpl::rowTextRect(const QRect& rect, bool hasIcon)
{
    return hasIcon ? QRect(rect.x() + 20, rect.y(), rect.width() - 20, rect.height()) : rect;
}

TextStyleDesc VYRQComboBoxImpl::placedTextStyle(const TextStyleDesc& style)
{
    TextStyleDesc placed = style;
    if (placed.hor == 0)
        placed.x = std::max(placed.x, 10);
    return placed;
}

int VYRQComboBoxImpl::rowStyleIndex(QStyle::State state)
{
    if (state & QStyle::State_MouseOver)
        return 1;
    if (state & QStyle::State_Selected)
        return 2;
    return 0;
}

void VYRQComboBoxImpl::drawControl(QPainter* painter, const QRect& rect)
{
    // Only when they differ: setting margins relayouts the line edit, which repaints
    // the combo box, which would set them again.
    if (QLineEdit* edit = q->lineEdit()) {
        if (edit->textMargins() != editTextMargins)
            edit->setTextMargins(editTextMargins);
    }
    const QIcon icon = q->itemIcon(q->currentIndex());
    const bool hasIcon = !icon.isNull();
    const QRect iconRect = faceIconRect(rect);
    const CtrlState s = ctrlState();
    if (validState(s)) {
        const QRect button = buttonRect(rect);
        drawFillStyle(painter, background.get(s), rect);
        drawFillStyle(painter, btnBackground.get(s), button);
        // A state without an icon of its own shows the normal one: the pressed state
        // lasts after a pick until the mouse comes back, and the chevron must not go.
        const QString& own = btnIcon[size_t(s)];
        drawImage(painter, own.isEmpty() ? btnIcon[Normal] : own, IconStyleDesc(), button, s == Disable);
        if (!q->isEditable())
            drawText(painter, q->currentText(), placedTextStyle(textStyle.get(s)), faceTextRect(rect, hasIcon));
    }
    if (hasIcon)
        drawIcon(painter, icon, QSize(16, 16), IconStyleDesc(), iconRect);
}

void VYRQComboBoxImpl::createComplete()
{
    if (!vyrIsQtEmulator())
        return;
    q->addItem(QStringLiteral("Item1"));
    q->addItem(QStringLiteral("Item2"));
    q->addItem(QStringLiteral("Item3"));
    q->setCurrentIndex(0);
}


vyr::StyleSlots VYRQComboBoxImpl::styleSlots()
{
    using W = vyr::StyleSlot::StatesWrite;
    return {{0, background}, {4, btnBackground}, {8, textStyle, W::ByName}, {12, popupBackground},
            {13, itemBackground}, {17, itemTextStyle, W::ByName}};
}

void VYRQComboBoxImpl::readJson(const Json::Value& element)
{
    if (QLineEdit* edit = q->lineEdit())
        edit->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));

    const Json::Value* attr = vyr::json::object(element, "attr");
    if (!attr)
        return;
    QString text;
    // Each read appends: a page element read twice adds its item twice.
    if (readOwnAttr(*attr, "text", text)) {
        q->addItem(text);
        q->setCurrentIndex(q->count() - 1);
    }
    QString icon;
    if (readOwnAttr(*attr, "btnIcon", icon))
        btnIcon.fill(icon);
    if (readOwnAttr(*attr, "btnHotIcon", icon))
        btnIcon[Hot] = icon;
}

void VYRQComboBoxImpl::writeJson(Json::Value& element)
{
    Json::Value own(Json::objectValue);
    const QString current = q->currentText();
    vyr::json::writeUnlessEmpty(own, "text", current);
    vyr::json::writeUnlessEmpty(own, "btnIcon", btnIcon[Normal]);
    if (!btnIcon[Hot].isEmpty() && btnIcon[Hot] != btnIcon[Normal])
        own["btnHotIcon"] = vyr::json::toUtf8(btnIcon[Hot]);
    if (own.empty())
        return;
    Json::Value& attr = element["attr"];
    for (const std::string& key : own.getMemberNames())
        attr[key] = own[key];
}

// VYRQComboBox

VYRQComboBox::VYRQComboBox(QWidget* parent)
    : VYRQControl(parent)
{
    finishConstruction();
}

VYRQComboBox::~VYRQComboBox() = default;

VYRQComboList* VYRQComboBox::ensurePopupList()
{
    if (m_listMade)
        return m_list;
    m_listMade = true;
    // Built when first needed, not in the constructor: Qt's list (which setView()
    // builds and throws away), the themed list and the popup window around them are a
    // dozen widgets, and while the events posted since the event loop last ran wait,
    // building a scroll area (its layout request) or deleting a widget scans all of
    // them: a page or ribbon of thousands of combo boxes would load in quadratic time.
    // Callers see the themed list all the same, as view() and the other hidden
    // operations build it, and so do the event handlers whose QComboBox part would
    // build a list of its own. A view the application set stays. Qt's list found
    // before QComboBox::view() is asked was reached through a QComboBox pointer: a
    // caller may hold it.
    const QList<QAbstractItemView*> earlier = findChildren<QAbstractItemView*>();
    QAbstractItemView* qtList = QComboBox::view();
    if (!qtList->inherits("QComboBoxListView"))
        return nullptr;
    m_list = new VYRQComboList(impl());
    if (earlier.contains(qtList)) {
        // setView() deletes the list it replaces: keep it, hidden, with the combo box,
        // so that a pointer taken through QComboBox::view() never dangles.
        qtList->hide();
        qtList->setParent(this);
    }
    // The combo box takes the list over (and deletes it with itself).
    setView(m_list);
    // setView() does not carry over what QComboBox had set on its own list.
    m_list->setModelColumn(modelColumn());
    m_list->setRootIndex(rootModelIndex());
    return m_list;
}

void VYRQComboBox::showPopup()
{
    // Before Qt places the popup: its size follows from the frame it has.
    VYRQComboList* list = ensurePopupList();
    if (list && QComboBox::view() == list)
        list->preparePopup();
    QComboBox::showPopup();
}

void VYRQComboBox::setBackground(CtrlState state, const FillStyle& style)
{
    impl()->background.at(state) = style;
}

const FillStyle& VYRQComboBox::getBackground(CtrlState state) const
{
    return impl()->background.get(state);
}

void VYRQComboBox::setBtnBackground(CtrlState state, const FillStyle& style)
{
    impl()->btnBackground.at(state) = style;
}

const FillStyle& VYRQComboBox::getBtnBackground(CtrlState state) const
{
    return impl()->btnBackground.get(state);
}

void VYRQComboBox::setTextStyle(CtrlState state, const TextStyleDesc& style)
{
    impl()->textStyle.at(state) = style;
}

const TextStyleDesc& VYRQComboBox::getTextStyle(CtrlState state) const
{
    return impl()->textStyle.get(state);
}

void VYRQComboBox::setItemBackground(CtrlState state, const FillStyle& style)
{
    impl()->itemBackground.at(state) = style;
}

const FillStyle& VYRQComboBox::getItemBackground(CtrlState state) const
{
    return impl()->itemBackground.get(state);
}

void VYRQComboBox::setItemTextStyle(CtrlState state, const TextStyleDesc& style)
{
    impl()->itemTextStyle.at(state) = style;
}

const TextStyleDesc& VYRQComboBox::getItemTextStyle(CtrlState state) const
{
    return impl()->itemTextStyle.get(state);
}

void VYRQComboBox::setPopupBackground(CtrlState, const FillStyle& style)
{
    impl()->popupBackground = style;
}

const FillStyle& VYRQComboBox::getPopupBackground(CtrlState) const
{
    return impl()->popupBackground;
}

void VYRQComboBox::setBtnIcon(CtrlState state, const QString& icon)
{
    impl()->btnIcon[validState(state) ? size_t(state) : 0] = icon;
}

const QString& VYRQComboBox::getBtnIcon(CtrlState state) const
{
    return impl()->btnIcon[validState(state) ? size_t(state) : 0];
}

void VYRQComboBox::setNormalBtnIcon(const QString& icon)
{
    impl()->btnIcon[Normal] = icon;
}

const QString& VYRQComboBox::getNormalBtnIcon() const
{
    return impl()->btnIcon[Normal];
}

void VYRQComboBox::setHotBtnIcon(const QString& icon)
{
    impl()->btnIcon[Hot] = icon;
}

const QString& VYRQComboBox::getHotBtnIcon() const
{
    return impl()->btnIcon[Hot];
}

void VYRQComboBox::setItemHeight(int height)
{
    impl()->itemHeight = height;
}

int VYRQComboBox::getItemHeight() const
{
    return impl()->itemHeight;
}

void VYRQComboBox::initDemoData()
{
    impl()->createComplete();
}

bool VYRQComboBox::getDelegateItemVisible() const
{
    return impl()->getDelegateItemVisible();
}

void VYRQComboBox::setDelegateItemVisible(bool visible)
{
    impl()->setDelegateItemVisible(visible);
}

VYRQComboList* VYRQComboBox::popupList() const
{
    return const_cast<VYRQComboBox*>(this)->ensurePopupList();
}

QAbstractItemView* VYRQComboBox::view() const
{
    popupList();
    return QComboBox::view();
}

QAbstractItemDelegate* VYRQComboBox::itemDelegate() const
{
    return view()->itemDelegate();
}

void VYRQComboBox::setItemDelegate(QAbstractItemDelegate* delegate)
{
    popupList();
    QComboBox::setItemDelegate(delegate);
}

void VYRQComboBox::setEditable(bool editable)
{
    if (editable != isEditable())
        ensurePopupList();
    QComboBox::setEditable(editable);
}

void VYRQComboBox::setModelColumn(int visibleColumn)
{
    ensurePopupList();
    QComboBox::setModelColumn(visibleColumn);
}

void VYRQComboBox::setRootModelIndex(const QModelIndex& index)
{
    ensurePopupList();
    QComboBox::setRootModelIndex(index);
}

void VYRQComboBox::setIconSize(const QSize& size)
{
    ensurePopupList();
    QComboBox::setIconSize(size);
}

void VYRQComboBox::setSizeAdjustPolicy(SizeAdjustPolicy policy)
{
    ensurePopupList();
    QComboBox::setSizeAdjustPolicy(policy);
}

void VYRQComboBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
        ensurePopupList();
    QComboBox::changeEvent(event);
}

void VYRQComboBox::keyPressEvent(QKeyEvent* event)
{
    // A key with text searches the items through the list (more than a search needs
    // it, but a key press is a single event).
    if (!lineEdit() && !event->text().isEmpty())
        ensurePopupList();
    QComboBox::keyPressEvent(event);
}

void VYRQComboBox::inputMethodEvent(QInputMethodEvent* event)
{
    if (!lineEdit() && !event->commitString().isEmpty())
        ensurePopupList();
    QComboBox::inputMethodEvent(event);
}

void VYRQComboBox::wheelEvent(QWheelEvent* event)
{
    ensurePopupList();
    QComboBox::wheelEvent(event);
}

void VYRQComboBox::enterEvent(QEvent* event)
{
    QWidget::enterEvent(event);
    impl()->enterEvent(event);
}

void VYRQComboBox::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    impl()->leaveEvent(event);
}

void VYRQComboBox::mousePressEvent(QMouseEvent* event)
{
    QComboBox::mousePressEvent(event);
    impl()->mousePressEvent(event);
}

void VYRQComboBox::mouseReleaseEvent(QMouseEvent* event)
{
    QComboBox::mouseReleaseEvent(event);
    impl()->mouseReleaseEvent(event);
}

void VYRQComboBox::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
}

ControlInfo VYRQComboBox::getProps()
{
    ControlInfo info =
        vyr::makeControlInfo<VYRQComboBox>("ComboBox", "Control ComboBox", "combo");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQComboBox::setBackground, &VYRQComboBox::getBackground));
    info.rows.push_back(
        vyr::fillStatesRow("BtnBackground", &VYRQComboBox::setBtnBackground, &VYRQComboBox::getBtnBackground));
    info.rows.push_back(vyr::textStatesRow("TextStyle", &VYRQComboBox::setTextStyle, &VYRQComboBox::getTextStyle));
    // The popup background's row is labelled like the button's.
    info.rows.push_back(vyr::fillStatesRow("BtnBackground", &VYRQComboBox::setPopupBackground,
                                           &VYRQComboBox::getPopupBackground, vyr::normalStateOnly()));
    info.rows.push_back(
        vyr::fillStatesRow("ItemBg", &VYRQComboBox::setItemBackground, &VYRQComboBox::getItemBackground));
    info.rows.push_back(
        vyr::textStatesRow("ItemText", &VYRQComboBox::setItemTextStyle, &VYRQComboBox::getItemTextStyle));
    info.rows.push_back(
        vyr::textRow<VYRQComboBox>("Context", &QComboBox::setCurrentText, &QComboBox::currentText));
    info.rows.push_back(vyr::iconRow("Icon", &VYRQComboBox::setNormalBtnIcon, &VYRQComboBox::getNormalBtnIcon));
    info.rows.push_back(vyr::iconRow("HotIcon", &VYRQComboBox::setHotBtnIcon, &VYRQComboBox::getHotBtnIcon));
    return info;
}

#include "moc_VYRQComboBox.cpp"
#include "moc_VYRQComboBoxImpl_p.cpp"
