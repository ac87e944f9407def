// Labels and buttons in nested containers against the same plain Qt widgets:
//   pageload  a page of about 2,000 controls read from one JSON page file through
//             vyrCreatePageByFileName, against QUiLoader building the equivalent .ui
//             form; build time, build + first show, and memory per control;
//   theme     1,000 shown labels and buttons switched between two theme folders
//             through the resource manager, against QApplication::setStyleSheet;
//   paint     rendering a 1280x800 page of those controls into a QImage, against the
//             style-sheet-styled Qt widgets.
// Usage: bench_controls [pageload|theme|paint]...   (all three when none is named)
// Runs offscreen unless QT_QPA_PLATFORM says otherwise; build it as a release build.

#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"

#include <QApplication>
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
#include <unistd.h>
#include <vector>

namespace {

// Rows of cells of leaves; a leaf alternates label and button. `vertical` says how
// the root stacks its rows (the rows lay their cells out across).
struct Shape {
    int rows;
    int cells;      // per row; 0 puts the leaves straight into the rows
    int leaves;     // per cell (or per row)
    int width;
    int height;
    int controls() const { return 1 + rows + rows * cells + rows * std::max(cells, 1) * leaves; }
    int leafCount() const { return rows * std::max(cells, 1) * leaves; }
};

const Shape pageShape{40, 5, 9, 1280, 800};     // 2,041 controls
const Shape themeShape{20, 5, 10, 1280, 800};   // 1,000 labels and buttons
const Shape paintShape{25, 0, 16, 1280, 800};   // 400 labels and buttons, 80 x 32 each

long rssBytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

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

QByteArray leafJson(int index)
{
    if (index % 2 == 0)
        return QByteArray(R"({"type": "qtlabel", "name": "l)") + QByteArray::number(index)
            + R"(", "layout": {"type": 0, "ratio": 1}, "style": [["BenchText", 2, 0]], "attr": {"text": "Label )"
            + QByteArray::number(index) + R"("}})";
    return QByteArray(R"({"type": "qtbutton", "name": "b)") + QByteArray::number(index)
        + R"(", "layout": {"type": 0, "ratio": 1}, "style": [["BenchButton", 1, 0], ["BenchButtonHot", 1, 1], )"
          R"(["BenchButtonText", 2, 4]], "attr": {"text": "Button )"
        + QByteArray::number(index) + R"("}})";
}

QByteArray containerJson(const QByteArray& name, int childLayout, const QByteArrayList& children)
{
    return R"({"type": "qtcontainer", "name": ")" + name + R"(", "layout": {"type": 0, "ratio": 1}, )"
           R"("attr": {"childLayout": )"
        + QByteArray::number(childLayout) + R"(}, "child": [)" + children.join(",\n") + "]}";
}

