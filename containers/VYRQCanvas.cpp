#include "VYRQCanvas.h"

#include "VYRQCanvasWindow.h"
#include "VYRQFileIdentity_p.h"
#include "VYRQGlobal.h"
#include "VYRQGlobal_p.h"
#include "VYRQJson.h"
#include "VYRQLogging.h"
#include "VYRQPageKeeping_p.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"
#include "VYRQRegularFile.h"
#include "VYRQSaveTarget_p.h"
#include "VYRQScrollBar.h"

#include <QColor>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <json/value.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

// The canvas is no themed control: its implementation object only carries the
// common state, under an empty type key.
class VYRQCanvasImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQCanvasImpl(VYRQCanvas* owner)
        : VYRQWidgetBaseImpl(owner, QString())
    {
    }
};

namespace {

// Distance within which an edge snaps to a sibling's edge, and the margin of the
// edge and corner zones of a selected control.
constexpr int snapDistance = 5;
constexpr int zoneMargin = 5;
// Smallest width or height a drag leaves a control with.
constexpr int minimumEditSize = 10;
constexpr int handleSize = 5;
constexpr QRgb secondaryHandleRgba = 0xFFC5E6FF;

int snapped(int value, const QVector<int>& lines)
{
    for (int line : lines) {
        if (std::abs(line - value) < snapDistance)
            return line;
    }
    return value;
}

int boundedSize(int size, int minimum, int maximum)
{
    return std::min(std::max(size, std::max(minimumEditSize, minimum)), std::max(maximum, minimumEditSize));
}

// "pages/MainPage.old.json" names its frame MainPage; a bare file name is kept whole.
QString frameNameFor(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return path;
    QString name = path.mid(slash + 1);
    const int dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    QString why;
    if (vyr::saveWholeFile(path, bytes, why, true))
        return true;
    qCWarning(vyrCore) << "cannot write" << path << "-" << qPrintable(why);
    return false;
}

} // namespace

VYRQCanvas::VYRQCanvas(QWidget* parent)
    : VYRQControl(parent)
{
    setAcceptDrops(true);
    finishConstruction(VYRQWidgetBaseImpl::ThemeDefaults::Skip);
}

VYRQCanvas::~VYRQCanvas()
{
    // Frames report their destruction to the canvas; let them go while its tables
    // still exist, not from QWidget's destructor after they are gone.
    const QObjectList objects = children();
    for (QObject* object : objects) {
        if (auto* frame = dynamic_cast<VYRQCanvasWindow*>(object)) {
            disconnect(frame, nullptr, this, nullptr);
            delete frame;
        }
    }
}

void VYRQCanvas::setDelegateItemVisible(bool visible)
{
    impl()->setDelegateItemVisible(visible);
}

bool VYRQCanvas::getDelegateItemVisible() const
{
    return impl()->getDelegateItemVisible();
}

// ---------------------------------------------------------------------------
// Pages

namespace {

// Stored pages are read as NUL-terminated text: the part a page is parsed from.
QByteArray pageTextOf(const QByteArray& content)
{
    const int end = content.indexOf('\0');
    return end >= 0 ? QByteArray::fromRawData(content.constData(), end) : content;
}

// The page in `text`, read whole: false, with the reason in `why`, when it does not
// parse, holds a key twice in one object or has no "elements".
bool parsePage(const QByteArray& text, Json::Value& root, QString& why)
{
    std::string reason;
    const char* begin = text.constData();
    if (!vyr::json::parseWholePage(begin, begin + text.size(), root, reason)) {
        why = QString::fromStdString(reason);
        return false;
    }
    if (!vyr::json::has(root, "elements")) {
        why = QStringLiteral("it has no \"elements\"");
        return false;
    }
    return true;
}

// The page file at `path`: its text (up to a NUL), parsed into `root`, and what tells
// the file from the same file changed since.
bool readPage(const QString& path, QByteArray& text, Json::Value& root, QByteArray& identity, QString& why)
{
    if (path.isEmpty()) {
        why = QStringLiteral("no file is named");
        return false;
    }
    QByteArray content;
    int error = 0;
    const vyr::FileRead result = vyr::readRegularFile(path, vyr::maxFileBytes, content, nullptr, &error, &identity);
    if (result != vyr::FileRead::Read) {
        why = QString::fromUtf8(vyr::fileReadText(result));
        if (error)
            why += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(error)));
        return false;
    }
    text = pageTextOf(content);
    if (text.isEmpty()) {
        why = QStringLiteral("it is empty");
        return false;
    }
    // Detached from `content`, which goes.
    text = QByteArray(text.constData(), text.size());
    return parsePage(text, root, why);
}

