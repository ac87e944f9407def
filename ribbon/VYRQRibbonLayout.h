#pragma once

#include "VYRQExport.h"

#include <QRect>
#include <QSize>
#include <QVector>

// The arithmetic of the ribbon's placements, kept apart from widget state: groups
// stacking their items in rows, pages laying out groups with overflow scrolling,
// galleries paging a grid of cells, the bar's header rows and its tab strip. Every
// function is pure; integer divisions truncate.
class VYRQTLIB_EXPORT VYRQRibbonLayout {
public:
    // ---- Groups

    // One item of a group: the width of its size hint, and whether it stacks in a
    // column (medium and small items) or takes the full content height.
    struct GroupItem {
        int hintWidth = 0;
        bool stacks = false;
    };

    // The 27 pixels under the content are the title band.
    static constexpr int groupTitleBand = 27;
    static QVector<QRect> groupItems(const QVector<GroupItem>& items, int rowCount, int groupHeight);
    static int groupWidth(const QVector<GroupItem>& items, int rowCount);

    // ---- Pages

    struct PageGroup {
        int hintWidth = 0;
        bool expanding = false;
    };

    struct PagePlacement {
        int contentWidth = 0;
        bool overflow = false;
        int offset = 0;                 // the scroll offset, clamped
        QVector<QRect> groups;
        bool canScrollLeft = false;
        bool canScrollRight = false;
        QRect leftButton;               // valid only while overflowing
        QRect rightButton;
    };

    static constexpr int pageScrollButtonWidth = 20;
    static PagePlacement pageGroups(const QVector<PageGroup>& groups, int pageWidth, int pageHeight, int offset);
    // The largest scroll offset for a content width on a page of that width.
    static int pageMaxOffset(int contentWidth, int pageWidth);

    // ---- Galleries

    struct GalleryPlacement {
        QRect up;
        QRect down;
        QRect more;
        QVector<QRect> cells;           // per item
        QVector<bool> shown;            // per item: on the page shown
        bool upEnabled = false;
        bool downEnabled = false;
    };

    static GalleryPlacement gallery(int width, int height, int columns, int rows, int firstVisible, int count);
    // The first visible index after paging by `delta` pages; the last page stays full.
    static int galleryPage(int firstVisible, int delta, int columns, int rows, int count);
    static QSize gallerySizeHint(int columns, int rows);

    // ---- The bar

    struct HeaderRequest {
        int barWidth = 0;
        bool compact = false;
        int topRowHeight = 30;
        int tabRowHeight = 31;
        bool applicationVisible = false;
        int applicationHintWidth = 0;
        QVector<int> quickWidths;       // see quickAccessWidth()
        QVector<int> topRightHintWidths;
    };

    struct HeaderPlacement {
        int top = 0;
        int tab = 0;
        int header = 0;
        QRect topRow;
        QRect tabRow;
        QRect application;
        QVector<QRect> quick;
        QVector<QRect> topRight;
        int contentLeft = 0;            // the range the compact layout leaves to the tabs
        int contentRight = 0;
    };

    static int rowHeight(int height) { return height < 24 ? 24 : height; }
    static int headerHeight(bool compact, int topRowHeight, int tabRowHeight);
    static QSize barSizeHint(bool compact, bool minimized, int topRowHeight, int tabRowHeight, int pageHeight);
    // Width of a quick-access widget: a ribbon button without text is 28 wide.
    static int quickAccessWidth(int hintWidth, bool textlessRibbonButton);
    static HeaderPlacement header(const HeaderRequest& request);

    struct TabRequest {
        QVector<int> widths;            // see tabWidth()
        bool compact = false;
        int contentLeft = 0;
        int contentRight = 0;
        int rowWidth = 0;
        int rowHeight = 0;
        int offset = 0;
    };

    struct TabPlacement {
        int total = 0;                  // sum of the widths plus 2 per tab
        bool overflow = false;
        int offset = 0;                 // the scroll offset, clamped
        QVector<QRect> tabs;
        QVector<bool> visible;
        QRect left;                     // valid only while overflowing
        QRect right;
        bool leftEnabled = false;
        bool rightEnabled = false;
    };

    static int tabWidth(int textAdvance);
    static TabPlacement tabs(const TabRequest& request);
};
