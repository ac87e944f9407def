// Labels and buttons in nested containers against the same plain Qt widgets:
//   pageload  pages of 205, 2,041 and 20,401 controls read from one JSON page file
//             through vyrCreatePageByFileName, against QUiLoader building the
//             equivalent .ui form, once unstyled and once under the theme's look as a
//             style sheet on the host; build time, build + first show, and (2,041)
//             memory per control;
//   theme     1,000 shown labels and buttons switched between two theme folders
//             through the resource manager, against an application-wide
//             setStyleSheet, a sheet on the page root and a QPalette with the labels'
//             font on the page root; both sides must change every pixel and show
//             as many pixels of each text colour before and after;
//   layout    the container layout pass at N = 10 / 100 / 1,000 against QHBoxLayout,
//             a scroll step over 1,000 children, and 20,000 and 200,000 children of one
//             container added and shown against a QVBoxLayout (LayoutPassBench.h);
//   paint     rendering a 1280x800 page of those controls into a QImage, against the
//             style-sheet-styled Qt widgets and against the default style.
// Every control fills its cell on both sides; each benchmark checks that the two trees
// hold as many widgets covering as much area (and, where it paints, as many pixels
// off the background or changed by a switch), and prints no ratio when they do not.
// Usage: bench_controls [pageload|theme|layout|children|paint]...   (all when none is named);
// "pageload-large" runs the 20,401-control page alone, for a profiler.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise; build it as a release build.

#include "BenchPageJson.h"
#include "BenchRow.h"
#include "LayoutPassBench.h"
#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"

#include <QApplication>
#include <QBackingStore>
#include <QBoxLayout>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontInfo>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUiLoader>

#include <json/value.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using benchrow::median;
using benchrow::msSince;

using benchpage::Shape;
using benchpage::largePageShape;
using benchpage::pageJson;
using benchpage::pageShape;
using benchpage::smallPageShape;

// 1,000 labels and buttons, 80 x 20 each: the whole of every text shows, so that a
// switch's text pixels compare.
const Shape themeShape{50, 0, 20, 1600, 1000};
const Shape paintShape{25, 0, 16, 1280, 800};   // 400 labels and buttons, 80 x 32 each

// Bytes the allocator has handed out and not got back.
long heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return long(info.uordblks + info.hblkhd);
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// ---------------------------------------------------------------------------
// Page sources

QByteArray uiLeaf(int index)
{
    const bool label = index % 2 == 0;
    return QByteArray("<item><widget class=\"") + (label ? "QLabel" : "QPushButton") + "\" name=\""
        + (label ? "l" : "b") + QByteArray::number(index) + "\"><property name=\"text\"><string>"
        + (label ? "Label " : "Button ") + QByteArray::number(index) + "</string></property></widget></item>\n";
}

QByteArray uiBox(const QByteArray& name, bool vertical, const QByteArray& items)
{
    return "<item><widget class=\"QWidget\" name=\"" + name + "\"><layout class=\""
        + (vertical ? "QVBoxLayout" : "QHBoxLayout") + "\" name=\"" + name
        + "Layout\"><property name=\"spacing\"><number>0</number></property>"
          "<property name=\"leftMargin\"><number>0</number></property>"
          "<property name=\"topMargin\"><number>0</number></property>"
          "<property name=\"rightMargin\"><number>0</number></property>"
          "<property name=\"bottomMargin\"><number>0</number></property>\n"
        + items + "</layout></widget></item>\n";
}

