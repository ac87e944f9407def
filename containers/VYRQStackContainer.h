#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QWidget>

class QEvent;
class QResizeEvent;
class VYRQStackContainerImpl;

// A page stack: an ordered list of page widgets of which exactly one, the current
// page, is shown, every page kept at the stack's full size. Pages are added in code;
// a page file builds the stack but never takes its "child" elements as pages.
//
// The pages are Qt children of the stack but not owned by the list: removing a page
// hides it and leaves it a child. A page that is deleted or re-parented elsewhere
// leaves the list by itself.
class VYRQTLIB_EXPORT VYRQStackContainer : public VYRQControl<VYRQStackContainer, QWidget, VYRQStackContainerImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQStackContainer, "qtstackcontainer")
public:
    // Its constructor sets a layout ratio, which relays out a container parent at once.
    static constexpr bool buildsUnderPageParent = false;
    explicit VYRQStackContainer(QWidget* parent = nullptr);
    ~VYRQStackContainer() override;

    int addWidget(QWidget* widget);
    // The index at which the page now stands, or -1 for a null widget. Out-of-range
    // indexes append; inserting a page that is already in the stack moves it.
    int insertWidget(int index, QWidget* widget);
    void removeWidget(QWidget* widget);
    int count() const;
    int currentIndex() const;
    QWidget* widget(int index) const;
    QWidget* currentWidget() const;
    void setCurrentIndex(int index);
    void setCurrentWidget(QWidget* widget);

    // Normal addresses the enabled background, every other state the disabled one.
    void setBackground(const FillStyle& style);
    void setDisableBackground(const FillStyle& style);
    void setBackgroundState(CtrlState state, const FillStyle& style);
    const FillStyle& getBackground() const;
    const FillStyle& getDisableBackground() const;
    const FillStyle& getBackgroundState(CtrlState state) const;
    void setDrawBackground(bool on);
    bool getDrawBackground() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updatePageGeometry(QWidget* page);
    // Announce lets the layout system know that the page changed (updateGeometry).
    // A refresh that answers a layout request does not, or it would ask again.
    enum class PageChange { Announce, Quiet };
    void refreshCurrentPage(PageChange change = PageChange::Announce);
    // Takes the page at index out of the list and keeps the current index in step;
    // the page itself is not touched (it may be half destroyed).
    void dropPageAt(int index);
};
