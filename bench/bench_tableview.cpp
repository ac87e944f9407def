// The themed table against QTableView with QStyledItemDelegate, over one shared model:
//   scroll    paint time per frame while paging through a 10,000 x 8 model: each page
//             moves the vertical bar by one viewport and renders the viewport's
//             800 x 600 cell area into a QImage; both sides must show the same rows;
//   setmodel  setModel of a 100,000 x 8 model, and apart from it the first paint after.
// Usage: bench_tableview [scroll|setmodel]...   (both when none is named)
// Runs offscreen unless QT_QPA_PLATFORM says otherwise; build it as a release build.

#include "BenchRow.h"
#include "VYRQGlobal.h"
#include "VYRQTableView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using benchrow::median;
using benchrow::msSince;

constexpr int columns = 8;
constexpr int rowHeight = 24;
const QRect cellArea(0, 0, columns * 100, 600);

std::unique_ptr<QStandardItemModel> makeModel(int rows)
{
    auto model = std::make_unique<QStandardItemModel>(rows, columns);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            auto* item = new QStandardItem(QStringLiteral("R%1 C%2 %3").arg(r).arg(c).arg(r * 7 % 1000));
            if (c == 3)
                item->setData(int(Qt::AlignRight | Qt::AlignVCenter), Qt::TextAlignmentRole);
            model->setItem(r, c, item);
        }
    }
    return model;
}

FillStyle fill(const QColor& color, const QColor& border)
{
    FillStyle style;
    style.fill.color = color;
    style.fill.border = true;
    style.fill.borderSize = 1;
    style.fill.borderColor = border;
    style.fill.leftBorder = style.fill.topBorder = style.fill.rightBorder = false;
    return style;
}

void styleTable(VYRQTableView& table)
{
    table.setBackground(CommonNormal, fill(QColor(24, 30, 40), QColor(24, 30, 40)));
    table.setItemBackground(AllStates, fill(QColor(30, 38, 50), QColor(44, 54, 70)));
    table.setItemBackground(Pressed, fill(QColor(30, 90, 150), QColor(44, 54, 70)));
    TextStyleDesc text;
    text.color = QColor(220, 228, 240);
    text.size = 13;
    table.setItemTextStyle(AllStates, text);
    table.setItemHeight(rowHeight);
}

void prepare(QTableView& view, QAbstractItemModel* model)
{
    view.resize(860, 680);
    view.setModel(model);
    view.verticalHeader()->setMinimumSectionSize(1);
    view.verticalHeader()->setDefaultSectionSize(rowHeight);
    view.verticalHeader()->hide();
    view.horizontalHeader()->setFixedHeight(rowHeight);
    view.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    for (int c = 0; c < columns; ++c)
        view.setColumnWidth(c, 100);
    view.setShowGrid(false);
    view.show();
    QApplication::processEvents();
}

// Frame times of paging through the model; `pages` gets the first and last row shown
// on every page.
std::vector<double> scrollFrames(QTableView& view, std::vector<QPair<int, int>>& pages)
{
    QImage image(cellArea.size(), QImage::Format_ARGB32_Premultiplied);
    QScrollBar* bar = view.verticalScrollBar();
    const int step = cellArea.height();
    std::vector<double> frames;
    pages.clear();
    for (int value = 0; value <= bar->maximum(); value += step) {
        bar->setValue(value);
        QElapsedTimer t;
        t.start();
        view.viewport()->render(&image, QPoint(), QRegion(cellArea));
        frames.push_back(msSince(t));
        pages.push_back({view.rowAt(0), view.rowAt(cellArea.height() - 1)});
    }
    return frames;
}

void runScroll()
{
    const auto model = makeModel(10000);
    VYRQTableView ours;
    styleTable(ours);
    prepare(ours, model.get());
    QTableView theirs;
    QStyledItemDelegate delegate;
    theirs.setItemDelegate(&delegate);
    prepare(theirs, model.get());
    if (ours.viewport()->height() < cellArea.height() || theirs.viewport()->height() < cellArea.height()
        || ours.viewport()->width() < cellArea.width() || theirs.viewport()->width() < cellArea.width()) {
        std::printf("scroll: viewports too small\n");
        return;
    }

    std::vector<QPair<int, int>> oursPages;
    std::vector<QPair<int, int>> theirsPages;
    std::vector<double> a;
    std::vector<double> b;
    for (int round = 0; round < 3; ++round) {
        const std::vector<double> x = scrollFrames(ours, oursPages);
        const std::vector<double> y = scrollFrames(theirs, theirsPages);
        a.insert(a.end(), x.begin(), x.end());
        b.insert(b.end(), y.begin(), y.end());
    }
    const bool same = oursPages == theirsPages;
    std::printf("scroll: %zu pages of a 10,000 x 8 model, %dx%d cells, median frame; same rows shown: %s\n",
                oursPages.size(), cellArea.width(), cellArea.height(), same ? "yes" : "no");
    benchrow::print("table paging, 10,000 rows", median(a), median(b), "ms", same);
}

void runSetModel()
{
    const auto first = makeModel(100000);
    const auto second = makeModel(100000);
    VYRQTableView ours;
    styleTable(ours);
    prepare(ours, first.get());
    QTableView theirs;
    QStyledItemDelegate delegate;
    theirs.setItemDelegate(&delegate);
    prepare(theirs, first.get());

    // The call, then the events it leaves pending (the layout and the first repaint);
    // the two sides alternate, and which goes first alternates too.
    struct Side {
        QTableView* view;
        std::vector<double> call;
        std::vector<double> paint;
    };
    Side sides[2] = {{&ours, {}, {}}, {&theirs, {}, {}}};
    bool same = true;
    for (int i = 0; i < 14; ++i) {
        QAbstractItemModel* model = i / 2 % 2 ? first.get() : second.get();
        for (int k = 0; k < 2; ++k) {
            Side& side = sides[(i + k) % 2];
            QElapsedTimer t;
            t.start();
            side.view->setModel(model);
            side.call.push_back(msSince(t));
            t.restart();
            QApplication::processEvents();
            side.paint.push_back(msSince(t));
        }
        // Both hold the same model and show the same rows.
        same = same && ours.model() == model && theirs.model() == model && ours.rowAt(0) == theirs.rowAt(0)
            && ours.rowAt(cellArea.height() - 1) == theirs.rowAt(cellArea.height() - 1);
    }
    same = same && ours.rowAt(cellArea.height() - 1) >= 20;
    std::printf("setmodel: 100,000 x 8 model, median of 14, sides interleaved; same model and rows shown: %s\n",
                same ? "yes" : "no");
    benchrow::print("table setModel 100,000 rows: call", median(sides[0].call), median(sides[1].call), "ms", same);
    benchrow::print("table setModel: first paint after", median(sides[0].paint), median(sides[1].paint), "ms", same);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    VYRQtLib::init();
    QStringList which;
    for (int i = 1; i < argc; ++i)
        which << QString::fromLocal8Bit(argv[i]);
    if (which.isEmpty())
        which = QStringList{QStringLiteral("scroll"), QStringLiteral("setmodel")};
    for (const QString& name : which) {
        if (name == QLatin1String("scroll"))
            runScroll();
        else if (name == QLatin1String("setmodel"))
            runSetModel();
        else
            std::printf("unknown benchmark: %s\n", qPrintable(name));
    }
    return 0;
}
