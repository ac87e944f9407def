#include "VYRQCanvasWindow.h"

#include "IVYRQWidgetBase.h"
#include "VYRQJson.h"
#include "VYRQJsonWriter_p.h"
#include "VYRQKeptElement_p.h"
#include "VYRQPageKeeping_p.h"
#include "VYRQPropertyRows.h"
#include "VYRQRegularFile.h"

#include <QVariant>

#include <json/value.h>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// The caption height that stored pages leave out.
constexpr int defaultStoredCaptionHeight = 35;

} // namespace

VYRQCanvasWindow::VYRQCanvasWindow(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_NoSystemBackground);
}

VYRQCanvasWindow::~VYRQCanvasWindow() = default;

QWidget* VYRQCanvasWindow::createCanvas()
{
    return new VYRQCanvasWindow(nullptr);
}

void VYRQCanvasWindow::setResizeable(bool on)
{
    m_resizeable = on;
    setAttribute(Qt::WA_MouseTracking, on);
}

void VYRQCanvasWindow::setBackgroundImage(const QString& name, const ImageDesc& desc)
{
    m_backgroundImage = name;
    m_backgroundImageDesc = desc;
}

void VYRQCanvasWindow::setTransparent(bool on)
{
    if (on)
        setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground, on);
}

void VYRQCanvasWindow::readPageHeader(const Json::Value& root)
{
    vyr::json::read(root, "trans", m_trans);
    vyr::json::read(root, "dbmax", m_dbmax);
    vyr::json::read(root, "dbheight", m_captionHeight);
    Json::Value header(Json::objectValue);
    writeHeader(header);
    Json::Value kept;
    if (VYRQPageKeeping::keptKeys(root, header, "elements", kept))
        m_keptKeys = std::make_unique<Json::Value>(std::move(kept));
    else
        m_keptKeys.reset();
}

void VYRQCanvasWindow::setWidth(int width)
{
    setFixedWidth(width);
}

void VYRQCanvasWindow::setHeight(int height)
{
    setFixedHeight(height);
}

void VYRQCanvasWindow::setX(int x)
{
    move(x, this->y());
}

void VYRQCanvasWindow::setY(int y)
{
    move(this->x(), y);
}

QRect VYRQCanvasWindow::rectInFrame(const QWidget* widget) const
{
    return QRect(widget->mapTo(this, QPoint(0, 0)), widget->size());
}

QRect VYRQCanvasWindow::clippedRectInFrame(const QWidget* widget) const
{
    QRect rect = rectInFrame(widget);
    if (widget == this)
        return rect;
    for (const QWidget* ancestor = widget->parentWidget(); ancestor && ancestor != this;
         ancestor = ancestor->parentWidget())
        rect &= rectInFrame(ancestor);
    return rect;
}

QWidget* VYRQCanvasWindow::HitTestWithChildren(QWidget* widget, int x, int y)
{
    if (!widget || (widget != this && !isAncestorOf(widget)))
        return nullptr;
    // Controls hidden in the design are out of reach, their subtrees with them.
    if (!widget->property("visibility").toBool())
        return nullptr;
    for (QObject* object : widget->children()) {
        if (!object->isWidgetType())
            continue;
        if (QWidget* hit = HitTestWithChildren(static_cast<QWidget*>(object), x, y))
            return hit;
    }
    // Clipped like the canvas draws it: a part outside its parent cannot be seen.
    return clippedRectInFrame(widget).contains(QPoint(x, y)) ? widget : nullptr;
}

namespace {

// Walked by hand: findChildren casts every object through its meta-object, which on a
// large page takes longer than the hiding.
void hideDescendants(QObject* parent)
{
    for (QObject* object : parent->children()) {
        if (!object->isWidgetType())
            continue;
        auto* widget = static_cast<QWidget*>(object);
        if (widget->isVisible() || widget->testAttribute(Qt::WA_WState_Created)) {
            widget->hide();
        } else {
            // Never shown: hidden as hide() leaves it, without the events of a hide
            // that nothing has seen yet.
            widget->setAttribute(Qt::WA_WState_Hidden);
            widget->setAttribute(Qt::WA_WState_ExplicitShowHide);
        }
        hideDescendants(widget);
    }
}

} // namespace

