#pragma once

// The page file the load benchmarks read: rows of cells of leaves, a leaf alternating
// label and button, every element with its layout, size policies, styles and text.

#include <QByteArray>
#include <QByteArrayList>

#include <algorithm>

namespace benchpage {

// Rows of cells of leaves; a leaf alternates label and button.
struct Shape {
    int rows;
    int cells;      // per row; 0 puts the leaves straight into the rows
    int leaves;     // per cell (or per row)
    int width;
    int height;
    int controls() const { return 1 + rows + rows * cells + rows * std::max(cells, 1) * leaves; }
    int leafCount() const { return rows * std::max(cells, 1) * leaves; }
};

inline constexpr Shape pageShape{40, 5, 9, 1280, 800};     // 2,041 controls
// The same page with a tenth and ten times the rows, each row as high as above.
inline constexpr Shape smallPageShape{4, 5, 9, 1280, 80};   // 205 controls
inline constexpr Shape largePageShape{400, 5, 9, 1280, 8000}; // 20,401 controls

inline QByteArray leafJson(int index)
{
    if (index % 2 == 0)
        return QByteArray(R"({"type": "qtlabel", "name": "l)") + QByteArray::number(index)
            + R"(", "layout": {"type": 0, "ratio": 1}, "widthPolicy": 0, "heightPolicy": 0, "style": [["BenchText", 2, 0]], "attr": {"text": "Label )"
            + QByteArray::number(index) + R"("}})";
    return QByteArray(R"({"type": "qtbutton", "name": "b)") + QByteArray::number(index)
        + R"(", "layout": {"type": 0, "ratio": 1}, "widthPolicy": 0, "heightPolicy": 0, "style": [["BenchButton", 1, 0], ["BenchButtonHot", 1, 1], )"
          R"(["BenchButtonText", 2, 4]], "attr": {"text": "Button )"
        + QByteArray::number(index) + R"("}})";
}

inline QByteArray containerJson(const QByteArray& name, int childLayout, const QByteArrayList& children)
{
    return R"({"type": "qtcontainer", "name": ")" + name + R"(", "layout": {"type": 0, "ratio": 1}, "widthPolicy": 0, )"
           R"("heightPolicy": 0, "attr": {"childLayout": )"
        + QByteArray::number(childLayout) + R"(}, "child": [)" + children.join(",\n") + "]}";
}

inline QByteArray pageJson(const Shape& shape)
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

} // namespace benchpage
