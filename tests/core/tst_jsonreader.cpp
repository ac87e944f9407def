#include "VYRQJson.h"
#include "VYRQJsonReader.h"
#include "VYRQJsonWriter_p.h"
#include "jsontreediff.h"

#include <QDirIterator>
#include <QFile>
#include <QtTest>

#include <memory>

namespace {

enum Expect {
    Accepted,   // the fast reader builds the tree
    Declined,   // left to the full reader, which accepts it
    Malformed   // left to the full reader, which rejects it
};

bool fast(const QByteArray& text, Json::Value& root)
{
    VYRQJsonReader reader;
    return reader.parse(text.constData(), text.constData() + text.size(), root) == VYRQJsonReader::Result::Parsed;
}

bool full(const QByteArray& text, Json::Value& root)
{
    return vyr::json::parseFull(text.constData(), text.constData() + text.size(), root);
}

QByteArray nested(int depth, const QByteArray& open, const QByteArray& close)
{
    return open.repeated(depth) + "1" + close.repeated(depth);
}

// A page of `levels` element levels whose deepest element holds keys of its own.
QByteArray nestedPage(int levels)
{
    QByteArray element = R"({"type": "qtlabel", "attr": {"text": "deepest", "items": [{"k": [1]}]},
                             "style": [["S", 2, 0]]})";
    for (int level = 1; level < levels; ++level)
        element = R"({"type": "qtcontainer", "child": [)" + element + "]}";
    return R"({"w": 100, "elements": [)" + element + "]}";
}

} // namespace

class tst_JsonReader : public QObject {
    Q_OBJECT

private slots:
    void differential_data();
    void differential();
    void realFiles_data();
    void realFiles();
    void sharedKeysSurviveEdits_data();
    void sharedKeysSurviveEdits();
};