QByteArray pageUi(const Shape& shape)
{
    int leaf = 0;
    QByteArray rows;
    for (int r = 0; r < shape.rows; ++r) {
        QByteArray cells;
        for (int c = 0; c < shape.cells; ++c) {
            QByteArray leaves;
            for (int l = 0; l < shape.leaves; ++l)
                leaves += uiLeaf(leaf++);
            cells += uiBox("c" + QByteArray::number(r) + "_" + QByteArray::number(c), true, leaves);
        }
        rows += uiBox("r" + QByteArray::number(r), false, cells);
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ui version=\"4.0\"><class>Page</class>"
           "<widget class=\"QWidget\" name=\"panel\"><property name=\"geometry\"><rect><x>0</x><y>0</y><width>"
        + QByteArray::number(shape.width) + "</width><height>" + QByteArray::number(shape.height)
        + "</height></rect></property><layout class=\"QVBoxLayout\" name=\"rootLayout\">"
          "<property name=\"spacing\"><number>0</number></property>"
          "<property name=\"leftMargin\"><number>0</number></property>"
          "<property name=\"topMargin\"><number>0</number></property>"
          "<property name=\"rightMargin\"><number>0</number></property>"
          "<property name=\"bottomMargin\"><number>0</number></property>\n"
        + rows + "</layout></widget></ui>\n";
}

// The same page as plain Qt widgets with box layouts.
QWidget* qtPage(const Shape& shape, QWidget* parent)
{
    auto box = [](QWidget* w, bool vertical) {
        QBoxLayout* layout = new QBoxLayout(vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, w);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        return layout;
    };
    auto leafWidget = [](int index, QWidget* p) -> QWidget* {
        if (index % 2 == 0)
            return new QLabel(QStringLiteral("Label %1").arg(index), p);
        // Like our buttons, fill the cell instead of keeping the height of the text.
        QPushButton* button = new QPushButton(QStringLiteral("Button %1").arg(index), p);
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        return button;
    };
    QWidget* root = new QWidget(parent);
    root->setObjectName(QStringLiteral("panel"));
    root->setGeometry(0, 0, shape.width, shape.height);
    QBoxLayout* rootLayout = box(root, true);
    int leaf = 0;
    for (int r = 0; r < shape.rows; ++r) {
        QWidget* row = new QWidget(root);
        QBoxLayout* rowLayout = box(row, false);
        rootLayout->addWidget(row);
        if (shape.cells == 0)
            for (int l = 0; l < shape.leaves; ++l)
                rowLayout->addWidget(leafWidget(leaf++, row));
        for (int c = 0; c < shape.cells; ++c) {
            QWidget* cell = new QWidget(row);
            QBoxLayout* cellLayout = box(cell, true);
            rowLayout->addWidget(cell);
            for (int l = 0; l < shape.leaves; ++l)
                cellLayout->addWidget(leafWidget(leaf++, cell));
        }
    }
    return root;
}

// ---------------------------------------------------------------------------
// Themes: the same looks as theme folders and as style sheets

struct Look {
    const char* panel;
    const char* button;
    const char* buttonHot;
    const char* buttonText;
    const char* text;
    int textSize;
};

const Look lookA{"FFF0F0F0", "FFE0E8F0", "FFD0E0FF", "FF102030", "FF203040", 13};
const Look lookB{"FF202428", "FF303840", "FF405060", "FFE0E0E0", "FFC0D0E0", 12};

QByteArray styleJson(const Look& look)
{
    return QByteArray("{\"style\": [\n")
        + "{\"type\": 1, \"name\": \"BenchPanel\", \"drawImg\": false, \"clr\": \"" + look.panel + "\"},\n"
        + "{\"type\": 1, \"name\": \"BenchButton\", \"drawImg\": false, \"clr\": \"" + look.button
        + "\", \"round\": 4},\n"
        + "{\"type\": 1, \"name\": \"BenchButtonHot\", \"drawImg\": false, \"clr\": \"" + look.buttonHot
        + "\", \"round\": 4},\n"
        + "{\"type\": 2, \"name\": \"BenchButtonText\", \"clr\": \"" + look.buttonText + "\", \"hor\": 1},\n"
        + "{\"type\": 2, \"name\": \"BenchText\", \"clr\": \"" + look.text + "\", \"size\": "
        + QByteArray::number(look.textSize) + ", \"bold\": true}\n]}\n";
}

const QByteArray themeJson = R"({"elements": [{"child": [
    {"name": "qtcontainer", "style": [["BenchPanel", 1, 0]]},
    {"name": "qtlabel", "style": [["BenchText", 2, 0]]},
    {"name": "qtbutton", "style": [["BenchButton", 1, 0], ["BenchButtonHot", 1, 1], ["BenchButtonText", 2, 4]]}
]}]})";

