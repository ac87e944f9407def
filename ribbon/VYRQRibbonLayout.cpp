#include "VYRQRibbonLayout.h"

#include <algorithm>
#include <climits>

namespace {
int clampInt(int value, int low, int high)
{
    return std::max(low, std::min(value, high));
}

// Sums in 64 bits: widths come from size hints that callers may make very large.
int saturate(qint64 value)
{
    return int(std::max<qint64>(std::min<qint64>(value, INT_MAX / 2), INT_MIN / 2));
}
} // namespace

// ---------------------------------------------------------------------------
// Groups

QVector<QRect> VYRQRibbonLayout::groupItems(const QVector<GroupItem>& items, int rowCount, int groupHeight)
{
    const int rows = std::max(rowCount, 2);
    const int content = std::max(groupHeight - groupTitleBand, 0);
    const int rowHeight = std::max(content / rows, 20);
    QVector<QRect> placed(items.size());
    QVector<int> column;
    int columnWidth = 0;
    int x = 4;
    auto flush = [&] {
        for (int i = 0; i < column.size(); ++i)
            placed[column[i]] = QRect(x, i * rowHeight + 4, columnWidth, rowHeight - 2);
        if (!column.isEmpty())
            x = saturate(qint64(x) + columnWidth + 4);
        column.clear();
        columnWidth = 0;
    };
    for (int i = 0; i < items.size(); ++i) {
        const GroupItem& item = items[i];
        if (item.stacks) {
            column.append(i);
            columnWidth = std::max(columnWidth, item.hintWidth);
            if (column.size() == rows)
                flush();
        } else {
            flush();
            placed[i] = QRect(x, 4, item.hintWidth, content);
            x = saturate(qint64(x) + item.hintWidth + 4);
        }
    }
    flush();
    return placed;
}

int VYRQRibbonLayout::groupWidth(const QVector<GroupItem>& items, int rowCount)
{
    const int rows = std::max(rowCount, 2);
    qint64 total = 8;
    int columnWidth = 0;
    int inColumn = 0;
    for (const GroupItem& item : items) {
        if (item.stacks) {
            columnWidth = std::max(columnWidth, item.hintWidth);
            if (++inColumn == rows) {
                total += columnWidth + 4;
                columnWidth = inColumn = 0;
            }
        } else {
            if (inColumn > 0) {
                total += columnWidth + 4;
                columnWidth = inColumn = 0;
            }
            total += qint64(item.hintWidth) + 4;
        }
    }
    if (inColumn > 0)
        total += columnWidth + 4;
    return std::max(saturate(total), 80);
}

// ---------------------------------------------------------------------------
// Pages

int VYRQRibbonLayout::pageMaxOffset(int contentWidth, int pageWidth)
{
    const bool overflow = contentWidth > pageWidth;
    const int view = overflow ? std::max(pageWidth - 2 * pageScrollButtonWidth, 0) : pageWidth;
    return std::max(contentWidth - view, 0);
}

VYRQRibbonLayout::PagePlacement VYRQRibbonLayout::pageGroups(const QVector<PageGroup>& groups, int pageWidth,
                                                              int pageHeight, int offset)
{
    PagePlacement out;
    qint64 content = 4;
    int expanding = 0;
    for (const PageGroup& group : groups) {
        content += qint64(group.hintWidth) + 4;
        expanding += group.expanding ? 1 : 0;
    }
    out.contentWidth = saturate(content + 4);
    out.overflow = out.contentWidth > pageWidth;
    const int maxOffset = pageMaxOffset(out.contentWidth, pageWidth);
    int extra = 0;
    if (out.overflow) {
        out.offset = clampInt(offset, 0, maxOffset);
    } else {
        out.offset = 0;
        if (expanding > 0)
            extra = std::max(pageWidth - out.contentWidth, 0) / expanding;
    }
    qint64 x = (out.overflow ? pageScrollButtonWidth : 0) - out.offset + 4;
    const int height = std::max(pageHeight - 8, 0);
    for (const PageGroup& group : groups) {
        const int width = saturate(qint64(group.hintWidth) + (group.expanding ? extra : 0));
        out.groups.append(QRect(saturate(x), 4, width, height));
        x += qint64(width) + 4;
    }
    out.canScrollLeft = out.offset > 0;
    out.canScrollRight = out.offset < maxOffset;
    if (out.overflow) {
        out.leftButton = QRect(0, 0, pageScrollButtonWidth, pageHeight);
        out.rightButton = QRect(pageWidth - pageScrollButtonWidth, 0, pageScrollButtonWidth, pageHeight);
    }
    return out;
}

// ---------------------------------------------------------------------------
// Galleries

