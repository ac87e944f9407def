#include "VYRQSharedStyle.h"
#include "VYRQStateStyles.h"

#include <QtTest>

#include <functional>
#include <utility>
#include <vector>

namespace {

template <class Style>
using Change = std::pair<const char*, std::function<void(Style&)>>;

FillStyle namedFill(const QString& name, const QColor& color)
{
    FillStyle style;
    style.name = name;
    style.fill.color = color;
    return style;
}

} // namespace

class tst_SharedStyle : public QObject {
    Q_OBJECT

private slots:
    // Controls share a record only when it is the same in every field: a field the
    // comparison skipped would give one control another's look or name.
    void sameStyleSeesEveryField()
    {
        const std::vector<Change<FillStyle>> fills = {
            {"kind", [](FillStyle& s) { s.kind = 2; }},
            {"name", [](FillStyle& s) { s.name = QStringLiteral("x"); }},
            {"draw", [](FillStyle& s) { s.draw = !s.draw; }},
            {"colorMode", [](FillStyle& s) { s.colorMode = !s.colorMode; }},
            {"thirdFlag", [](FillStyle& s) { s.thirdFlag = !s.thirdFlag; }},
            {"image", [](FillStyle& s) { s.image = QStringLiteral("a.png"); }},
            {"fill.resId", [](FillStyle& s) { s.fill.resId = 3; }},
            {"fill.resText", [](FillStyle& s) { s.fill.resText = QStringLiteral("r"); }},
            {"fill.color", [](FillStyle& s) { s.fill.color = Qt::red; }},
            {"fill.color2", [](FillStyle& s) { s.fill.color2 = Qt::red; }},
            {"fill.borderColor", [](FillStyle& s) { s.fill.borderColor = Qt::red; }},
            {"fill.gradient", [](FillStyle& s) { s.fill.gradient = !s.fill.gradient; }},
            {"fill.round", [](FillStyle& s) { s.fill.round = 4; }},
            {"fill.borderSize", [](FillStyle& s) { s.fill.borderSize = 2; }},
            {"fill.spare", [](FillStyle& s) { s.fill.spare = 1; }},
            {"fill.border", [](FillStyle& s) { s.fill.border = !s.fill.border; }},
            {"fill.leftBorder", [](FillStyle& s) { s.fill.leftBorder = !s.fill.leftBorder; }},
            {"fill.topBorder", [](FillStyle& s) { s.fill.topBorder = !s.fill.topBorder; }},
            {"fill.rightBorder", [](FillStyle& s) { s.fill.rightBorder = !s.fill.rightBorder; }},
            {"fill.bottomBorder", [](FillStyle& s) { s.fill.bottomBorder = !s.fill.bottomBorder; }},
            {"fill.roundTopLeft", [](FillStyle& s) { s.fill.roundTopLeft = !s.fill.roundTopLeft; }},
            {"fill.roundTopRight", [](FillStyle& s) { s.fill.roundTopRight = !s.fill.roundTopRight; }},
            {"fill.roundBottomRight", [](FillStyle& s) { s.fill.roundBottomRight = !s.fill.roundBottomRight; }},
            {"fill.roundBottomLeft", [](FillStyle& s) { s.fill.roundBottomLeft = !s.fill.roundBottomLeft; }},
            {"imageDesc.left", [](FillStyle& s) { s.imageDesc.left = 1; }},
            {"imageDesc.right", [](FillStyle& s) { s.imageDesc.right = 1; }},
            {"imageDesc.top", [](FillStyle& s) { s.imageDesc.top = 1; }},
            {"imageDesc.bottom", [](FillStyle& s) { s.imageDesc.bottom = 1; }},
            {"imageDesc.repeatLeft", [](FillStyle& s) { s.imageDesc.repeatLeft = true; }},
            {"imageDesc.repeatRight", [](FillStyle& s) { s.imageDesc.repeatRight = true; }},
            {"imageDesc.repeatTop", [](FillStyle& s) { s.imageDesc.repeatTop = true; }},
            {"imageDesc.repeatBottom", [](FillStyle& s) { s.imageDesc.repeatBottom = true; }},
            {"imageDesc.repeatCenter", [](FillStyle& s) { s.imageDesc.repeatCenter = true; }},
        };
        for (const auto& [field, change] : fills) {
            FillStyle changed;
            change(changed);
            QVERIFY2(!vyr::sameStyle(FillStyle(), changed), field);
        }
        const std::vector<Change<TextStyleDesc>> texts = {
            {"kind", [](TextStyleDesc& s) { s.kind = 0; }},
            {"name", [](TextStyleDesc& s) { s.name = QStringLiteral("x"); }},
            {"bold", [](TextStyleDesc& s) { s.bold = !s.bold; }},
            {"italic", [](TextStyleDesc& s) { s.italic = !s.italic; }},
            {"spare1", [](TextStyleDesc& s) { s.spare1 = !s.spare1; }},
            {"size", [](TextStyleDesc& s) { s.size = 30; }},
            {"underline", [](TextStyleDesc& s) { s.underline = !s.underline; }},
            {"spare2", [](TextStyleDesc& s) { s.spare2 = !s.spare2; }},
            {"family", [](TextStyleDesc& s) { s.family = QStringLiteral("Sans"); }},
            {"color", [](TextStyleDesc& s) { s.color = Qt::red; }},
            {"x", [](TextStyleDesc& s) { s.x = 2; }},
            {"y", [](TextStyleDesc& s) { s.y = 2; }},
            {"isHor", [](TextStyleDesc& s) { s.isHor = !s.isHor; }},
            {"singleLine", [](TextStyleDesc& s) { s.singleLine = !s.singleLine; }},
            {"hor", [](TextStyleDesc& s) { s.hor = 2; }},
            {"ver", [](TextStyleDesc& s) { s.ver = 2; }},
            {"elideMode", [](TextStyleDesc& s) { s.elideMode = 3; }},
        };
        for (const auto& [field, change] : texts) {
            TextStyleDesc changed;
            change(changed);
            QVERIFY2(!vyr::sameStyle(TextStyleDesc(), changed), field);
        }
        QVERIFY(vyr::sameStyle(FillStyle(), FillStyle()));
        QVERIFY(vyr::sameStyle(TextStyleDesc(), TextStyleDesc()));
    }