QString css(const char* argb)
{
    return QLatin1Char('#') + QString::fromLatin1(argb).mid(2);
}

QString styleSheet(const Look& look)
{
    return QStringLiteral("QWidget#panel { background: %1; }\n"
                          "QLabel { color: %2; font-size: %3px; font-weight: bold; }\n"
                          "QPushButton { background: %4; color: %5; border: none; border-radius: 4px; "
                          "font-size: 12px; }\n"
                          "QPushButton:hover { background: %6; }\n")
        .arg(css(look.panel), css(look.text))
        .arg(look.textSize)
        .arg(css(look.button), css(look.buttonText), css(look.buttonHot));
}

bool makeTheme(const QString& dir, const Look& look)
{
    return QDir().mkpath(dir) && writeFile(dir + QLatin1String("/style.json"), styleJson(look))
        && writeFile(dir + QLatin1String("/theme.json"), themeJson);
}

// The skin (default set) holds the styles that page files name.
bool makeSkin(const QString& dir)
{
    return QDir().mkpath(dir) && writeFile(dir + QLatin1String("/style.json"), styleJson(lookA));
}

// ---------------------------------------------------------------------------
// Benchmarks

struct Host {
    QWidget widget;
    Host(const Shape& shape) { widget.resize(shape.width, shape.height); }
};

QWidget* buildOurs(QWidget* parent, const QString& pageFile)
{
    return vyrCreatePageByFileName(parent, pageFile);
}

// The widgets of a tree and the area they cover: both sides must agree before a
// ratio means anything.
struct Tree {
    int widgets = 0;
    qint64 area = 0;
    bool operator==(const Tree& o) const { return widgets == o.widgets && area == o.area; }
};

Tree treeOf(const QWidget* root)
{
    Tree tree;
    if (!root)
        return tree;
    tree.widgets = 1;
    tree.area = qint64(root->width()) * root->height();
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        ++tree.widgets;
        tree.area += qint64(w->width()) * w->height();
    }
    return tree;
}

// False (and says why) when the two trees differ.
bool sameTree(const char* what, const QWidget* ours, const QWidget* qt)
{
    const Tree a = treeOf(ours), b = treeOf(qt);
    if (a == b)
        return true;
    std::printf("%s: the trees differ: ours %d widgets / %lld px, Qt %d widgets / %lld px\n", what, a.widgets,
                a.area, b.widgets, b.area);
    return false;
}

// One row of the table: both sides and the ratio, or no ratio when the work differed.
void printRow(const QByteArray& name, double ours, double qt, const char* unit, bool same, const char* target)
{
    if (same)
        std::printf("  %-34s ours %9.2f %-2s  Qt %9.2f %-2s  ratio %5.2f  (target %s)\n", name.constData(), ours, unit, qt, unit,
                    ours / qt, target);
    else
        std::printf("  %-34s ours %9.2f %-2s  Qt %9.2f %-2s  ratio  n/a   (the two sides did different work)\n",
                    name.constData(), ours, unit, qt, unit);
}

// Bytes of the window's backing store, which both sides allocate alike on first show.
long backingStoreBytes(QWidget& window)
{
    QBackingStore* store = window.backingStore();
    QPaintDevice* device = store ? store->paintDevice() : nullptr;
    if (device && device->devType() == QInternal::Image)
        return long(static_cast<QImage*>(device)->sizeInBytes());
    return 0;
}

// Thousands separators for row names: 20401 -> "20,401".
QByteArray grouped(int n)
{
    QByteArray digits = QByteArray::number(n);
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, ',');
    return digits;
}

QByteArray rowName(const char* what, int n)
{
    return QByteArray(what) + ' ' + grouped(n);
}