// Why the canvas would not open the page text again; empty when it would.
QString reopenRefusal(const QByteArray& text)
{
    Json::Value root;
    QString why;
    if (!parsePage(pageTextOf(text), root, why))
        return why;
    QString refusal;
    bool cut = false;
    if (!vyr::pageWithinLimits(root, &refusal, &cut))
        return QStringLiteral("it ") + refusal;
    if (cut)
        return QStringLiteral("it nests elements deeper than %1 levels, which would be dropped").arg(vyr::maxElementDepth);
    return QString();
}

} // namespace

bool VYRQCanvas::CheckPageValid(const QString& path)
{
    QByteArray text;
    QByteArray identity;
    Json::Value root;
    QString why;
    return readPage(path, text, root, identity, why);
}

bool VYRQCanvas::CreatePageFromJson(const QString& path)
{
    // The page is built from the very bytes checked here: the loader's own reading would
    // add ".json" to another name and prefer a loaded resource set's file of that name,
    // and a save would then write that page over this file. A page the loader refuses
    // is not opened, so that no save writes an empty page over it either.
    QByteArray text;
    QByteArray identity;
    Json::Value root;
    QString why;
    if (!readPage(path, text, root, identity, why)) {
        qCWarning(vyrCore) << "page file" << path << "is not opened:" << qPrintable(why);
        return false;
    }
    RemoveAllCommand();

    auto* frame = new VYRQCanvasWindow(this);
    VYRQContainer* built = nullptr;
    // What the canvas builds no control for, and the keys the controls do not write, are
    // kept as read and written back; a page of which a save would still lose or change a
    // value is not opened.
    VYRQPageKeeping keeping(frame);
    if (!vyr::buildPage(frame, root, path, built)) {
        delete frame;
        return false;
    }
    frame->readPageHeader(root);
    frame->setSourceText(text);
    frame->setOpenedFile(path, identity);
    // The page document a save would write, made once, against the page as read.
    Json::Value document;
    keeping.finish([frame](Json::Value& page) { frame->pageDocument(page); }, document);
    QString lost = keeping.cutText();
    if (lost.isEmpty())
        lost = keeping.firstLossOfPage(root, document);
    bool cut = false;
    // Elements past the depth the loader builds are the loss to name.
    if (!lost.isEmpty() && vyr::pageWithinLimits(root, nullptr, &cut) && cut)
        lost = QStringLiteral("nests elements deeper than %1 levels, which a save would drop").arg(vyr::maxElementDepth);
    if (!lost.isEmpty()) {
        qCWarning(vyrCore) << "page file" << path << qPrintable(lost) << "- it is not opened";
        delete frame;
        return false;
    }
    frame->hideAllWidges();
    frame->setPageName(QFileInfo(path).fileName());
    frame->setObjectName(frameNameFor(path));
    connect(frame, &QObject::destroyed, this, [this, frame]() { forgetPage(frame); });

    m_currentPage = frame;
    frame->setProperty("visibility", true);
    frame->hide();
    if (!m_pages.contains(path))
        m_pages.insert(path, frame);
    UpdateScrollBar();
    return true;
}

