#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QWidget>

class QEvent;
class QMoveEvent;
class QObject;
class QPaintEvent;
class QResizeEvent;
class VYRQWindowDesignerImpl;

// Takes the place of a top-level window while a designer edits it: always fills its
// parent widget from the origin, lays its library children out against itself when
// resized, takes part in theme refreshes, and carries in its JSON the theme that
// the design uses ("attr"."theme"). Not registered in the control registry.
class VYRQTLIB_EXPORT VYRQWindowDesigner : public VYRQControl<VYRQWindowDesigner, QWidget, VYRQWindowDesignerImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
public:
    explicit VYRQWindowDesigner(QWidget* parent = nullptr);
    ~VYRQWindowDesigner() override;

    void setDelegateItemVisible(bool visible);
    bool getDelegateItemVisible() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Nothing of its own: a style sheet may give it a background.
    void paintEvent(QPaintEvent* event) override;

private:
    friend class VYRQControl<VYRQWindowDesigner, QWidget, VYRQWindowDesignerImpl>;
    static const char* typeName() { return "qtwindow"; }
    static QWidget* createVYRQWindowDesigner() { return new VYRQWindowDesigner(nullptr); }

    void fillParent(const QSize& size);
};