// One page size: our page against QUiLoader, unstyled and with the theme's look as a
// style sheet set on the host before load. The three builds take turns, so that a
// busy machine slows all alike.
void benchPageLoad(const QString& dir, const Shape& shape, int rounds, bool withMemory)
{
    const int n = shape.controls();
    const QString pageFile = dir + QStringLiteral("/page-%1.json").arg(n);
    const QString uiFile = dir + QStringLiteral("/page-%1.ui").arg(n);
    const QByteArray theme = QFile::encodeName(dir + QLatin1String("/themeA"));
    if (!writeFile(pageFile, pageJson(shape)) || !writeFile(uiFile, pageUi(shape))
        || !makeTheme(QString::fromLocal8Bit(theme), lookA)) {
        std::printf("pageload: cannot write the page files\n");
        return;
    }
    // As in an application: a theme is loaded, so every control applies its theme element.
    vyrLoadThemeDir(theme.constData());
    const QString sheet = styleSheet(lookA);
    QUiLoader loader;
    auto loadUi = [&](QWidget* parent) {
        QFile f(uiFile);
        f.open(QIODevice::ReadOnly);
        return loader.load(&f, parent);
    };

    // Warm-up: first use of every class, font and style; and the geometry checks.
    bool same = false;
    bool sameStyled = false;
    {
        Host a(shape), b(shape), c(shape);
        c.widget.setStyleSheet(sheet);
        QWidget* page = buildOurs(&a.widget, pageFile);
        QWidget* form = loadUi(&b.widget);
        QWidget* styled = loadUi(&c.widget);
        a.widget.show();
        b.widget.show();
        c.widget.show();
        QApplication::processEvents();
        same = page && form && sameTree("pageload", page, form);
        sameStyled = page && styled && sameTree("pageload, styled", page, styled);
    }

    std::vector<double> oursBuild, qtBuild, styledBuild, oursShow, qtShow, styledShow;
    for (int i = 0; i < rounds; ++i) {
        {
            Host host(shape);
            QElapsedTimer t;
            t.start();
            QWidget* page = buildOurs(&host.widget, pageFile);
            oursBuild.push_back(msSince(t));
            host.widget.show();
            QApplication::processEvents();
            oursShow.push_back(msSince(t));
            if (!page)
                std::printf("pageload: our page did not build\n");
        }
        for (bool styledSide : {false, true}) {
            Host host(shape);
            if (styledSide)
                host.widget.setStyleSheet(sheet);
            QElapsedTimer t;
            t.start();
            QWidget* form = loadUi(&host.widget);
            (styledSide ? styledBuild : qtBuild).push_back(msSince(t));
            host.widget.show();
            QApplication::processEvents();
            (styledSide ? styledShow : qtShow).push_back(msSince(t));
            if (!form)
                std::printf("pageload: QUiLoader failed: %s\n", qPrintable(loader.errorString()));
        }
    }

    std::printf("pageload: %s controls (%s labels and buttons) against QUiLoader, median of %d\n",
                grouped(n).constData(), grouped(shape.leafCount()).constData(), rounds);
    printRow(rowName("build", n), median(oursBuild), median(qtBuild), "ms", same, "<= 1.2");
    printRow(rowName("build vs styled", n), median(oursBuild), median(styledBuild), "ms", sameStyled, "<= 0.8");
    printRow(rowName("build+show", n), median(oursShow), median(qtShow), "ms", same, "-");
    printRow(rowName("build+show vs styled", n), median(oursShow), median(styledShow), "ms", sameStyled, "-");
    // Per control, so that the sizes compare: no worse at 20,401 than at 2,041.
    printRow(rowName("build+show us/control", n), 1000.0 * median(oursShow) / n, 1000.0 * median(qtShow) / n,
             "us", same, "-");
    if (!withMemory)
        return;

    // Heap in use grown since before the page was built: once built, and once shown
    // less the window's backing store.
    struct Memory {
        long built = 0;
        long shown = 0;
    };
    auto measure = [&](const std::function<void(QWidget*)>& build) {
        Memory m;
        malloc_trim(0);
        const long heap = heapBytes();
        Host host(shape);
        build(&host.widget);
        m.built = heapBytes() - heap;
        host.widget.show();
        QApplication::processEvents();
        m.shown = heapBytes() - heap - backingStoreBytes(host.widget);
        return m;
    };
    const Memory oursMem = measure([&](QWidget* p) { buildOurs(p, pageFile); });
    const Memory qtMem = measure([&](QWidget* p) { loadUi(p); });

    // The share of our build that is reading and parsing the page file and freeing
    // the parsed document again.
    std::vector<double> parse;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        QFile f(pageFile);
        f.open(QIODevice::ReadOnly);
        {
            Json::Value root;
            vyr::json::parse(f.readAll(), root);
        }
        parse.push_back(msSince(t));
    }
    printRow("heap per control before show", double(oursMem.built) / n, double(qtMem.built) / n, "B", same,
             "<= 1.1");
    printRow("heap per control shown (no store)", double(oursMem.shown) / n, double(qtMem.shown) / n, "B", same,
             "-");
    std::printf("  of which the JSON read + parse + free of the page file: %.2f ms\n", median(parse));
}