void tst_JsonReader::differential_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("expect");

    auto row = [](const char* name, const QByteArray& text, Expect expect) {
        QTest::newRow(name) << text << int(expect);
    };

    // Structure and whitespace
    row("page", R"({"elements": [{"type": "qtcontainer", "name": "root", "x": 0, "y": 0, "w": 1280, "h": 800,
        "attr": {"childLayout": 1}, "child": [{"type": "qtlabel", "name": "l0", "layout": {"type": 0, "ratio": 1},
        "style": [["BenchText", 2, 0]], "attr": {"text": "Label 0"}}]}]})", Accepted);
    row("all whitespace", " \t\r\n{ \t\"a\" \r\n:\n[ 1 ,\t2 ] , \"b\":{ } }\r\n ", Accepted);
    row("empty containers", R"([{}, [], [[]], {"a": {}}])", Accepted);
    row("scalar root", "  \"text\"  ", Accepted);
    row("literals", "[true, false, null]", Accepted);
    row("duplicate keys, last wins", R"({"a": {"x": 1}, "b": 2, "a": [3], "b": {"y": 4}})", Accepted);
    row("duplicate key replacing a container", R"({"a": [1, 2, 3], "a": "s"})", Accepted);
    row("keys sort, not in text order", R"({"z": 1, "a": 2, "m": 3, "": 4})", Accepted);

    // Strings
    row("simple escapes", R"(["\"", "\\", "\/", "\b\f\n\r\t", "a\nb\tc"])", Accepted);
    row("escaped key", R"({"a\"b": 1, "a\u0041": 2, "aA": 3})", Accepted);
    row("unicode escapes", R"(["\u0041", "\u00e9\u00E9", "\u07ff\u0800", "\uffff", "\u4e2d\u6587"])", Accepted);
    row("surrogate pair", R"(["\ud83d\ude00", "x\uD83D\uDE00y"])", Accepted);
    row("escaped nul", R"(["a\u0000b", {"k\u0000": 1}])", Accepted);
    row("raw control and invalid utf-8", QByteArray("[\"a\x01\x1f\xff\xfe b\", {\"\x80k\": 1}]"), Accepted);
    static const char withNul[] = "[\"a\0b\", {\"k\0\": 2}]";
    row("raw nul byte", QByteArray(withNul, int(sizeof withNul) - 1), Accepted);
    row("lone high surrogate then other escape", R"("\ud83d\u0041")", Declined);
    row("lone low surrogate", R"("\ude00")", Declined);
    row("high surrogate at end", R"("\ud83d")", Malformed);
    row("bad escape", R"("\x")", Malformed);
    row("bad hex", R"("\u12g4")", Malformed);
    row("short unicode escape", R"("\u12")", Malformed);
    row("unterminated string", R"({"a": "abc)", Malformed);
    row("backslash at end", "\"abc\\", Malformed);
    row("unterminated key", R"({"ab)", Malformed);

    // Numbers
    row("integers", "[0, -0, 1, -1, 2147483647, 2147483648, -2147483649, 1234567890123]", Accepted);
    row("int64 edges", "[9223372036854775807, -9223372036854775808]", Accepted);
    row("beyond int64", "9223372036854775808", Declined);
    row("below int64", "-9223372036854775809", Declined);
    row("uint64 max", "18446744073709551615", Declined);
    row("very long integer", "123456789012345678901234567890", Declined);
    row("decimals", "[1.5, -0.25, 0.1, 3.14159265358979, -0.0, 0.0, 100.000]", Accepted);
    row("exponents", "[1e5, 1E5, 1e+5, 1e-5, 2.5E-3, -6.02e23, 1e0, 0e0, 1e05]", Accepted);
    row("long mantissa", "[0.30000000000000004441, 123456789012345678901234567890.5]", Accepted);
    row("largest double", "1.7976931348623157e308", Accepted);
    row("smallest normal", "2.2250738585072014e-308", Accepted);
    row("overflowing double", "1e400", Malformed);
    row("underflow to zero", "1e-400", Declined);
    row("subnormal", "4.9e-324", Declined);
    row("leading zero", "[01]", Declined);
    row("trailing dot", "1.", Declined);
    row("leading dot", ".5", Malformed);
    row("lone minus", "-", Declined);
    row("leading plus", "+1", Declined);
    row("empty exponent", "1e", Malformed);
    row("number then letters", "[12abc]", Malformed);
    row("two dots", "[1.2.3]", Malformed);

    // Left to the full reader by design
    row("line comment", "// c\n{\"a\": 1}", Declined);
    row("block comment", "{\"a\": /* c */ 1}", Declined);
    row("trailing comma in array", "[1, 2,]", Declined);
    row("trailing comma in object", R"({"a": 1,})", Declined);
    row("byte order mark", "\xef\xbb\xbf{\"a\": 1}", Declined);
    row("text after root", R"({"a": 1} x)", Declined);
    row("nesting at the margin", nested(VYRQJsonReader::maxDepth, "[", "]"), Accepted);
    row("objects at the margin", nested(VYRQJsonReader::maxDepth, "{\"k\":", "}"), Accepted);
    row("nesting past the margin", nested(VYRQJsonReader::maxDepth + 1, "[", "]"), Declined);
    row("objects past the margin", nested(VYRQJsonReader::maxDepth + 1, "{\"k\":", "}"), Declined);
    row("page nested to the element limit", nestedPage(128), Accepted);

    // Malformed: every one must still fail
    row("empty", "", Malformed);
    row("only whitespace", " \n\t ", Malformed);
    row("unclosed object", R"({"a": 1)", Malformed);
    row("unclosed array", "[1, 2", Malformed);
    row("missing colon", R"({"a" 1})", Malformed);
    row("missing comma", "[1 2]", Malformed);
    row("missing value", R"({"a": })", Malformed);
    row("bare key", "{a: 1}", Malformed);
    row("single quotes", "['a']", Malformed);
    row("truncated literal", "[tru]", Malformed);
    row("literal at end", "nul", Malformed);
    row("wrong closer", "[1}", Malformed);
    row("leading comma", "[,1]", Malformed);
    row("double comma", "[1,,2]", Malformed);
    row("vertical tab is no space", "[1,\v2]", Malformed);
    row("far too deep", QByteArray(100000, '['), Malformed);
}

void tst_JsonReader::differential()
{
    QFETCH(QByteArray, text);
    QFETCH(int, expect);

    // A declined text leaves the caller's value as it was.
    Json::Value fastRoot("sentinel");
    const bool fastOk = fast(text, fastRoot);
    Json::Value fullRoot;
    const bool fullOk = full(text, fullRoot);

    if (fastOk) {
        QVERIFY2(fullOk, "the fast reader accepts a text the full reader rejects");
        const std::string diff = vyrtest::jsonTreeDifference(fastRoot, fullRoot);
        QVERIFY2(diff.empty(), diff.c_str());
    } else {
        QVERIFY(fastRoot.isString() && fastRoot.asString() == "sentinel");
    }
    QCOMPARE(fastOk, expect == Accepted);
    QCOMPARE(fullOk, expect != Malformed);

    // The entry point everything goes through decides like the full reader.
    Json::Value parsed;
    QCOMPARE(vyr::json::parse(text, parsed), fullOk);
    if (fullOk) {
        const std::string diff = vyrtest::jsonTreeDifference(parsed, fullRoot);
        QVERIFY2(diff.empty(), diff.c_str());
    }

    // Written as a save writes it, every value the readers give reads back the same.
    if (!fullOk)
        return;
    for (const auto layout : { VYRQJsonWriter::Layout::Styled, VYRQJsonWriter::Layout::Compact }) {
        std::string written;
        QVERIFY(VYRQJsonWriter(layout, std::string::npos).write(parsed, written));
        Json::Value again;
        QVERIFY(vyr::json::parse(written.data(), written.data() + written.size(), again));
        const std::string back = vyrtest::jsonTreeDifference(again, parsed, "$", false);
        QVERIFY2(back.empty(), back.c_str());
    }
}

