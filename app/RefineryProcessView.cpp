#include "RefineryProcessView.h"

#include <QColor>
#include <QVector>

#include <iterator>

namespace {

struct NodePlace {
    const char* id;
    double x;
    double y;
    double width;
    double height;
};

// Centres and sizes as fractions of the view. "P-421" has no node.
const NodePlace kNodes[] = {
    {"P-101", 0.09, 0.56, 0.10, 0.16}, {"HX-7", 0.23, 0.56, 0.11, 0.16}, {"F-102", 0.38, 0.56, 0.11, 0.19},
    {"R-203", 0.53, 0.43, 0.11, 0.22}, {"V-205", 0.67, 0.43, 0.11, 0.18}, {"T-401", 0.82, 0.50, 0.10, 0.33},
    {"TK-501", 0.94, 0.69, 0.09, 0.18}, {"C-310", 0.66, 0.78, 0.11, 0.16}, {"P-112", 0.82, 0.84, 0.10, 0.15},
    {"E-411", 0.82, 0.17, 0.10, 0.14}, {"V-420", 0.94, 0.17, 0.09, 0.14},
};

struct Line {
    const char* from;
    const char* to;
    bool loop;   // recycle and overhead loops, else the main process line
};

const Line kLines[] = {
    {"P-101", "HX-7", false}, {"HX-7", "F-102", false}, {"F-102", "R-203", false}, {"R-203", "V-205", false},
    {"V-205", "T-401", false}, {"T-401", "TK-501", false}, {"V-205", "C-310", true}, {"C-310", "R-203", true},
    {"T-401", "P-112", false}, {"T-401", "E-411", true}, {"E-411", "V-420", true}, {"V-420", "T-401", true},
};

const QColor kMainLine(74, 122, 128);
const QColor kLoopLine(120, 104, 230);

bool sameNode(const VYRQFlowNode& a, const VYRQFlowNode& b)
{
    return a.id == b.id && a.title == b.title && a.subtitle == b.subtitle && a.value == b.value && a.x == b.x
        && a.y == b.y && a.size == b.size && a.accent == b.accent && a.fill == b.fill && a.border == b.border
        && a.selectedBorder == b.selectedBorder && a.selected == b.selected;
}

QColor accentOf(const RefineryEquipment* item)
{
    switch (item ? item->status : -1) {
    case 0: return QColor(63, 220, 137);
    case 1: return QColor(255, 194, 92);
    case 2: return QColor(255, 83, 105);
    default: return QColor(116, 126, 137);
    }
}

} // namespace

RefineryProcessView::RefineryProcessView(QWidget* parent)
    : VYRQFlowView(parent)
{
    setObjectName(QStringLiteral("refineryProcessView"));
    setThemeName(QStringLiteral("KolvProcessCanvas"));
    setReadOnly(true);
    setGridVisible(true);
    setConnectionWidth(2.4);
    connect(this, &VYRQFlowView::nodeActivated, this, &RefineryProcessView::equipmentActivated);
    rebuild();
}

RefineryProcessView::~RefineryProcessView() = default;

void RefineryProcessView::setSnapshot(const RefinerySnapshot& snapshot)
{
    m_snapshot = snapshot;
    rebuild();
}

void RefineryProcessView::setSelectedEquipmentId(const QString& id)
{
    if (id == m_selectedEquipmentId)
        return;
    m_selectedEquipmentId = id;
    rebuild();
}

void RefineryProcessView::setChinese(bool chinese)
{
    if (chinese == m_chinese)
        return;
    m_chinese = chinese;
    rebuild();
}

void RefineryProcessView::rebuild()
{
    QVector<VYRQFlowNode> nodes;
    nodes.reserve(int(std::size(kNodes)));
    for (const NodePlace& place : kNodes) {
        const QString id = QString::fromLatin1(place.id);
        const RefineryEquipment* item = nullptr;
        for (const RefineryEquipment& candidate : m_snapshot.equipment) {
            if (candidate.id.compare(id, Qt::CaseInsensitive) == 0) {
                item = &candidate;
                break;
            }
        }
        VYRQFlowNode node;
        node.id = id;
        node.title = id;
        node.x = place.x;
        node.y = place.y;
        node.size = QSizeF(place.width, place.height);
        if (item) {
            node.subtitle = m_chinese ? item->nameZh : item->nameEn;
            node.value = QStringLiteral("%1 C  %2 bar")
                             .arg(item->temperature, 0, 'f', 0, QChar(' '))
                             .arg(item->pressure, 0, 'f', 1, QChar(' '));
        }
        node.accent = accentOf(item);
        node.fill = QColor(29, 32, 36);
        node.border = QColor(58, 72, 78);
        node.selectedBorder = QColor(146, 134, 255);
        node.selected = id == m_selectedEquipmentId;
        nodes.append(node);
    }
    // Most ticks leave the diagram's texts and colours as they were: no repaint then.
    const QVector<VYRQFlowNode> shown = this->nodes();
    bool same = shown.size() == nodes.size();
    for (int i = 0; same && i < nodes.size(); ++i)
        same = sameNode(shown.at(i), nodes.at(i));
    if (!same)
        setNodes(nodes);

    QVector<VYRQFlowConnection> connections;
    connections.reserve(int(std::size(kLines)));
    for (const Line& line : kLines) {
        VYRQFlowConnection connection;
        connection.from = QString::fromLatin1(line.from);
        connection.to = QString::fromLatin1(line.to);
        connection.color = line.loop ? kLoopLine : kMainLine;
        connection.arrow = false;
        connections.append(connection);
    }
    const QVector<VYRQFlowConnection> drawn = this->connections();
    bool sameLines = drawn.size() == connections.size();
    for (int i = 0; sameLines && i < connections.size(); ++i)
        sameLines = drawn.at(i).from == connections.at(i).from && drawn.at(i).to == connections.at(i).to
            && drawn.at(i).color == connections.at(i).color && drawn.at(i).arrow == connections.at(i).arrow;
    if (!sameLines)
        setConnections(connections);
    if (selectedNodeId() != m_selectedEquipmentId)
        setSelectedNodeId(m_selectedEquipmentId);
}

#include "moc_RefineryProcessView.cpp"