void benchPageLoad(const QString& dir)
{
    benchPageLoad(dir, smallPageShape, 15, false);
    benchPageLoad(dir, pageShape, 7, true);
    benchPageLoad(dir, largePageShape, 5, false);
}

QFont pixelFont(int size, bool bold)
{
    QFont font = QApplication::font();
    font.setPixelSize(size);
    font.setBold(bold);
    return font;
}

QPalette paletteOf(const Look& look)
{
    auto color = [](const char* argb) { return QColor(QLatin1Char('#') + QLatin1String(argb)); };
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, color(look.panel));
    palette.setColor(QPalette::Button, color(look.button));
    palette.setColor(QPalette::ButtonText, color(look.buttonText));
    palette.setColor(QPalette::WindowText, color(look.text));
    return palette;
}

// Pixels within a small distance of `color` (antialiased glyph edges blend into the
// background and do not count; their cores do).
qint64 pixelsNear(const QImage& image, QRgb color)
{
    qint64 n = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            n += std::abs(qRed(line[x]) - qRed(color)) + std::abs(qGreen(line[x]) - qGreen(color))
                     + std::abs(qBlue(line[x]) - qBlue(color)) < 24;
    }
    return n;
}

QRgb rgbOf(const char* argb)
{
    return QColor(QLatin1Char('#') + QLatin1String(argb)).rgb();
}

// What one switch did to the window: the pixels it changed, and the pixels in the
// text colours of the look before and after it. The background alone changes nearly
// every pixel; the text pixels show that the labels and buttons took the new look's
// text colour and size too.
struct SwitchPixels {
    qint64 changed = -1;
    qint64 labelText[2] = {};
    qint64 buttonText[2] = {};
};

SwitchPixels switchPixels(QWidget& window, const std::function<void()>& change)
{
    SwitchPixels pixels;
    const QImage before = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    change();
    QApplication::processEvents();
    const QImage after = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (before.size() != after.size())
        return pixels;
    pixels.changed = 0;
    for (int y = 0; y < before.height(); ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(before.constScanLine(y));
        const QRgb* b = reinterpret_cast<const QRgb*>(after.constScanLine(y));
        for (int x = 0; x < before.width(); ++x)
            pixels.changed += a[x] != b[x];
    }
    const Look* looks[2] = {&lookA, &lookB};
    const QImage* images[2] = {&before, &after};
    for (int k = 0; k < 2; ++k) {
        pixels.labelText[k] = pixelsNear(*images[k], rgbOf(looks[k]->text));
        pixels.buttonText[k] = pixelsNear(*images[k], rgbOf(looks[k]->buttonText));
    }
    return pixels;
}

// Both sides repainted about as much of the window (within 5 %).
bool samePixels(const char* what, qint64 ours, qint64 qt)
{
    if (ours > 0 && qt > 0 && std::abs(ours - qt) * 20 <= std::max(ours, qt))
        return true;
    std::printf("%s: the pixel counts differ: ours %lld, Qt %lld\n", what, ours, qt);
    return false;
}

