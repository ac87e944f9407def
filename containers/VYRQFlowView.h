#pragma once

#include "VYRQExport.h"

#include "VYRQContainer.h"
#include "VYRQFlowConnection.h"
#include "VYRQFlowNode.h"

#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVector>

class QMouseEvent;
class QPainter;
class QPaintEvent;

// A node-and-connection diagram over a container background: rounded node boxes
// placed by fractions of the view's size, joined by Bezier connections, over an
// optional grid. A press selects a node; unless the view is read-only, dragging a
// node moves it and dragging from a node's edge port to another node connects them.
// The owner sets the records and reads them back; the view reports through signals.
// The background and the grid are drawn once into a picture that every repaint
// copies; the picture is drawn again when the size, the scale or the look changes,
// the look including the image a theme supplies under the style's image name.
// Node geometry is held to finite pixels of bounded size whatever the records hold,
// and node texts to the controls' text limit.
//
// The type key stays the container's: pages know no flow view.
class VYRQTLIB_EXPORT VYRQFlowView : public VYRQContainer {
    Q_OBJECT
public:
    // The midpoint of one edge of a node's rectangle.
    enum Port : int {
        Left = 0,
        Right = 1,
        Top = 2,
        Bottom = 3
    };
    Q_ENUM(Port)

    explicit VYRQFlowView(QWidget* parent = nullptr);
    ~VYRQFlowView() override;

    // Replacing the list keeps the selection (by id) and a running drag (by id).
    void setNodes(const QVector<VYRQFlowNode>& nodes);
    QVector<VYRQFlowNode> nodes() const;
    void setConnections(const QVector<VYRQFlowConnection>& connections);
    QVector<VYRQFlowConnection> connections() const;
    // Refused for an empty or unknown end, a loop, or a connection that exists in
    // this direction (the reverse one does not count). Emits connectionCreated.
    bool addConnection(const QString& from, const QString& to);
    // The first connection with exactly these ends; no signal.
    bool removeConnection(const QString& from, const QString& to);
    // No signal.
    void setSelectedNodeId(const QString& id);
    QString selectedNodeId() const;
    // Also ends a node drag or connection drag under way.
    void setReadOnly(bool on);
    bool isReadOnly() const;
    void setGridVisible(bool on);
    bool isGridVisible() const;
    // At least 1.0 (NaN too) and at most 1000.0.
    void setConnectionWidth(double width);
    double connectionWidth() const;

    // Geometry in view coordinates, for the current size of the view.
    QRectF nodeRect(const VYRQFlowNode& node) const;
    // The centre fractions that put a node of `size` at `point`, clamped like nodeRect.
    QPointF normalizedPosition(const QPointF& point, const QSizeF& size) const;
    // The topmost (last) node containing the point, or an empty id.
    QString nodeAt(const QPointF& point) const;
    static Port portFor(const QRectF& rect, const QPointF& point);
    static QPointF portPoint(const QRectF& rect, Port port);
    // The topmost node that has a port within 12 pixels of the point, or an empty id.
    QString portNodeAt(const QPointF& point) const;
    bool hasConnection(const QString& from, const QString& to) const;

Q_SIGNALS:
    void nodeActivated(const QString& nodeId);
    void nodeMoved(const QString& nodeId, const QPointF& center);
    void connectionCreated(const QString& fromId, const QString& toId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    virtual void drawNode(QPainter* painter, const VYRQFlowNode& node);
    virtual void drawConnection(QPainter* painter, const VYRQFlowConnection& connection);

    const VYRQFlowNode* node(const QString& id) const;
    VYRQFlowNode* node(const QString& id);

private:
    // What drawNode shows of a node's texts, kept until the texts, the node's width
    // or the font change: eliding every text at every repaint was a large part of a
    // live diagram's repaints.
    struct ShownTexts {
        QString title;       // the node's texts they were made from
        QString subtitle;
        QString value;
        double width = -1.0;
        QFont font;
        QString shownTitle;
        QString shownSubtitle;
        QString shownValue;
    };

    void applySelection();
    void indexNodes();
    // The lines that cross `area`.
    void drawGrid(QPainter* painter, const QRect& area) const;
    // The container's background and the grid at the current size and look; null
    // when there is nothing to draw or the view is too large to keep a picture of.
    const QPixmap& backdrop();

    QVector<VYRQFlowNode> m_nodes;
    // The first node of each id: a repaint looks up both ends of every connection.
    QHash<QString, int> m_nodeIndex;
    QVector<ShownTexts> m_shownTexts;   // by node position
    int m_drawingNode = -1;             // the position drawNode is called for
    QVector<VYRQFlowConnection> m_connections;
    QString m_selectedId;
    QString m_dragNodeId;
    QString m_connectFromId;
    QPointF m_connectPoint;
    bool m_readOnly = true;
    bool m_gridVisible = true;
    bool m_draggingNode = false;
    bool m_connecting = false;
    double m_connectionWidth = 2.4;
    QPixmap m_backdrop;
    FillStyle m_backdropStyle;
    bool m_backdropBackground = false;
    bool m_backdropGrid = false;
    // The background image the picture shows: a new theme set brings a new image
    // under the same name, and the style naming it compares equal.
    qint64 m_backdropImageKey = 0;
};
