#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QList>
#include <QMap>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QMouseEvent;
class QPainter;
class QPaintEvent;
class QResizeEvent;
class VYRQCanvasImpl;
class VYRQCanvasWindow;
class VYRQScrollBar;

// Where a point lies relative to the selection.
enum VYR_CAV_HIT_TEST : int {
    VYR_CAV_HIT_INSIDE = 0,
    VYR_CAV_HIT_LEFT = 1,
    VYR_CAV_HIT_RIGHT = 2,
    VYR_CAV_HIT_TOP = 3,
    VYR_CAV_HIT_BOTTOM = 4,
    VYR_CAV_HIT_TOPLEFT = 5,
    VYR_CAV_HIT_BOTTOMLEFT = 6,
    VYR_CAV_HIT_TOPRIGHT = 7,
    VYR_CAV_HIT_BOTTOMRIGHT = 8,
    VYR_CAV_HIT_NONE = 9
};

// A recorded edit of the canvas. The canvas owns its records; hosts that keep an
// edit history derive their own.
class VYRQTLIB_EXPORT VYRQCanvasCommand {
public:
    virtual ~VYRQCanvasCommand() = default;
};

// The design-time page editor: opens page files into page frames (one of them
// current), draws the current page's controls on a grey ground, selects controls
// with the mouse, moves and resizes them with eight handles and snapping, creates
// controls by drag and drop or by call, and writes pages and the project's style
// file back. A host gives it its two scroll bars and follows widgetSelected.
class VYRQTLIB_EXPORT VYRQCanvas : public VYRQControl<VYRQCanvas, QWidget, VYRQCanvasImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
public:
    explicit VYRQCanvas(QWidget* parent = nullptr);
    ~VYRQCanvas() override;

    static const char* typeName() { return "canvas"; }
    static QWidget* createVYRQCanvas() { return new VYRQCanvas(nullptr); }

    // Pages. Paths are compared as exact strings.
    bool OpenJsonFile(const QString& path);
    bool SavePage(const QString& path);
    void SaveStyle(const QString& path);
    QString UpdatePagePath(const QString& path);
    bool removePage(VYRQCanvasWindow* frame);
    void closeAllWindows();
    VYRQCanvasWindow* GetCurWindow();
    void SetProjectPath(const QString& path);

    // Selection and editing.
    void AddSelectedControl(QWidget* widget);
    void RemoveAllSelected();
    bool createControl(const QString& typeKey);

    // The scroll bars are not owned.
    void SetScrollbar(VYRQScrollBar* bar, bool horizontal);

    void setDelegateItemVisible(bool visible);
    bool getDelegateItemVisible() const;

Q_SIGNALS:
    void widgetSelected(QWidget* widget);

public Q_SLOTS:
    void scrollChanged(int value);

protected:
    void layoutWindow();
    bool RemoveSelected(QWidget* widget);
    bool IsInSelected(QWidget* widget);
    VYR_CAV_HIT_TEST HitInSelected(int x, int y);
    void UpdateScrollBar();
    bool CheckPageValid(const QString& path);
    bool CreatePageFromJson(const QString& path);
    bool OpenWindowPage(const QString& path);
    void RemoveAllCommand();
    void pushCommand(std::unique_ptr<VYRQCanvasCommand> command);
    void paintChild(QPainter& painter, const QPoint& offset, QWidget* widget);
    void DrawSelectionPoint(QPainter& painter, int x, int y, bool secondary);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Interaction modes.
    enum Mode : int { PressedFree = 0, PressedSelection = 3, Idle = 6 };

    struct PressRecord {
        QPointer<QWidget> widget;
        QRect rect;
    };

    void forgetPage(VYRQCanvasWindow* frame);
    VYRQCanvasWindow* pageOf(QWidget* widget) const;
    QWidget* controlAt(const QPoint& canvasPos);
    QRect rectOnCanvas(const QWidget* widget) const;
    bool isPageRoot(const QWidget* widget) const;
    QWidget* firstSelected() const;
    // The element level of `widget` in its page: the controls from it up to its frame.
    int levelInPage(const QWidget* widget) const;
    // Builds, names and flags a control of the type under `parent`; null when the
    // type yields no library control.
    QWidget* buildControl(const QString& typeKey, QWidget* parent);
    void dragSelection(const QPoint& pos, Qt::KeyboardModifiers modifiers);
    void applyEditedGeometry(QWidget* widget, const QRect& rect);

    int m_nameCounter = 1;
    // Frames are tracked by hand (forgetPage runs when one is destroyed elsewhere):
    // they have no meta-object of their own for QPointer to check.
    VYRQCanvasWindow* m_currentPage = nullptr;
    QString m_projectPath;
    QMap<QString, VYRQCanvasWindow*> m_pages;
    QMap<VYRQCanvasWindow*, QPoint> m_scrollPositions;
    QPointer<VYRQScrollBar> m_horizontalBar;
    QPointer<VYRQScrollBar> m_verticalBar;
    std::vector<std::unique_ptr<VYRQCanvasCommand>> m_commands;
    QList<PressRecord> m_pressRects;
    QList<QPointer<QWidget>> m_selection;
    int m_mode = Idle;
    VYR_CAV_HIT_TEST m_hitType = VYR_CAV_HIT_NONE;
    QPoint m_pressPos;
    QPoint m_movePos;
    // Set while the canvas itself sets the bars, whose valueChanged must not move
    // the page half way.
    bool m_updatingScroll = false;
};