// Both switches changed about as much of the window, and left about as many pixels
// of each text colour before and after. The text counts get 10 %: the default style
// places a push button's text a little differently from a style sheet; text left in
// the old look's colour or size is off by far more (labels of 13 pixels against 12 by 12 %).
bool sameSwitch(const char* what, const SwitchPixels& ours, const SwitchPixels& qt)
{
    const auto near = [](qint64 a, qint64 b) { return a > 0 && b > 0 && std::abs(a - b) * 10 <= std::max(a, b); };
    bool same = samePixels(what, ours.changed, qt.changed);
    for (int k = 0; k < 2; ++k) {
        if (!near(ours.labelText[k], qt.labelText[k]) || !near(ours.buttonText[k], qt.buttonText[k])) {
            std::printf("%s: the text pixels %s the switch differ: labels ours %lld, Qt %lld; buttons ours %lld, "
                        "Qt %lld\n",
                        what, k ? "after" : "before", ours.labelText[k], qt.labelText[k], ours.buttonText[k],
                        qt.buttonText[k]);
            same = false;
        }
    }
    return same;
}

// Each side switches in blocks, alternating with the others, so that a busy machine
// slows all alike; per-switch times are medians over all blocks. The Qt yardsticks:
// QApplication::setStyleSheet (restyles every widget of the application), a sheet
// set on the page root, and a QPalette with the labels' font set on the page root.
void benchTheme(const QString& dir)
{
    const Shape& shape = themeShape;
    const QString pageFile = dir + QLatin1String("/theme-page.json");
    const QByteArray themeA = QFile::encodeName(dir + QLatin1String("/themeA"));
    const QByteArray themeB = QFile::encodeName(dir + QLatin1String("/themeB"));
    if (!writeFile(pageFile, pageJson(shape)) || !makeTheme(QString::fromLocal8Bit(themeA), lookA)
        || !makeTheme(QString::fromLocal8Bit(themeB), lookB)) {
        std::printf("theme: cannot write the theme folders\n");
        return;
    }
    // One font family on both sides, so that their text pixels compare: ours draws
    // with the global family, Qt's widgets with the application font's.
    VYRGlobalConfig config = vyrGetGlobalConfig();
    config.fontFamily = QFontInfo(QApplication::font()).family();
    vyrSetGlobalConfig(config);
    enum Side { Ours, AppSheet, RootSheet, RootPalette, Sides };
    const char* const names[Sides] = {"ours", "theme switch vs style sheets", "theme switch vs sheet on root",
                                      "theme switch vs QPalette + QFont"};
    const int blocks = 4, switches = 8;
    const QString sheets[2] = {styleSheet(lookA), styleSheet(lookB)};
    const QPalette palettes[2] = {paletteOf(lookA), paletteOf(lookB)};
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    std::vector<double> times[Sides];
    Tree trees[Sides];
    SwitchPixels changed[Sides];
    for (int b = 0; b < blocks; ++b) {
        for (int side = 0; side < Sides; ++side) {
            Host host(shape);
            QWidget* root = nullptr;
            std::function<void(int)> apply;
            if (side == Ours) {
                rm->registerWindow(&host.widget);
                vyrLoadThemeDir(themeA.constData());
                root = buildOurs(&host.widget, pageFile);
                apply = [&](int look) { vyrLoadThemeDir(look ? themeB.constData() : themeA.constData()); };
            } else {
                root = qtPage(shape, &host.widget);
                if (side == AppSheet)
                    apply = [&](int look) { qApp->setStyleSheet(sheets[look]); };
                else if (side == RootSheet)
                    apply = [&, root](int look) { root->setStyleSheet(sheets[look]); };
                else {
                    // The labels' font follows the root; the buttons keep theirs, as
                    // the style sheets have it.
                    root->setAutoFillBackground(true);
                    for (QPushButton* button : root->findChildren<QPushButton*>())
                        button->setFont(pixelFont(12, false));
                    apply = [&, root](int look) {
                        root->setPalette(palettes[look]);
                        root->setFont(pixelFont(look ? lookB.textSize : lookA.textSize, true));
                    };
                }
                apply(0);
            }
            host.widget.show();
            QApplication::processEvents();
            if (b == 0)
                changed[side] = switchPixels(host.widget, [&] { apply(1); });
            for (int i = 0; i < switches; ++i) {
                QElapsedTimer t;
                t.start();
                apply(i % 2 ? 1 : 0);
                QApplication::processEvents();
                times[side].push_back(msSince(t));
            }
            trees[side] = treeOf(root);
            if (side == Ours)
                rm->unregisterWindow(&host.widget);
            qApp->setStyleSheet(QString());
        }
    }
    std::printf("theme: %d shown labels and buttons, median of %d switches (switch + repaint)\n", shape.leafCount(),
                blocks * switches);
    for (int side = AppSheet; side < Sides; ++side) {
        bool same = trees[Ours] == trees[side];
        if (!same)
            std::printf("theme: the trees differ: ours %d widgets / %lld px, Qt %d widgets / %lld px\n",
                        trees[Ours].widgets, trees[Ours].area, trees[side].widgets, trees[side].area);
        same = sameSwitch(names[side], changed[Ours], changed[side]) && same;
        std::printf("  (%s: pixels changed by one switch: ours %lld, Qt %lld; label / button text pixels after: "
                    "ours %lld / %lld, Qt %lld / %lld)\n",
                    names[side], changed[Ours].changed, changed[side].changed, changed[Ours].labelText[1],
                    changed[Ours].buttonText[1], changed[side].labelText[1], changed[side].buttonText[1]);
        printRow(names[side], median(times[Ours]), median(times[side]), "ms", same,
                 side == AppSheet ? "<= 0.2" : "-");
    }
}