bool VYRQCanvas::OpenWindowPage(const QString& path)
{
    const auto it = m_pages.constFind(path);
    if (it == m_pages.constEnd())
        return false;
    VYRQCanvasWindow* frame = it.value();
    if (frame == m_currentPage)
        return true;
    if (m_currentPage) {
        m_currentPage->setProperty("visibility", false);
        m_currentPage->hide();
    }
    m_currentPage = frame;
    frame->setProperty("visibility", true);
    frame->show();
    UpdateScrollBar();
    update();
    return true;
}

bool VYRQCanvas::OpenJsonFile(const QString& path)
{
    bool opened = OpenWindowPage(path);
    if (!opened) {
        VYRQCanvasWindow* previous = m_currentPage;
        if (previous)
            previous->hide();
        opened = CreatePageFromJson(path);
        if (opened) {
            if (previous)
                previous->setProperty("visibility", false);
            m_currentPage->show();
        } else if (previous) {
            // The previous page stays current, so it stays the one frame shown.
            previous->show();
        }
    }
    RemoveAllSelected();
    update();
    m_mode = Idle;
    return opened;
}

void VYRQCanvas::forgetPage(VYRQCanvasWindow* frame)
{
    // Called from the frame's destruction: only its address is used.
    if (frame == m_currentPage) {
        m_currentPage = nullptr;
        RemoveAllSelected();
        m_pressRects.clear();
        m_mode = Idle;
    }
    m_scrollPositions.remove(frame);
    for (auto it = m_pages.begin(); it != m_pages.end();) {
        if (it.value() == frame)
            it = m_pages.erase(it);
        else
            ++it;
    }
}

bool VYRQCanvas::removePage(VYRQCanvasWindow* frame)
{
    if (!frame)
        return false;
    auto it = m_pages.begin();
    while (it != m_pages.end() && it.value() != frame)
        ++it;
    if (it == m_pages.end())
        return false;
    if (frame == m_currentPage) {
        m_currentPage = nullptr;
        // The selection never outlives the page its controls belong to.
        RemoveAllSelected();
        m_pressRects.clear();
        m_mode = Idle;
    }
    m_pages.erase(it);
    m_scrollPositions.remove(frame);
    disconnect(frame, nullptr, this, nullptr);
    delete frame;
    update();
    return true;
}

void VYRQCanvas::closeAllWindows()
{
    m_mode = Idle;
    RemoveAllSelected();
    m_pressRects.clear();
    update();
    QList<VYRQCanvasWindow*> frames;
    for (VYRQCanvasWindow* frame : qAsConst(m_pages)) {
        if (!frames.contains(frame))
            frames.append(frame);
    }
    // A frame built by a direct CreatePageFromJson call for a path already open is
    // current without an entry; it goes too.
    if (m_currentPage && !frames.contains(m_currentPage))
        frames.append(m_currentPage);
    m_pages.clear();
    m_scrollPositions.clear();
    m_currentPage = nullptr;
    for (VYRQCanvasWindow* frame : qAsConst(frames)) {
        disconnect(frame, nullptr, this, nullptr);
        delete frame;
    }
}

QString VYRQCanvas::UpdatePagePath(const QString& path)
{
    const auto it = m_pages.find(path);
    if (it == m_pages.end())
        return QString();
    VYRQCanvasWindow* frame = it.value();
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QString directory = slash >= 0 ? path.left(slash + 1) : QString();
    const QString newPath = directory + frame->objectName() + QLatin1String(".json");
    if (newPath == path)
        return path;
    const auto taken = m_pages.constFind(newPath);
    if (taken != m_pages.constEnd() && taken.value() != frame) {
        // Another open page already lives there; replacing it would leave that
        // frame without an entry, never to be saved or closed.
        qCWarning(vyrCore) << "page path" << newPath << "is already open; keeping" << path;
        return path;
    }
    m_pages.erase(it);
    m_pages.insert(newPath, frame);
    return newPath;
}