void tst_JsonReader::realFiles_data()
{
    QTest::addColumn<QString>("path");
    const QString data = QStringLiteral(VYR_TEST_DATA);
    int files = 0;
    for (const QString& root : {data, data + QStringLiteral("/../../app/refinery-theme")}) {
        QDirIterator it(root, {QStringLiteral("*.json")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            // The fuzz corpora hold deliberately odd texts.
            if (path.contains(QLatin1String("/fuzz/")))
                continue;
            QTest::newRow(qPrintable(QDir(root).relativeFilePath(path))) << path;
            ++files;
        }
    }
    QVERIFY(files >= 20);
}

void tst_JsonReader::realFiles()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    // Pages are read up to their first NUL, as the page loader does.
    const int nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);

    Json::Value fullRoot;
    QVERIFY(full(text, fullRoot));
    Json::Value fastRoot;
    if (fast(text, fastRoot)) {
        const std::string diff = vyrtest::jsonTreeDifference(fastRoot, fullRoot);
        QVERIFY2(diff.empty(), diff.c_str());
    } else {
        // A few test files carry comments, which only the full reader takes.
        QVERIFY2(text.contains("//") || text.contains("/*"), "the fast reader declines a stored file");
        Json::Value parsed;
        QVERIFY(vyr::json::parse(text, parsed));
        const std::string diff = vyrtest::jsonTreeDifference(parsed, fullRoot);
        QVERIFY2(diff.empty(), diff.c_str());
    }
}

void tst_JsonReader::sharedKeysSurviveEdits_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("element") << QByteArray(R"({"type": "qtbutton", "name": "b1", "x": 4, "y": 5, "w": 60, "h": 20,
        "layout": {"type": 0, "ratio": 1}, "widthPolicy": 0, "heightPolicy": 0, "style": [["S", 1, 0]],
        "attr": {"text": "Go", "hasIcon": true}, "child": []})");
    // Keys that only look like table keys, and table keys spelt with escapes.
    QTest::newRow("near misses") << QByteArray(R"({"typ": 1, "types": 2, "Type": 3, "t\u0079pe": 4, "name\u0000": 5,
        "nam\u0065": {"\u0078": 6, "x ": 7}, "": 8, "attr": {"elements": [{"x": 1}]}})");
    QTest::newRow("duplicates") << QByteArray(R"({"name": "a", "type": 1, "name": "b", "type": {"w": 1, "w": 2}})");
}

// Members under the reader's shared keys behave as the full reader's copied ones
// through what callers do with a page tree: copies, removals, overwrites, writing.
void tst_JsonReader::sharedKeysSurviveEdits()
{
    QFETCH(QByteArray, text);
    // Same tree, same operator==, same written text.
    auto same = [](const Json::Value& a, const Json::Value& b) {
        const std::string diff = vyrtest::jsonTreeDifference(a, b);
        if (!diff.empty() || (a == b && vyr::json::styledText(a) == vyr::json::styledText(b)))
            return diff;
        return std::string("equal trees that compare or write differently");
    };
#define SAME(a, b) do { const std::string d = same(a, b); QVERIFY2(d.empty(), d.c_str()); } while (false)

    Json::Value fullRoot;
    QVERIFY(full(text, fullRoot));
    auto fastRoot = std::make_unique<Json::Value>();
    QVERIFY(fast(text, *fastRoot));
    SAME(*fastRoot, fullRoot);
    // The copy outlives the tree it came from.
    Json::Value copy(*fastRoot);
    fastRoot.reset();
    SAME(copy, fullRoot);

    Json::Value removedFast;
    Json::Value removedFull;
    QCOMPARE(copy.removeMember("name", &removedFast), fullRoot.removeMember("name", &removedFull));
    SAME(removedFast, removedFull);
    copy.removeMember("type");
    fullRoot.removeMember("type");
    SAME(copy, fullRoot);

    for (Json::Value* root : {&copy, &fullRoot}) {
        (*root)["x"] = "moved";
        (*root)[Json::StaticString("w")] = 9;
        (*root)["type"] = "retyped";
        if (Json::Value* attr = vyr::json::member(*root, "attr"))
            (*attr)["text"] = 1.5;
    }
    SAME(copy, fullRoot);
#undef SAME
}

QTEST_GUILESS_MAIN(tst_JsonReader)
#include "tst_jsonreader.moc"