QByteArray pageJson(const Shape& shape)
{
    int leaf = 0;
    QByteArrayList rows;
    for (int r = 0; r < shape.rows; ++r) {
        QByteArrayList rowChildren;
        if (shape.cells == 0) {
            for (int l = 0; l < shape.leaves; ++l)
                rowChildren << leafJson(leaf++);
        }
        for (int c = 0; c < shape.cells; ++c) {
            QByteArrayList leaves;
            for (int l = 0; l < shape.leaves; ++l)
                leaves << leafJson(leaf++);
            rowChildren << containerJson("c" + QByteArray::number(r) + "_" + QByteArray::number(c), 1, leaves);
        }
        rows << containerJson("r" + QByteArray::number(r), 0, rowChildren);
    }
    return R"({"elements": [{"type": "qtcontainer", "name": "root", "x": 0, "y": 0, "w": )"
        + QByteArray::number(shape.width) + R"(, "h": )" + QByteArray::number(shape.height)
        + R"(, "attr": {"childLayout": 1}, "child": [)" + rows.join(",\n") + "]}]}";
}

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
        return new QPushButton(QStringLiteral("Button %1").arg(index), p);
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

    // Warm-up: first use of every class, font and style.
    {
        Host a(shape), b(shape);
        buildOurs(&a.widget, pageFile);
        loadUi(&b.widget);
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

    // Memory while one page of each is alive and shown: heap in use and resident size
    // grown since before it was built (the resident figure counts only pages the
    // allocator had to take from the system, so freed warm-up memory hides part of it).
    long oursHeap = 0, qtHeap = 0, oursRss = 0, qtRss = 0;
    {
        malloc_trim(0);
        const long heap = heapBytes(), rss = rssBytes();
        Host host(shape);
        buildOurs(&host.widget, pageFile);
        host.widget.show();
        QApplication::processEvents();
        oursHeap = heapBytes() - heap;
        oursRss = rssBytes() - rss;
    }
    {
        malloc_trim(0);
        const long heap = heapBytes(), rss = rssBytes();
        Host host(shape);
        loadUi(&host.widget);
        host.widget.show();
        QApplication::processEvents();
        qtHeap = heapBytes() - heap;
        qtRss = rssBytes() - rss;
    }

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
    const double ob = median(oursBuild), qb = median(qtBuild), os = median(oursShow), qs = median(qtShow);
    std::printf("pageload: %d controls (%d labels and buttons), median of %d\n", n, shape.leafCount(), rounds);
    std::printf("  build               ours %8.2f ms   QUiLoader %8.2f ms   ratio %.2f (target <= 0.50)\n", ob, qb,
                ob / qb);
    std::printf("  build + first show  ours %8.2f ms   QUiLoader %8.2f ms   ratio %.2f\n", os, qs, os / qs);
    std::printf("  of which the JSON   read + parse + free of the page file %.2f ms\n", median(parse));
    std::printf("  memory per control  ours %8.0f B    QUiLoader %8.0f B    (heap in use / %d)\n", double(oursHeap) / n,
                double(qtHeap) / n, n);
    std::printf("                      ours %8.0f B    QUiLoader %8.0f B    (RSS delta / %d)\n", double(oursRss) / n,
                double(qtRss) / n, n);
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
    for (int b = 0; b < blocks; ++b) {
        {
            Host host(shape);
            rm->registerWindow(&host.widget);
            vyrLoadThemeDir(themeA.constData());
            buildOurs(&host.widget, pageFile);
            host.widget.show();
            QApplication::processEvents();
            for (int i = 0; i < switches; ++i) {
                QElapsedTimer t;
                t.start();
                vyrLoadThemeDir(i % 2 ? themeA.constData() : themeB.constData());
                QApplication::processEvents();
                ours.push_back(msSince(t));
            }
            rm->unregisterWindow(&host.widget);
        }
        {
            Host host(shape);
            qtPage(shape, &host.widget);
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
        }
        qApp->setStyleSheet(QString());
    }
    const double o = median(ours), q = median(qt);
    std::printf("theme: %d shown labels and buttons, median of %d switches each (switch + repaint)\n",
                shape.leafCount(), blocks * switches);
    std::printf("  switch              ours %8.2f ms   setStyleSheet %8.2f ms   ratio %.2f (target <= 0.25)\n", o, q,
                o / q);
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
    buildOurs(&oursHost.widget, pageFile);
    QWidget* qtRoot = qtPage(shape, &qtHost.widget);
    qtRoot->setStyleSheet(styleSheet(lookA));
    oursHost.widget.show();
    qtHost.widget.show();
    QApplication::processEvents();

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
    const double o = median(ours), q = median(qt);
    std::printf("paint: %dx%d page, %d labels and buttons, median of %d renders into a QImage\n", shape.width,
                shape.height, shape.leafCount(), frames);
    std::printf("  render              ours %8.2f ms   style-sheet Qt %8.2f ms   ratio %.2f (target <= 1.00)\n", o, q,
                o / q);
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
        which = QStringList{QStringLiteral("pageload"), QStringLiteral("theme"), QStringLiteral("paint")};
    for (const QString& name : which) {
        if (name == QLatin1String("pageload"))
            benchPageLoad(dir.path());
        else if (name == QLatin1String("theme"))
            benchTheme(dir.path());
        else if (name == QLatin1String("paint"))
            benchPaint(dir.path());
        else
            std::printf("unknown benchmark: %s\n", qPrintable(name));
        std::fflush(stdout);
    }
    return 0;
}