bool VYRQCanvas::SavePage(const QString& path)
{
    const auto it = m_pages.constFind(path);
    if (it == m_pages.constEnd())
        return false;
    // The file is replaced only by a page that opens again: one the page read takes
    // whole, which parses and is shown in full.
    VYRQCanvasWindow* frame = it.value();
    // Another program may have written the file since the canvas read it: its content
    // would be lost without a word.
    if (path == frame->openedPath() && !frame->openedIdentity().isEmpty()) {
        const QByteArray now = vyr::fileIdentity(path);
        if (!now.isEmpty() && now != frame->openedIdentity()) {
            qCWarning(vyrCore) << "page" << path
                               << "is not saved: the file changed on disk since it was opened; both are kept";
            return false;
        }
    }
    std::string text;
    QString why;
    if (!frame->pageText(text, vyr::maxFileBytes, &why)) {
        qCWarning(vyrCore) << "page" << path << "is not saved:" << qPrintable(why);
        return false;
    }
    const QByteArray bytes = QByteArray::fromRawData(text.data(), int(text.size()));
    const QString refusal = reopenRefusal(bytes);
    if (!refusal.isEmpty()) {
        qCWarning(vyrCore) << "page" << path << "is not saved: opened again," << qPrintable(refusal);
        return false;
    }
    if (!writeFileAtomically(path, bytes))
        return false;
    frame->setOpenedFile(path, vyr::fileIdentity(path));
    return true;
}

void VYRQCanvas::SaveStyle(const QString& path)
{
    if (path.isEmpty())
        return;
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    const VYRQResourceManagerImpl* project = rm->getProjectManagerImpl();
    // Without project styles the text is an empty list, which would wipe the
    // project's style file.
    if (!project || (project->fillStyles.isEmpty() && project->textStyles.isEmpty())) {
        qCDebug(vyrCore) << "no project styles to save to" << path;
        return;
    }
    const QString text = rm->toProjectStyleString();
    if (text.isEmpty())
        return;
    writeFileAtomically(path, text.toUtf8());
}

VYRQCanvasWindow* VYRQCanvas::GetCurWindow()
{
    return m_currentPage;
}

void VYRQCanvas::SetProjectPath(const QString& path)
{
    m_projectPath = path;
    VYRQResourceManager::getInstance()->setSwitchToProjectRes(true);
}

void VYRQCanvas::layoutWindow()
{
}

void VYRQCanvas::RemoveAllCommand()
{
    m_commands.clear();
}

void VYRQCanvas::pushCommand(std::unique_ptr<VYRQCanvasCommand> command)
{
    if (command)
        m_commands.push_back(std::move(command));
}

// ---------------------------------------------------------------------------
// Selection

QWidget* VYRQCanvas::firstSelected() const
{
    for (const QPointer<QWidget>& widget : m_selection) {
        if (widget)
            return widget.data();
    }
    return nullptr;
}

void VYRQCanvas::AddSelectedControl(QWidget* widget)
{
    if (!widget || IsInSelected(widget))
        return;
    m_selection.removeAll(QPointer<QWidget>());
    m_selection.append(widget);
    update();
    emit widgetSelected(widget);
}

bool VYRQCanvas::RemoveSelected(QWidget* widget)
{
    if (!widget)
        return false;
    const int index = m_selection.indexOf(widget);
    if (index < 0)
        return false;
    m_selection.removeAt(index);
    update();
    return true;
}

void VYRQCanvas::RemoveAllSelected()
{
    m_selection.clear();
    update();
}

bool VYRQCanvas::IsInSelected(QWidget* widget)
{
    return widget && m_selection.contains(widget);
}

bool VYRQCanvas::isPageRoot(const QWidget* widget) const
{
    const QWidget* parent = widget->parentWidget();
    return parent && parent->parentWidget() == this;
}