VYRQRibbonLayout::GalleryPlacement VYRQRibbonLayout::gallery(int width, int height, int columns, int rows,
                                                             int firstVisible, int count)
{
    GalleryPlacement out;
    columns = std::max(columns, 1);
    rows = std::max(rows, 1);
    int x = width - 20;
    if (x < 1)
        x = 0;
    const int button = std::max(height / 3, 16);
    out.up = QRect(x, 0, 20, button);
    out.down = QRect(x, button, 20, button);
    out.more = QRect(x, 2 * button, 20, height - 2 * button);

    const int cellWidth = std::max(std::max(std::max(width - 20, 0) - 2, 0) / columns, 1);
    const int cellHeight = std::max(height / rows, 1);
    const qint64 perPage = qint64(rows) * columns;
    out.cells.resize(std::max(count, 0));
    out.shown.fill(false, out.cells.size());
    for (int i = 0; i < out.cells.size(); ++i) {
        const qint64 rel = qint64(i) - firstVisible;
        if (rel < 0 || rel >= perPage)
            continue;
        out.shown[i] = true;
        out.cells[i] = QRect(int(rel % columns) * cellWidth, int(rel / columns) * cellHeight, cellWidth - 1,
                             cellHeight - 1);
    }
    out.upEnabled = firstVisible >= 1;
    out.downEnabled = qint64(firstVisible) + perPage < count;
    return out;
}

int VYRQRibbonLayout::galleryPage(int firstVisible, int delta, int columns, int rows, int count)
{
    const qint64 step = std::max<qint64>(qint64(std::max(rows, 1)) * std::max(columns, 1), 1);
    const qint64 last = std::max<qint64>(count - step, 0);
    return int(std::max<qint64>(0, std::min<qint64>(firstVisible + qint64(delta) * step, last)));
}

QSize VYRQRibbonLayout::gallerySizeHint(int columns, int rows)
{
    return QSize(saturate(qint64(columns) * 66 + 20), saturate(qint64(rows) * 28 + 4));
}

// ---------------------------------------------------------------------------
// The bar

int VYRQRibbonLayout::headerHeight(bool compact, int topRowHeight, int tabRowHeight)
{
    const int top = rowHeight(topRowHeight);
    const int tab = rowHeight(tabRowHeight);
    return compact ? std::max(top, tab) : saturate(qint64(top) + tab);
}

QSize VYRQRibbonLayout::barSizeHint(bool compact, bool minimized, int topRowHeight, int tabRowHeight,
                                    int pageHeight)
{
    const qint64 page = minimized ? 0 : std::max(pageHeight, 64);
    return QSize(720, saturate(headerHeight(compact, topRowHeight, tabRowHeight) + page));
}

int VYRQRibbonLayout::quickAccessWidth(int hintWidth, bool textlessRibbonButton)
{
    return textlessRibbonButton ? 28 : std::max(std::min(hintWidth, 90), 24);
}

VYRQRibbonLayout::HeaderPlacement VYRQRibbonLayout::header(const HeaderRequest& request)
{
    HeaderPlacement out;
    const int width = request.barWidth;
    out.top = rowHeight(request.topRowHeight);
    out.tab = rowHeight(request.tabRowHeight);
    out.header = headerHeight(request.compact, request.topRowHeight, request.tabRowHeight);
    out.topRow = QRect(0, 0, width, out.top);
    out.tabRow = QRect(0, request.compact ? 0 : out.top, width, out.tab);

    int x = 4;
    if (request.applicationVisible) {
        const int w = std::max(request.applicationHintWidth, 54);
        out.application = QRect(4, 2, w, out.top - 4);
        x = w + 8;
    }
    for (int w : request.quickWidths) {
        out.quick.append(QRect(x, 3, w, out.top - 6));
        x += w + 2;
    }
    int r = width - 4;
    out.topRight.resize(request.topRightHintWidths.size());
    for (int i = request.topRightHintWidths.size() - 1; i >= 0; --i) {
        const int w = std::max(std::min(request.topRightHintWidths[i], 180), 40);
        out.topRight[i] = QRect(r - w, 3, w, out.top - 6);
        r -= w + 4;
    }
    if (request.compact) {
        out.contentLeft = x + 4;
        out.contentRight = r - 4;
    } else {
        out.contentLeft = 4;
        out.contentRight = width - 4;
    }
    return out;
}

int VYRQRibbonLayout::tabWidth(int textAdvance)
{
    return clampInt(saturate(qint64(textAdvance) + 28), 68, 150);
}

VYRQRibbonLayout::TabPlacement VYRQRibbonLayout::tabs(const TabRequest& request)
{
    TabPlacement out;
    int left = request.compact ? request.contentLeft : 4;
    int right = request.compact ? request.contentRight : request.rowWidth - 4;
    if (right <= left)
        right = request.rowWidth - 4;
    qint64 total = 0;
    for (int w : request.widths)
        total += qint64(w) + 2;
    out.total = saturate(total);
    out.overflow = out.total > std::max(right - left, 0);
    if (out.overflow) {
        left += 20;
        right -= 20;
        out.offset = clampInt(request.offset, 0, std::max(out.total - (right - left), 0));
    }
    const int maxOffset = std::max(out.total - (right - left), 0);
    const int height = std::max(request.rowHeight - 2, 0);
    qint64 x = qint64(left) - out.offset;
    for (int w : request.widths) {
        out.tabs.append(QRect(saturate(x), 1, w, height));
        out.visible.append(x + w > left && x < right);
        x += qint64(w) + 2;
    }
    out.leftEnabled = out.offset > 0;
    out.rightEnabled = out.offset < maxOffset;
    if (out.overflow) {
        out.left = QRect(request.compact ? left - 20 : 0, 0, 20, request.rowHeight);
        out.right = QRect(request.rowWidth - 20, 0, 20, request.rowHeight);
    }
    return out;
}
