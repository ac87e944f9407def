// Parsing the page file of the page-load benchmark (about 2,000 controls) three ways:
//   ours     vyr::json::parse, the entry point every file of the library goes through;
//   jsoncpp  jsoncpp's own reader with the same settings (what ours falls back to);
//   Qt       QJsonDocument::fromJson.
// Each side parses the same bytes; the value counts of the trees must agree (and ours
// must equal jsoncpp's tree) before a ratio is printed. Times are the parse alone;
// the tree is freed outside the timer. A deep copy of the finished tree is timed too:
// it makes the same allocations any reader that builds a Json::Value must make, so
// it bounds how fast ours can get. Build it as a release build.
// Usage: bench_json [rounds]

#include "BenchPageJson.h"
#include "BenchRow.h"
#include "VYRQJson.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <json/value.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using benchrow::median;

long countValues(const Json::Value& v)
{
    long n = 1;
    if (v.isArray() || v.isObject()) {
        for (const Json::Value& child : v)
            n += countValues(child);
    }
    return n;
}

long countValues(const QJsonValue& v)
{
    long n = 1;
    if (v.isArray()) {
        for (const QJsonValue& child : v.toArray())
            n += countValues(child);
    } else if (v.isObject()) {
        const QJsonObject obj = v.toObject();
        for (auto it = obj.begin(); it != obj.end(); ++it)
            n += countValues(it.value());
    }
    return n;
}

bool jsoncppParse(const QByteArray& text, Json::Value& root)
{
    return vyr::json::parseFull(text.constData(), text.constData() + text.size(), root);
}

// Milliseconds of one parse(text, tree); the tree is made before and freed after the
// timer.
template <typename Tree, typename Parse>
double timeParse(const QByteArray& text, Parse parse)
{
    auto tree = std::make_unique<Tree>();
    QElapsedTimer t;
    t.start();
    const bool ok = parse(text, *tree);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (!ok) {
        std::fprintf(stderr, "a parse failed\n");
        std::exit(1);
    }
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 101;
    const QByteArray text = benchpage::pageJson(benchpage::pageShape);

    Json::Value ours;
    Json::Value theirs;
    if (!vyr::json::parse(text, ours) || !jsoncppParse(text, theirs)) {
        std::fprintf(stderr, "the page does not parse\n");
        return 1;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(text);
    const long oursCount = countValues(ours);
    const long jsoncppCount = countValues(theirs);
    const long qtCount = countValues(QJsonValue(doc.object()));
    const bool sameAsJsoncpp = oursCount == jsoncppCount && ours == theirs;
    const bool sameAsQt = oursCount == qtCount;

    // The sides take turns within each round, and the one that starts moves on every
    // round, so that a slow spell of the machine falls on all of them alike.
    std::vector<double> times[4];
    for (int i = 0; i < rounds; ++i) {
        for (int k = 0; k < 4; ++k) {
            const int side = (i + k) % 4;
            double ms = 0;
            if (side == 0)
                ms = timeParse<Json::Value>(text, [](const QByteArray& t, Json::Value& root) {
                    return vyr::json::parse(t, root);
                });
            else if (side == 1)
                ms = timeParse<Json::Value>(text, jsoncppParse);
            else if (side == 2)
                ms = timeParse<QJsonDocument>(text, [](const QByteArray& t, QJsonDocument& d) {
                    QJsonParseError error;
                    d = QJsonDocument::fromJson(t, &error);
                    return error.error == QJsonParseError::NoError;
                });
            else
                ms = timeParse<Json::Value>(text, [&ours](const QByteArray&, Json::Value& root) {
                    root = ours;
                    return true;
                });
            times[side].push_back(ms);
        }
    }
    const double oursMs = median(times[0]);
    const double jsoncppMs = median(times[1]);
    const double qtMs = median(times[2]);
    const double copyMs = median(times[3]);

    std::printf("json: page of %d controls, %d bytes, %ld values; median of %d rounds, sides interleaved\n",
                benchpage::pageShape.controls(), int(text.size()), oursCount, rounds);
    std::printf("  same tree as jsoncpp: %s; same value count as Qt: %s\n", sameAsJsoncpp ? "yes" : "no",
                sameAsQt ? "yes" : "no");
    // The "Qt" side of a row is its yardstick: jsoncpp's reader, then QJsonDocument.
    benchrow::print("page parse vs jsoncpp's reader", oursMs, jsoncppMs, "ms", sameAsJsoncpp, "(target <= 0.33)");
    benchrow::print("page parse vs QJsonDocument", oursMs, qtMs, "ms", sameAsQt);
    std::printf("  (%.1f MB/s ours, %.1f MB/s jsoncpp, %.1f MB/s QJsonDocument)\n", text.size() / oursMs / 1e3,
                text.size() / jsoncppMs / 1e3, text.size() / qtMs / 1e3);
    char note[96];
    std::snprintf(note, sizeof note, "(jsoncpp / copy %.2f x: the most any Json::Value reader can gain)",
                  jsoncppMs / copyMs);
    benchrow::printOurs("copy of the tree", copyMs, "ms", note);
    return sameAsJsoncpp && sameAsQt ? 0 : 1;
}