QRect VYRQCanvas::rectOnCanvas(const QWidget* widget) const
{
    const QPoint origin = isAncestorOf(widget) ? widget->mapTo(this, QPoint(0, 0))
                                               : mapFromGlobal(widget->mapToGlobal(QPoint(0, 0)));
    return QRect(origin, widget->geometry().size());
}

VYR_CAV_HIT_TEST VYRQCanvas::HitInSelected(int x, int y)
{
    if (m_selection.isEmpty())
        return VYR_CAV_HIT_NONE;
    const QPoint point(x, y);
    for (const QPointer<QWidget>& widget : qAsConst(m_selection)) {
        if (!widget)
            continue;
        // A page's root control is placed by its page, not by the user.
        if (isPageRoot(widget))
            return VYR_CAV_HIT_NONE;
        const QRect r = rectOnCanvas(widget);
        if (!r.contains(point))
            continue;
        const int left = r.left();
        const int top = r.top();
        const int right = left + r.width();
        const int bottom = top + r.height();
        if (x < left + zoneMargin && y < top + zoneMargin)
            return VYR_CAV_HIT_TOPLEFT;
        if (x > right - zoneMargin) {
            if (y > bottom - zoneMargin)
                return VYR_CAV_HIT_BOTTOMRIGHT;
            if (y < top + zoneMargin)
                return VYR_CAV_HIT_TOPRIGHT;
        }
        if (x < left + zoneMargin)
            return y > bottom - zoneMargin ? VYR_CAV_HIT_BOTTOMLEFT : VYR_CAV_HIT_LEFT;
        if (x > right - zoneMargin)
            return VYR_CAV_HIT_RIGHT;
        if (y < top + zoneMargin)
            return VYR_CAV_HIT_TOP;
        if (y > bottom - zoneMargin)
            return VYR_CAV_HIT_BOTTOM;
        return VYR_CAV_HIT_INSIDE;
    }
    return VYR_CAV_HIT_NONE;
}

// ---------------------------------------------------------------------------
// Editing

QWidget* VYRQCanvas::controlAt(const QPoint& canvasPos)
{
    if (!m_currentPage)
        return nullptr;
    const QPoint p = canvasPos - m_currentPage->pos();
    return m_currentPage->HitTestWithChildren(m_currentPage, p.x(), p.y());
}

VYRQCanvasWindow* VYRQCanvas::pageOf(QWidget* widget) const
{
    while (widget && widget->parentWidget() != this)
        widget = widget->parentWidget();
    return dynamic_cast<VYRQCanvasWindow*>(widget);
}

int VYRQCanvas::levelInPage(const QWidget* widget) const
{
    int level = 0;
    for (; widget && widget->parentWidget() != this; widget = widget->parentWidget()) {
        if (dynamic_cast<const IVYRQWidgetBase*>(widget))
            ++level;
    }
    return level;
}

QWidget* VYRQCanvas::buildControl(const QString& typeKey, QWidget* parent)
{
    if (typeKey.isEmpty() || !parent)
        return nullptr;
    // The page would keep it, but the loader would cut it off.
    if (levelInPage(parent) >= vyr::maxElementDepth) {
        qCWarning(vyrCore) << "no control is created deeper than" << vyr::maxElementDepth << "levels in a page";
        return nullptr;
    }
    QWidget* widget = createControlByType(typeKey.toUtf8().constData(), parent);
    if (!widget)
        return nullptr;
    if (!dynamic_cast<IVYRQWidgetBase*>(widget)) {
        delete widget;
        return nullptr;
    }
    // Names are unique within the whole page, so that a host can find a control by
    // its name alone.
    QWidget* scope = pageOf(parent);
    if (!scope)
        scope = parent;
    auto taken = [scope, widget](const QString& name) {
        const QList<QWidget*> named = scope->findChildren<QWidget*>(name);
        return std::any_of(named.cbegin(), named.cend(), [widget](QWidget* w) { return w != widget; });
    };
    QString name = QStringLiteral("%1%2").arg(typeKey).arg(m_nameCounter);
    while (taken(name)) {
        ++m_nameCounter;
        name = QStringLiteral("%1%2").arg(typeKey).arg(m_nameCounter);
    }
    widget->setProperty("visibility", true);
    widget->hide();
    widget->setObjectName(name);
    ++m_nameCounter;
    return widget;
}

