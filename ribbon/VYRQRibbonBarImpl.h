#pragma once

#include "VYRQExport.h"

#include "VYRQRibbonTypes.h"
#include "VYRQStateStyles.h"
#include "VYRQWidgetBaseImpl.h"

#include <QFont>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QVector>

class QAction;
class VYRQContainer;
class VYRQRibbonBar;
class VYRQRibbonButton;
class VYRQRibbonContextGroup;
class VYRQRibbonPage;

// The ribbon bar's state: its style slots, its rows and lists, its current page,
// layout mode, minimised flag and sizes. The bar's operations work on it.
class VYRQTLIB_EXPORT VYRQRibbonBarImpl : public VYRQWidgetBaseImpl {
    Q_OBJECT
public:
    explicit VYRQRibbonBarImpl(VYRQRibbonBar* owner);
    ~VYRQRibbonBarImpl() override;

    // Style slots; the numbers are those of the bar's "style" entries.
    FillStyle barBackground;            // 0
    FillStyle pageBackground;           // 1
    FillStyle groupBackground;          // 2, drawn by each group
    vyr::FillStates tabBackgrounds;     // 4 to 7
    vyr::FillStates buttonBackgrounds;  // 8 to 11
    TextStyleDesc tabText;              // 12
    TextStyleDesc groupTitleText;       // 13, drawn by each group
    TextStyleDesc buttonText;           // 14 (15 reads into it too)
    FillStyle headerBackground;         // 16, top row and tab row
    FillStyle accentFill;               // 17, kept and written; nothing draws it
    FillStyle galleryBackground;        // 18

    // Rows, owned by the bar as Qt children; the popup has no parent and is deleted
    // by the bar.
    VYRQContainer* topRow = nullptr;
    VYRQContainer* tabRow = nullptr;
    VYRQContainer* pageArea = nullptr;
    VYRQContainer* popup = nullptr;
    VYRQRibbonButton* applicationButton = nullptr;
    VYRQRibbonButton* tabScrollLeft = nullptr;
    VYRQRibbonButton* tabScrollRight = nullptr;

    QVector<VYRQRibbonPage*> pages;                         // in insertion order
    QVector<VYRQRibbonContextGroup*> contextGroups;         // in creation order
    QVector<QPointer<VYRQRibbonButton>> tabButtons;
    QVector<VYRQRibbonPage*> tabPages;                      // the pages that have a tab
    // The tab button of each page as the last rebuild left it; pages taken away since
    // are still keys, until the next rebuild lets their buttons go.
    QHash<VYRQRibbonPage*, QPointer<VYRQRibbonButton>> tabOfPage;
    // The text advance of each tab button, measured again only when its text or font
    // changes: every page added rebuilds the tabs and lays them out again.
    struct TabAdvance {
        QString text;
        QFont font;
        int advance = 0;
    };
    QHash<const QObject*, TabAdvance> tabAdvances;
    QVector<QPointer<QWidget>> quickAccess;
    QVector<QPointer<QWidget>> topRight;
    QVector<QPointer<QAction>> registeredActions;
    QVector<QPointer<QAction>> ownedActions;
    // The same actions as sets: a configuration registers thousands, each twice.
    QSet<const QObject*> registeredSet;
    QSet<const QObject*> ownedSet;
    VYRQRibbonPage* currentPage = nullptr;

    VYR_RIBBON_LAYOUT_MODE layoutMode = VYR_RIBBON_LAYOUT_MODE::office;
    bool minimized = false;
    int tabScrollOffset = 0;
    int totalTabWidth = 0;
    // Heights read from a page are kept within this.
    static constexpr int maxRowHeight = 4096;
    int topRowHeight = 30;
    int tabRowHeight = 31;
    int pageHeight = 96;
    int groupRows = 3;
    QString configFile;
    QString lastError;
    bool destroying = false;
    // While a configuration is read, the tabs are built and the pages and the header
    // laid out once, at its end, instead of after every page, group, item, quick-access
    // command and top-right widget.
    int loading = 0;

    void notifyChangeLanguage() override;

    // The style slot of a "style" entry, null for a slot the kind does not have.
    FillStyle* fillSlot(int slot);
    TextStyleDesc* textSlot(int slot);
    // Hands the styles to the rows, the buttons and the galleries of the bar.
    void applyRibbonStyles();
    void styleButton(VYRQRibbonButton* button, bool asTab) const;

protected:
    // "style" slots and the "attr" keys; a theme element sets sizes and styles only.
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

private:
    VYRQRibbonBar* q;
};
