#include "VYRQRibbonGallery.h"

#include "VYRQContainerImpl.h"
#include "VYRQIconFile_p.h"
#include "VYRQRibbonButton.h"
#include "VYRQRibbonLayout.h"
#include "VYRQRibbonPlace_p.h"
#include "VYRQRibbonMenu.h"

#include <QAction>
#include <QIcon>

#include <algorithm>

namespace {

int countInRange(int n)
{
    return std::max(1, std::min(n, VYRQRibbonGallery::maxCount));
}
} // namespace

VYRQRibbonGallery::VYRQRibbonGallery(QWidget* parent)
    : VYRQContainer(parent)
{
    setChildLayout(NoUse);
    m_up = new VYRQRibbonButton(this, VYR_RIBBON_ITEM_SIZE::small);
    m_up->setText(QStringLiteral("^"));
    m_down = new VYRQRibbonButton(this, VYR_RIBBON_ITEM_SIZE::small);
    m_down->setText(QStringLiteral("v"));
    m_more = new VYRQRibbonButton(this, VYR_RIBBON_ITEM_SIZE::small);
    m_more->setText(QStringLiteral("..."));
    connect(m_up, &QAbstractButton::clicked, this, [this] { changePage(-1); });
    connect(m_down, &QAbstractButton::clicked, this, [this] { changePage(1); });
    connect(m_more, &QAbstractButton::clicked, this, &VYRQRibbonGallery::showMoreMenu);
}

// The cells go with the gallery as its children.
VYRQRibbonGallery::~VYRQRibbonGallery()
{
    for (const QPointer<QAction>& action : qAsConst(m_actions))
        if (action)
            disconnect(action, &QAction::triggered, this, &VYRQRibbonGallery::forwardTriggered);
}

void VYRQRibbonGallery::addAction(QAction* action)
{
    if (!action)
        return;
    const auto known = m_index.constFind(action);
    if (known != m_index.constEnd() && m_actions.value(known.value()) == action)
        return;
    m_index.insert(action, m_actions.size());
    m_actions.append(action);
    auto* button = new VYRQRibbonButton(this, VYR_RIBBON_ITEM_SIZE::small);
    button->setRibbonAction(action);
    m_buttons.append(button);
    connect(action, &QAction::triggered, this, &VYRQRibbonGallery::forwardTriggered, Qt::UniqueConnection);
    if (!m_layoutDeferred)
        updateGalleryLayout();
}

void VYRQRibbonGallery::forwardTriggered()
{
    if (auto* action = qobject_cast<QAction*>(sender()))
        emit itemTriggered(action->objectName());
}

QAction* VYRQRibbonGallery::addItem(const QString& commandId, const QString& text, const QString& iconPath)
{
    auto* action = new QAction(text, this);
    action->setObjectName(commandId);
    action->setProperty("vyrRibbonIconPath", iconPath);
    if (!iconPath.isEmpty())
        action->setIcon(vyr::readIconFile(iconPath, vyr::largeIconSide));
    addAction(action);
    return action;
}

void VYRQRibbonGallery::clearItems()
{
    for (const QPointer<QAction>& action : qAsConst(m_actions))
        if (action)
            disconnect(action, &QAction::triggered, this, &VYRQRibbonGallery::forwardTriggered);
    for (VYRQRibbonButton* button : qAsConst(m_buttons))
        vyr::discardRibbonWidget(button);
    m_buttons.clear();
    m_actions.clear();
    m_index.clear();
    m_first = 0;
}

QList<QAction*> VYRQRibbonGallery::galleryActions() const
{
    QList<QAction*> out;
    for (const QPointer<QAction>& action : m_actions)
        if (action)
            out.append(action);
    return out;
}

void VYRQRibbonGallery::setColumnCount(int n)
{
    m_columns = countInRange(n);
    updateGeometry();
    updateGalleryLayout();
}

void VYRQRibbonGallery::setVisibleRowCount(int n)
{
    m_rows = countInRange(n);
    updateGeometry();
    updateGalleryLayout();
}

QSize VYRQRibbonGallery::sizeHint() const
{
    return VYRQRibbonLayout::gallerySizeHint(m_columns, m_rows);
}

void VYRQRibbonGallery::changePage(int delta)
{
    m_first = VYRQRibbonLayout::galleryPage(m_first, delta, m_columns, m_rows, count());
    updateGalleryLayout();
}

void VYRQRibbonGallery::showMoreMenu()
{
    auto* menu = new VYRQRibbonMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // Choosing an entry hides the menu without closing it.
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    for (QAction* action : galleryActions())
        menu->addAction(action);
    menu->popup(mapToGlobal(QPoint(0, height())));
}

void VYRQRibbonGallery::updateGalleryLayout()
{
    const VYRQRibbonLayout::GalleryPlacement placed =
        VYRQRibbonLayout::gallery(width(), height(), m_columns, m_rows, m_first, m_buttons.size());
    vyr::placeRibbonChild(m_up, placed.up);
    vyr::placeRibbonChild(m_down, placed.down);
    vyr::placeRibbonChild(m_more, placed.more);
    m_up->setEnabled(placed.upEnabled);
    m_down->setEnabled(placed.downEnabled);
    for (int i = 0; i < m_buttons.size(); ++i) {
        m_buttons[i]->setVisible(placed.shown[i]);
        if (placed.shown[i])
            vyr::placeRibbonChild(m_buttons[i], placed.cells[i]);
    }
}

void VYRQRibbonGallery::resizeEvent(QResizeEvent* event)
{
    VYRQContainer::resizeEvent(event);
    updateGalleryLayout();
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQRibbonGallery.cpp"