bool VYRQCanvas::createControl(const QString& typeKey)
{
    QWidget* parent = firstSelected();
    if (!parent)
        return false;
    QWidget* widget = buildControl(typeKey, parent);
    if (!widget)
        return false;
    dynamic_cast<IVYRQWidgetBase*>(widget)->setGeometry(0, 0, 100, 100);
    update();
    return true;
}

void VYRQCanvas::applyEditedGeometry(QWidget* widget, const QRect& rect)
{
    if (auto* control = dynamic_cast<IVYRQWidgetBase*>(widget)) {
        void* data = nullptr;
        control->getLayoutData(data);
        // A control in ratio layout is placed by its container.
        if (control->getLayoutType() != LayoutAbsolute || !data)
            return;
        // The record is what the page stores and re-applies; the geometry is what
        // the canvas draws. Both follow the edit.
        control->setGeometry(rect.x(), rect.y(), rect.width(), rect.height());
        return;
    }
    widget->setGeometry(rect);
}

void VYRQCanvas::dragSelection(const QPoint& pos, Qt::KeyboardModifiers modifiers)
{
    for (const QPointer<QWidget>& widget : qAsConst(m_selection)) {
        if (widget && isPageRoot(widget))
            return;
    }
    const int dx = pos.x() - m_pressPos.x();
    const int dy = pos.y() - m_pressPos.y();

    QVector<int> xLines;
    QVector<int> yLines;
    QWidget* first = firstSelected();
    if (first && first->parentWidget()) {
        for (QObject* object : first->parentWidget()->children()) {
            if (!object->isWidgetType())
                continue;
            auto* sibling = static_cast<QWidget*>(object);
            if (IsInSelected(sibling) || sibling->property("MarkDelete").toBool()
                || !sibling->property("visibility").toBool())
                continue;
            xLines.append(sibling->geometry().left());
            yLines.append(sibling->geometry().top());
        }
    }

    for (const PressRecord& record : qAsConst(m_pressRects)) {
        QWidget* widget = record.widget.data();
        if (!widget)
            continue;
        const QRect p = record.rect;
        const int minW = widget->minimumWidth();
        const int maxW = widget->maximumWidth();
        const int minH = widget->minimumHeight();
        const int maxH = widget->maximumHeight();
        int x = p.left();
        int y = p.top();
        int w = p.width();
        int h = p.height();
        // Dragging a left or top edge keeps the opposite edge where it was.
        auto dragLeft = [&]() { w = boundedSize(p.width() - dx, minW, maxW); x = p.left() + p.width() - w; };
        auto dragRight = [&]() { w = boundedSize(p.width() + dx, minW, maxW); };
        auto dragTop = [&]() { h = boundedSize(p.height() - dy, minH, maxH); y = p.top() + p.height() - h; };
        auto dragBottom = [&]() { h = boundedSize(p.height() + dy, minH, maxH); };
        switch (m_hitType) {
        case VYR_CAV_HIT_INSIDE: {
            bool moveX = true;
            bool moveY = true;
            if (modifiers == Qt::ShiftModifier) {
                if (std::abs(dx) <= std::abs(dy))
                    moveX = false;
                else
                    moveY = false;
            }
            if (moveX)
                x = snapped(p.left() + dx, xLines);
            if (moveY)
                y = snapped(p.top() + dy, yLines);
            break;
        }
        case VYR_CAV_HIT_LEFT: dragLeft(); break;
        case VYR_CAV_HIT_RIGHT: dragRight(); break;
        case VYR_CAV_HIT_TOP: dragTop(); break;
        case VYR_CAV_HIT_BOTTOM: dragBottom(); break;
        case VYR_CAV_HIT_TOPLEFT: dragLeft(); dragTop(); break;
        case VYR_CAV_HIT_BOTTOMLEFT: dragLeft(); dragBottom(); break;
        case VYR_CAV_HIT_TOPRIGHT: dragTop(); dragRight(); break;
        case VYR_CAV_HIT_BOTTOMRIGHT: dragRight(); dragBottom(); break;
        case VYR_CAV_HIT_NONE: return;
        }
        applyEditedGeometry(widget, QRect(x, y, w, h));
    }
    update();
}

