// Labels and buttons in nested containers against the same plain Qt widgets:
//   pageload  a page of about 2,000 controls read from one JSON page file through
//             vyrCreatePageByFileName, against QUiLoader building the equivalent .ui
//             form; build time, build + first show, and memory per control;
//   theme     1,000 shown labels and buttons switched between two theme folders
//             through the resource manager, against QApplication::setStyleSheet;
//   layout    the container layout pass at N = 10 / 100 / 1,000 against QHBoxLayout,
//             and a scroll step over 1,000 children (LayoutPassBench.h);
//   paint     rendering a 1280x800 page of those controls into a QImage, against the
//             style-sheet-styled Qt widgets.
// Every control fills its cell on both sides; each benchmark checks that the two trees
// hold as many widgets covering as much area, and prints no ratio when they do not.
// Usage: bench_controls [pageload|theme|layout|paint]...   (all when none is named)
// Runs offscreen unless QT_QPA_PLATFORM says otherwise; build it as a release build.

#include "BenchPageJson.h"
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
#include <QImage>
#include <QLabel>
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

using benchpage::Shape;
using benchpage::pageJson;
using benchpage::pageShape;

const Shape themeShape{20, 5, 10, 1280, 800};   // 1,000 labels and buttons
const Shape paintShape{25, 0, 16, 1280, 800};   // 400 labels and buttons, 80 x 32 each

// Bytes the allocator has handed out and not got back.
long heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return long(info.uordblks + info.hblkhd);
}

double msSince(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
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
           "<widget class=\"QWidget\" name=\"Page\"><property name=\"geometry\"><rect><x>0</x><y>0</y><width>"
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
void printRow(const char* name, double ours, double qt, const char* unit, bool same, const char* target)
{
    if (same)
        std::printf("  %-34s ours %9.2f %-2s  Qt %9.2f %-2s  ratio %5.2f  (target %s)\n", name, ours, unit, qt, unit,
                    ours / qt, target);
    else
        std::printf("  %-34s ours %9.2f %-2s  Qt %9.2f %-2s  ratio  n/a   (the two sides did different work)\n",
                    name, ours, unit, qt, unit);
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

void benchPageLoad(const QString& dir)
{
    const Shape& shape = pageShape;
    const QString pageFile = dir + QLatin1String("/page.json");
    const QString uiFile = dir + QLatin1String("/page.ui");
    const QByteArray theme = QFile::encodeName(dir + QLatin1String("/themeA"));
    if (!writeFile(pageFile, pageJson(shape)) || !writeFile(uiFile, pageUi(shape))
        || !makeTheme(QString::fromLocal8Bit(theme), lookA)) {
        std::printf("pageload: cannot write the page files\n");
        return;
    }
    // As in an application: a theme is loaded, so every control applies its theme element.
    vyrLoadThemeDir(theme.constData());
    QUiLoader loader;
    auto loadUi = [&](QWidget* parent) {
        QFile f(uiFile);
        f.open(QIODevice::ReadOnly);
        return loader.load(&f, parent);
    };

    // Warm-up: first use of every class, font and style; and the geometry check.
    bool same = false;
    {
        Host a(shape), b(shape);
        QWidget* page = buildOurs(&a.widget, pageFile);
        QWidget* form = loadUi(&b.widget);
        a.widget.show();
        b.widget.show();
        QApplication::processEvents();
        same = page && form && sameTree("pageload", page, form);
    }

    const int rounds = 7;
    std::vector<double> oursBuild, qtBuild, oursShow, qtShow;
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
        {
            Host host(shape);
            QElapsedTimer t;
            t.start();
            QWidget* form = loadUi(&host.widget);
            qtBuild.push_back(msSince(t));
            host.widget.show();
            QApplication::processEvents();
            qtShow.push_back(msSince(t));
            if (!form)
                std::printf("pageload: QUiLoader failed: %s\n", qPrintable(loader.errorString()));
        }
    }

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

    const int n = shape.controls();
    std::printf("pageload: %d controls (%d labels and buttons) against QUiLoader, median of %d\n", n,
                shape.leafCount(), rounds);
    printRow("build", median(oursBuild), median(qtBuild), "ms", same, "<= 1.0");
    printRow("build + first show", median(oursShow), median(qtShow), "ms", same, "<= 0.8");
    printRow("heap per control before show", double(oursMem.built) / n, double(qtMem.built) / n, "B", same,
             "<= 1.1");
    printRow("heap per control shown (no store)", double(oursMem.shown) / n, double(qtMem.shown) / n, "B", same,
             "-");
    std::printf("  of which the JSON read + parse + free of the page file: %.2f ms\n", median(parse));
}

// Each side switches in blocks, alternating with the other side, so that a busy
// machine slows both alike; per-switch times are medians over all blocks.
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
    const int blocks = 4, switches = 8;
    const QString sheetA = styleSheet(lookA), sheetB = styleSheet(lookB);
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    std::vector<double> ours, qt;
    Tree oursTree, qtTree;
    for (int b = 0; b < blocks; ++b) {
        {
            Host host(shape);
            rm->registerWindow(&host.widget);
            vyrLoadThemeDir(themeA.constData());
            QWidget* page = buildOurs(&host.widget, pageFile);
            host.widget.show();
            QApplication::processEvents();
            for (int i = 0; i < switches; ++i) {
                QElapsedTimer t;
                t.start();
                vyrLoadThemeDir(i % 2 ? themeA.constData() : themeB.constData());
                QApplication::processEvents();
                ours.push_back(msSince(t));
            }
            oursTree = treeOf(page);
            rm->unregisterWindow(&host.widget);
        }
        {
            Host host(shape);
            QWidget* root = qtPage(shape, &host.widget);
            qApp->setStyleSheet(sheetA);
            host.widget.show();
            QApplication::processEvents();
            for (int i = 0; i < switches; ++i) {
                QElapsedTimer t;
                t.start();
                qApp->setStyleSheet(i % 2 ? sheetA : sheetB);
                QApplication::processEvents();
                qt.push_back(msSince(t));
            }
            qtTree = treeOf(root);
        }
        qApp->setStyleSheet(QString());
    }
    const bool same = oursTree == qtTree;
    if (!same)
        std::printf("theme: the trees differ: ours %d widgets / %lld px, Qt %d widgets / %lld px\n",
                    oursTree.widgets, oursTree.area, qtTree.widgets, qtTree.area);
    std::printf("theme: %d shown labels and buttons, median of %d switches (switch + repaint) against setStyleSheet\n",
                shape.leafCount(), blocks * switches);
    printRow("theme switch", median(ours), median(qt), "ms", same, "<= 0.2");
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
        printRow(name.constData(), ours.us, qt.us, "us", same, "<= 1.1");
    }
    std::printf("  %-34s ours %9.2f us  (no Qt anchor)\n", "scroll step over 1,000 children", scrollStep(1000));
}