    // Holders that share a record each write their own copy: the other keeps its look,
    // whichever way the write comes (set, at, raw, a read entry, an assignment).
    void writesCopyOnlyTheWriter()
    {
        const FillStyle red = namedFill("R", Qt::red), blue = namedFill("B", Qt::blue);
        using Write = std::function<void(vyr::FillStates&)>;
        const std::vector<std::pair<const char*, Write>> writes = {
            {"set", [&](vyr::FillStates& s) { s.set(Hot, blue); }},
            {"set all", [&](vyr::FillStates& s) { s.set(AllStates, blue); }},
            {"at", [&](vyr::FillStates& s) { s.at(Hot) = blue; }},
            {"raw", [&](vyr::FillStates& s) { s.raw()[1] = blue; }},
            {"read entry", [&](vyr::FillStates& s) { s.readSlot(1, blue); }},
        };
        for (const auto& [how, write] : writes) {
            vyr::FillStates first;
            first.set(AllStates, red);
            vyr::FillStates second = first;
            QVERIFY2(second.sharesWith(first), how);
            write(second);
            QVERIFY2(!second.sharesWith(first), how);
            QVERIFY2(second.get(Hot).name == "B", how);
            for (int s = 0; s < CtrlStateCount; ++s)
                QVERIFY2(first.get(s).name == "R", how);
        }

        vyr::SharedStyle<TextStyleDesc> a, b;
        QVERIFY(a.sharesWith(b));   // both on the defaults
        b.edit().color = Qt::green;
        QCOMPARE(a->color, TextStyleDesc().color);
        QCOMPARE(b->color, QColor(Qt::green));
        vyr::SharedStyle<TextStyleDesc> c = b;
        c = TextStyleDesc();
        QCOMPARE(b->color, QColor(Qt::green));
    }

    // Arrays built apart end up on one record once equal; a record that differs in a
    // name only stays apart, and a holder that writes after sharing leaves the shared
    // record as the others see it.
    void shareFindsEqualRecords()
    {
        auto build = [](const QString& hotName) {
            vyr::FillStates states;
            states.readSlot(0, namedFill("N", Qt::gray));
            states.readSlot(1, namedFill(hotName, Qt::white));
            states.share();
            return states;
        };
        vyr::FillStates one = build("H"), two = build("H"), other = build("H2");
        QVERIFY(one.sharesWith(two));
        QVERIFY(!one.sharesWith(other));
        two.set(Pressed, namedFill("P", Qt::black));
        QCOMPARE(one.get(Pressed).name, QStringLiteral("N"));
        vyr::FillStates three = build("H");
        QVERIFY(three.sharesWith(one));
        QCOMPARE(three.get(Pressed).name, QStringLiteral("N"));
    }
};

QTEST_GUILESS_MAIN(tst_SharedStyle)
#include "tst_sharedstyle.moc"