void VYRQCanvasWindow::hideAllWidges()
{
    hideDescendants(this);
}

void VYRQCanvasWindow::writeHeader(Json::Value& root) const
{
    root["w"] = width();
    root["h"] = height();
    if (m_minWidth > 0)
        root["minW"] = m_minWidth;
    if (m_minHeight > 0)
        root["minH"] = m_minHeight;
    if (m_resizeable)
        root["resize"] = true;
    // Written both ways: the loader's default is a frame that drags, so leaving out
    // false would turn it back on at the next load.
    root["drag"] = m_canDrag;
    if (m_onlyDragCaption)
        root["onlyDragCaption"] = true;
    if (m_dbmax)
        root["dbmax"] = true;
    if (m_captionHeight != defaultStoredCaptionHeight)
        root["dbheight"] = m_captionHeight;
    if (m_trans)
        root["trans"] = true;
}

void VYRQCanvasWindow::pageDocument(Json::Value& root)
{
    root = Json::Value(Json::objectValue);
    writeHeader(root);
    Json::Value elements(Json::arrayValue);
    for (QObject* object : children()) {
        auto* control = dynamic_cast<IVYRQWidgetBase*>(object);
        if (!control) {
            VYRQKeptElement::appendTo(object, elements);
            continue;
        }
        Json::Value element;
        control->serializeJsonValue(&element, false);
        elements.append(std::move(element));
    }
    // Written also when empty: a page without "elements" is not opened again.
    root["elements"] = std::move(elements);
    if (m_keptKeys)
        VYRQPageKeeping::restore(*m_keptKeys, root);
}

bool VYRQCanvasWindow::pageText(std::string& out, qint64 maxBytes, QString* why)
{
    Json::Value root;
    pageDocument(root);
    const auto bound = std::size_t(std::max<qint64>(maxBytes, 0));
    VYRQJsonWriter styled(VYRQJsonWriter::Layout::Styled, std::min(bound, std::size_t(vyr::maxFileBytes)));
    styled.setSource(m_sourceText.constData(), std::size_t(m_sourceText.size()));
    if (styled.write(root, out))
        return true;
    VYRQJsonWriter compact(VYRQJsonWriter::Layout::Compact, bound);
    compact.setSource(m_sourceText.constData(), std::size_t(m_sourceText.size()));
    if (!styled.heldNonFinite() && compact.write(root, out))
        return true;
    if (why) {
        *why = styled.heldNonFinite() || compact.heldNonFinite()
            ? QStringLiteral("it holds a number that is not finite, which has no JSON text")
            : QStringLiteral("its text would be larger than the %1 bytes it may take").arg(maxBytes);
    }
    return false;
}

void VYRQCanvasWindow::toJsonString(QString& out)
{
    std::string text;
    pageText(text, std::numeric_limits<qint64>::max());
    out = QString::fromStdString(text);
}

ControlInfo VYRQCanvasWindow::getProps()
{
    ControlInfo info;
    info.typeKey = "window";
    info.className = "VYRQWindow";
    info.displayName = "Window";
    info.description = "Control Window";
    info.category = "win";
    info.rows.push_back(vyr::objectNameRow());
    info.rows.push_back(vyr::intRow("Width", &VYRQCanvasWindow::setWidth, &VYRQCanvasWindow::getWidth));
    info.rows.push_back(vyr::intRow("Height", &VYRQCanvasWindow::setHeight, &VYRQCanvasWindow::getHeight));
    info.rows.push_back(vyr::intRow("MinWidth", &VYRQCanvasWindow::setMinWidth, &VYRQCanvasWindow::getMinWidth));
    info.rows.push_back(vyr::intRow("MinHeight", &VYRQCanvasWindow::setMinHeight, &VYRQCanvasWindow::getMinHeight));
    return info;
}