// Both pages stay alive; the Qt page carries the style sheet on its own root, so the
// library's labels (QLabels too) are not restyled. Renders alternate between the two.
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
    Host oursHost(shape), qtHost(shape);
    rm->registerWindow(&oursHost.widget);
    vyrLoadThemeDir(theme.constData());
    QWidget* oursRoot = buildOurs(&oursHost.widget, pageFile);
    QWidget* qtRoot = qtPage(shape, &qtHost.widget);
    qtRoot->setStyleSheet(styleSheet(lookA));
    oursHost.widget.show();
    qtHost.widget.show();
    QApplication::processEvents();
    const bool same = oursRoot && sameTree("paint", oursRoot, qtRoot);

    const int frames = 80;
    QImage image(shape.width, shape.height, QImage::Format_ARGB32_Premultiplied);
    auto frame = [&image](QWidget& w) {
        QElapsedTimer t;
        t.start();
        w.render(&image);
        return msSince(t);
    };
    for (int i = 0; i < 5; ++i) {
        frame(oursHost.widget);
        frame(qtHost.widget);
    }
    std::vector<double> ours, qt;
    for (int i = 0; i < frames; ++i) {
        ours.push_back(frame(oursHost.widget));
        qt.push_back(frame(qtHost.widget));
    }
    rm->unregisterWindow(&oursHost.widget);
    std::printf("paint: %dx%d page, %d labels and buttons, median of %d renders into a QImage against style-sheet "
                "widgets\n",
                shape.width, shape.height, shape.leafCount(), frames);
    printRow("paint 1280x800", median(ours), median(qt), "ms", same, "<= 0.7");
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
        which = QStringList{QStringLiteral("pageload"), QStringLiteral("layout"), QStringLiteral("paint"),
                            QStringLiteral("theme")};
    for (const QString& name : which) {
        if (name == QLatin1String("pageload"))
            benchPageLoad(dir.path());
        else if (name == QLatin1String("theme"))
            benchTheme(dir.path());
        else if (name == QLatin1String("layout"))
            benchLayout();
        else if (name == QLatin1String("paint"))
            benchPaint(dir.path());
        else
            std::printf("unknown benchmark: %s\n", qPrintable(name));
        std::fflush(stdout);
    }
    return 0;
}