void benchLayout()
{
    using namespace benchlayout;
    std::printf("layout: horizontal container pass against QHBoxLayout, best of 5 rounds\n");
    for (int n : {10, 100, 1000}) {
        const PassResult ours = containerPass(n);
        const PassResult qt = boxLayoutPass(n);
        const bool same = ours.placement == qt.placement;
        if (!same)
            std::printf("layout: N = %d places differently: ours %d / %lld px, Qt %d / %lld px\n", n,
                        ours.placement.children, ours.placement.area, qt.placement.children, qt.placement.area);
        const QByteArray name = "layout pass, N = " + QByteArray::number(n);
        printRow(name, ours.us, qt.us, "us", same, "<= 1.1");
    }
    std::printf("  %-34s ours %9.2f us  (no Qt anchor)\n", "scroll step over 1,000 children", scrollStep(1000));
}

// Children of one parent, created in code, then shown: linear on both sides.
void benchChildren()
{
    using namespace benchlayout;
    std::printf("children: one vertical container against a QVBoxLayout, children created and shown, best of "
                "3 (1 for 200,000)\n");
    for (int n : {20000, 200000}) {
        const int rounds = n > 100000 ? 1 : 3;
        const ManyResult ours = manyChildren(n, true, rounds);
        const ManyResult qt = manyChildren(n, false, rounds);
        const bool same = ours.sameWork(qt);
        if (!same)
            std::printf("children: N = %d places differently: ours %d / %lld px, Qt %d / %lld px\n", n,
                        ours.placement.children, ours.placement.area, qt.placement.children, qt.placement.area);
        std::printf("  (N = %s: ours %d children / %lld px, Qt %d / %lld px)\n", grouped(n).constData(),
                    ours.placement.children, ours.placement.area, qt.placement.children, qt.placement.area);
        printRow(rowName("children added + shown", n), ours.ms, qt.ms, "ms", same, "linear");
    }
}

// Pixels off the image's most common colour (the page background): text, button faces.
qint64 inkPixels(const QImage& image)
{
    QHash<QRgb, qint64> counts;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ++counts[line[x]];
    }
    qint64 total = qint64(image.width()) * image.height();
    qint64 background = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        background = std::max(background, it.value());
    return total - background;
}