// ---------------------------------------------------------------------------
// Mouse

void VYRQCanvas::mousePressEvent(QMouseEvent* event)
{
    m_pressPos = event->pos();
    if (!m_currentPage)
        return;
    m_mode = PressedFree;
    m_hitType = HitInSelected(m_pressPos.x(), m_pressPos.y());
    // Inside a selected control, the press grabs the selection only when the
    // control on top there is selected too.
    if (m_hitType == VYR_CAV_HIT_INSIDE && !IsInSelected(controlAt(m_pressPos)))
        m_hitType = VYR_CAV_HIT_NONE;
    if (m_hitType == VYR_CAV_HIT_NONE)
        return;
    m_mode = PressedSelection;
    m_pressRects.clear();
    for (const QPointer<QWidget>& widget : qAsConst(m_selection)) {
        if (widget)
            m_pressRects.append(PressRecord{ widget, widget->geometry() });
    }
}

void VYRQCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_currentPage && m_mode == PressedFree) {
        if (QWidget* hit = controlAt(event->pos())) {
            if (event->modifiers() == Qt::ShiftModifier) {
                if (IsInSelected(hit))
                    RemoveSelected(hit);
                else
                    AddSelectedControl(hit);
            } else {
                RemoveAllSelected();
                AddSelectedControl(hit);
            }
        }
    }
    m_mode = Idle;
}

void VYRQCanvas::mouseMoveEvent(QMouseEvent* event)
{
    m_movePos = event->pos();
    if (m_mode != PressedSelection || m_selection.isEmpty())
        return;
    dragSelection(m_movePos, event->modifiers());
}

// ---------------------------------------------------------------------------
// Scrolling

void VYRQCanvas::SetScrollbar(VYRQScrollBar* bar, bool horizontal)
{
    QPointer<VYRQScrollBar>& slot = horizontal ? m_horizontalBar : m_verticalBar;
    if (slot == bar)
        return;
    if (slot)
        disconnect(slot.data(), &QScrollBar::valueChanged, this, &VYRQCanvas::scrollChanged);
    slot = bar;
    if (bar)
        connect(bar, &QScrollBar::valueChanged, this, &VYRQCanvas::scrollChanged);
}

void VYRQCanvas::UpdateScrollBar()
{
    if (!m_currentPage || !m_horizontalBar || !m_verticalBar)
        return;
    VYRQCanvasWindow* frame = m_currentPage;
    const int pw = frame->width();
    const int ph = frame->height();
    const int cw = width();
    const int ch = height();
    const QPoint remembered = m_scrollPositions.value(frame);

    m_updatingScroll = true;
    m_horizontalBar->setRange(0, pw - cw);
    m_horizontalBar->setPageStep(cw);
    m_verticalBar->setRange(0, ph - ch);
    m_verticalBar->setPageStep(ch);
    m_horizontalBar->setValue(remembered.x());
    m_verticalBar->setValue(remembered.y());
    m_updatingScroll = false;

    // A page smaller than the canvas is centred; a larger one sits where its bar
    // says, also when the bar's value did not change.
    const bool narrow = pw < cw;
    const bool low = ph < ch;
    frame->move(narrow ? (cw - pw) / 2 : -m_horizontalBar->value(), low ? (ch - ph) / 2 : -m_verticalBar->value());
    m_horizontalBar->setVisible(!narrow);
    m_verticalBar->setVisible(!low);
}