// All pages stay alive; the styled Qt page carries the style sheet on its own root,
// so the library's labels (QLabels too) are not restyled. Renders take turns.
void benchPaint(const QString& dir)
{
    const Shape& shape = paintShape;
    const QString pageFile = dir + QLatin1String("/paint-page.json");
    const QByteArray theme = QFile::encodeName(dir + QLatin1String("/themeA"));
    if (!writeFile(pageFile, pageJson(shape)) || !makeTheme(QString::fromLocal8Bit(theme), lookA)) {
        std::printf("paint: cannot write the page\n");
        return;
    }
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    Host oursHost(shape), sheetHost(shape), plainHost(shape);
    rm->registerWindow(&oursHost.widget);
    vyrLoadThemeDir(theme.constData());
    QWidget* oursRoot = buildOurs(&oursHost.widget, pageFile);
    QWidget* sheetRoot = qtPage(shape, &sheetHost.widget);
    sheetRoot->setStyleSheet(styleSheet(lookA));
    QWidget* plainRoot = qtPage(shape, &plainHost.widget);
    oursHost.widget.show();
    sheetHost.widget.show();
    plainHost.widget.show();
    QApplication::processEvents();

    const int frames = 80;
    QImage image(shape.width, shape.height, QImage::Format_ARGB32_Premultiplied);
    auto frame = [&image](QWidget& w) {
        QElapsedTimer t;
        t.start();
        w.render(&image);
        return msSince(t);
    };
    qint64 ink[3] = {};
    QWidget* const hosts[3] = {&oursHost.widget, &sheetHost.widget, &plainHost.widget};
    for (int side = 0; side < 3; ++side) {
        frame(*hosts[side]);
        ink[side] = inkPixels(image);
    }
    const bool sameSheet = oursRoot && sameTree("paint", oursRoot, sheetRoot);
    const bool samePlain = oursRoot && sameTree("paint, default style", oursRoot, plainRoot);
    for (int i = 0; i < 5; ++i) {
        for (QWidget* host : hosts)
            frame(*host);
    }
    std::vector<double> times[3];
    for (int i = 0; i < frames; ++i) {
        for (int side = 0; side < 3; ++side)
            times[side].push_back(frame(*hosts[side]));
    }
    rm->unregisterWindow(&oursHost.widget);
    std::printf("paint: %dx%d page, %d labels and buttons, median of %d renders into a QImage\n", shape.width,
                shape.height, shape.leafCount(), frames);
    std::printf("  (pixels off the background: ours %lld, style sheets %lld, default style %lld)\n", ink[0], ink[1],
                ink[2]);
    printRow("paint 1280x800 vs style sheets", median(times[0]), median(times[1]), "ms",
             sameSheet && samePixels("paint", ink[0], ink[1]), "<= 0.7");
    printRow("paint 1280x800 vs default style", median(times[0]), median(times[2]), "ms",
             samePlain && samePixels("paint, default style", ink[0], ink[2]), "-");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    VYRQtLib::init();

    QTemporaryDir dir;
    if (!dir.isValid() || !makeSkin(dir.filePath(QStringLiteral("skin")))
        || !vyrSetSkinFilePath(dir.filePath(QStringLiteral("skin")) + QLatin1Char('/'), 1.0f)) {
        std::printf("cannot prepare the skin folder\n");
        return 1;
    }

    QStringList which = app.arguments().mid(1);
    if (which.isEmpty())
        which = QStringList{QStringLiteral("pageload"), QStringLiteral("layout"), QStringLiteral("children"),
                            QStringLiteral("paint"), QStringLiteral("theme")};
    for (const QString& name : which) {
        if (name == QLatin1String("pageload"))
            benchPageLoad(dir.path());
        else if (name == QLatin1String("pageload-large"))   // one size alone, for a profiler
            benchPageLoad(dir.path(), largePageShape, 3, false);
        else if (name == QLatin1String("theme"))
            benchTheme(dir.path());
        else if (name == QLatin1String("layout"))
            benchLayout();
        else if (name == QLatin1String("children"))
            benchChildren();
        else if (name == QLatin1String("paint"))
            benchPaint(dir.path());
        else
            std::printf("unknown benchmark: %s\n", qPrintable(name));
        std::fflush(stdout);
    }
    return 0;
}