void VYRQCanvas::scrollChanged(int value)
{
    if (m_updatingScroll || !m_currentPage)
        return;
    QObject* bar = sender();
    if (!bar)
        return;
    QPoint& remembered = m_scrollPositions[m_currentPage];
    if (bar == m_verticalBar) {
        m_currentPage->setY(-value);
        remembered.setY(value);
    } else if (bar == m_horizontalBar) {
        m_currentPage->setX(-value);
        remembered.setX(value);
    }
    update();
}

void VYRQCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    UpdateScrollBar();
}

// ---------------------------------------------------------------------------
// Painting

void VYRQCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::gray);
    if (!m_currentPage)
        return;
    const QPoint offset = m_currentPage->pos();
    for (QObject* object : m_currentPage->children()) {
        if (object->isWidgetType())
            paintChild(painter, offset, static_cast<QWidget*>(object));
    }

    bool secondary = false;
    for (const QPointer<QWidget>& widget : qAsConst(m_selection)) {
        if (!widget)
            continue;
        const QRect r = rectOnCanvas(widget);
        const int l = r.left();
        const int t = r.top();
        const int w = r.width();
        const int h = r.height();
        const QPoint handles[] = { { l, t }, { l + w / 2, t }, { l + w, t },
                                   { l, t + h }, { l + w / 2, t + h }, { l + w, t + h },
                                   { l, t + h / 2 }, { l + w, t + h / 2 } };
        for (const QPoint& handle : handles)
            DrawSelectionPoint(painter, handle.x(), handle.y(), secondary);
        secondary = true;
    }
}

void VYRQCanvas::paintChild(QPainter& painter, const QPoint& offset, QWidget* widget)
{
    if (!widget || !widget->property("visibility").toBool())
        return;
    // The controls stay hidden as widgets; each is grabbed on its own (its hidden
    // children do not show) and its children are drawn over it, clipped to it.
    const QRect target(offset + widget->pos(), widget->size());
    painter.drawPixmap(target.topLeft(), widget->grab());
    painter.save();
    painter.setClipRect(target, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    for (QObject* object : widget->children()) {
        if (object->isWidgetType())
            paintChild(painter, target.topLeft(), static_cast<QWidget*>(object));
    }
    painter.restore();
}

void VYRQCanvas::DrawSelectionPoint(QPainter& painter, int x, int y, bool secondary)
{
    painter.save();
    painter.setClipping(false);
    painter.setPen(QPen(QColor(0, 0, 0, 255), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(x - 3, y - 3, handleSize, handleSize);
    painter.fillRect(x - 2, y - 2, 3, 3, secondary ? QColor::fromRgba(secondaryHandleRgba) : QColor(Qt::white));
    painter.restore();
}

// ---------------------------------------------------------------------------
// Drag and drop

namespace {

QVariant draggedType(const QMimeData* mime)
{
    return mime ? mime->property("TypeName") : QVariant();
}

} // namespace

void VYRQCanvas::dragEnterEvent(QDragEnterEvent* event)
{
    if (draggedType(event->mimeData()).isNull()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void VYRQCanvas::dragMoveEvent(QDragMoveEvent* event)
{
    if (!draggedType(event->mimeData()).isNull() && m_currentPage
        && m_currentPage->geometry().contains(event->pos()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void VYRQCanvas::dropEvent(QDropEvent* event)
{
    const QVariant type = draggedType(event->mimeData());
    QWidget* parent = type.isNull() ? nullptr : controlAt(event->pos());
    QWidget* widget = parent ? buildControl(type.toString(), parent) : nullptr;
    if (!widget) {
        event->ignore();
        return;
    }
    const QPoint at = parent->mapFrom(this, event->pos());
    dynamic_cast<IVYRQWidgetBase*>(widget)->setGeometry(at.x(), at.y(), 100, 100);
    event->acceptProposedAction();
    update();
}

#include "moc_VYRQCanvas.cpp"
