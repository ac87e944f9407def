#include "VYRQDecodedCache.h"
#include "VYRQIconFile_p.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <type_traits>

namespace {

using Kind = VYRQDecodedCache::Kind;

// A hashed key holds its name by reference: one made from a temporary does not compile.
static_assert(!std::is_constructible_v<VYRQDecodedCache::HashedKey, QString>);
static_assert(!std::is_constructible_v<VYRQDecodedCache::HashedKey, const QString>);
static_assert(std::is_constructible_v<VYRQDecodedCache::HashedKey, const QString&>);

// 16 bytes a pixel column: a pixel of ARGB32 is 4 bytes, and each image is 4 rows high.
constexpr qint64 unit = 16;

// Half-transparent, so that drawing it takes a premultiplied copy.
const QColor translucentRed(255, 0, 0, 128);
const QColor translucentBlue(0, 0, 255, 128);

QImage imageOf(int units, QColor colour)
{
    QImage image(units, 4, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QByteArray svgOf(int units)
{
    return QStringLiteral(R"(<svg xmlns="http://www.w3.org/2000/svg" width="%1" height="4">)"
                          R"(<rect width="%1" height="4" fill="red"/></svg>)").arg(8 * units).toUtf8();
}

// The same, turning for ever.
QByteArray animatedSvgOf(int units)
{
    return QStringLiteral(R"(<svg xmlns="http://www.w3.org/2000/svg" width="%1" height="4">)"
                          R"(<rect width="%1" height="4" fill="red"><animateTransform attributeName="transform")"
                          R"( type="rotate" from="0" to="360" dur="0.1s" repeatCount="indefinite"/></rect></svg>)")
        .arg(8 * units)
        .toUtf8();
}

quint64 loadsOf(const QSvgRenderer* renderer)
{
    return VYRQDecodedCache::loadsOf(*renderer);
}

} // namespace

class tst_DecodedCache : public QObject {
    Q_OBJECT

private slots:
    void steps_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("loaded");    // keys loaded at the end, sorted
        QTest::addColumn<QString>("emptied");   // keys whose object stays, emptied
        QTest::addColumn<QString>("reloaded");  // keys the reload names for decoding again
        QTest::addColumn<int>("bound");         // units
        QTest::addColumn<int>("visits");        // entries the trims looked at
        // A step: "+a" stores image a (one unit; "+a3" three), "*a" renderer a, "?a" looks
        // a up, "^a" asks for a's form for drawing (a copy of one unit), "=a" changes image
        // a through its pointer, "@a" stores renderer a of an animated picture, "&" lets
        // events run a fifth of a second, "!a" reloads the file a (each entry comes from the file of
        // its key's first letter), "-" releases. Upper-case keys are a second cache on the
        // same budget; "~" destroys it. A store that finds no room is left out.
        QTest::newRow("least recently used goes first") << "+a +b ?a +c +d" << "a c d" << "b" << "" << 3 << 1;
        QTest::newRow("stored again: used again") << "+a +b +c +a +d" << "a c d" << "b" << "" << 3 << 1;
        QTest::newRow("one as large as the bound empties the rest") << "+a +b +c3" << "c" << "a b" << "" << 3 << 2;
        QTest::newRow("renderers share the bound") << "*a +b *c ?a +d" << "a c d" << "b" << "" << 3 << 1;
        QTest::newRow("two caches share one budget") << "+a +B ?a +C +d" << "C a d" << "B" << "" << 3 << 1;
        QTest::newRow("a cache gone leaves its room") << "+a +B +C ~ +d +e" << "a d e" << "" << "" << 3 << 0;
        QTest::newRow("emptied, decoded again into its object") << "+a +b +c +d ?a +a" << "a c d" << "b" << "" << 3
                                                                 << 2;
        QTest::newRow("a reload empties what came from the file") << "+a +ab *a +b !a" << "b" << "a a ab" << "a ab"
                                                                   << 3 << 1;
        QTest::newRow("a reload leaves what was emptied before") << "+a +b +c +d !a" << "b c d" << "a" << "" << 3 << 1;
        QTest::newRow("release deletes") << "+a *b -" << "" << "" << "" << 3 << 0;
        QTest::newRow("a form for drawing counts with its image") << "+a ^a +b" << "a b" << "" << "" << 3 << 0;
        QTest::newRow("the form goes with its image") << "+a ^a +b +c" << "b c" << "a" << "" << 3 << 1;
        QTest::newRow("asking for the form uses the image") << "+a ^a +b ^a +c" << "a c" << "b" << "" << 3 << 1;
        QTest::newRow("a form made past the bound empties the oldest") << "+a +b +c ^c" << "b c" << "a" << "" << 3
                                                                       << 1;
        QTest::newRow("a form follows its image changed through the pointer") << "+a ^a =a ^a" << "a" << "" << ""
                                                                              << 3 << 0;
        QTest::newRow("changed through the pointer: kept, the next goes") << "+a =a +b +c +d" << "a c d" << "b"
                                                                          << "" << 3 << 2;
        QTest::newRow("changed ones filling the bound: a store is refused") << "+a =a +b =b +c =c +d" << "a b c"
                                                                            << "" << "" << 3 << 3;
        QTest::newRow("an animated picture's frames are no change") << "@a & +b +c +d" << "b c d" << "a" << ""
                                                                     << 3 << 1;
        QTest::newRow("a reload empties a changed one kept") << "+a =a +b +c +d !a" << "c d" << "a b" << "a" << 3
                                                             << 2;
        // Thousands of entries, each used again and drawn (two units): a trim looks at
        // what it empties only.
        QStringList many, loaded, emptied;
        for (int i = 0; i < 3000; ++i) {
            QString key = QStringLiteral("k");
            for (int n = i; key.size() < 4; n /= 26)
                key += QChar('a' + n % 26);
            many << '+' + key << '?' + key << '^' + key;
            (i < 2000 ? emptied : loaded) << key;
        }
        loaded.sort();
        emptied.sort();
        QTest::newRow("3,000 drawn images past room for 1,000") << many.join(' ') << loaded.join(' ') << emptied.join(' ')
                                                            << "" << 2000 << 2000;
    }
    // Eviction and reload empty an object in place, so a pointer handed out stays valid
    // (ASan checks every one kept here) and the object is decoded into again; the budget
    // spans every cache that shares it, in one least-recently-used order.
    void steps()
    {
        QFETCH(QString, steps);
        QFETCH(QString, loaded);
        QFETCH(QString, emptied);
        QFETCH(QString, reloaded);
        QFETCH(int, bound);
        QFETCH(int, visits);
        VYRQDecodedCache::Budget budget(bound * unit);
        VYRQDecodedCache first(&budget);
        auto second = std::make_unique<VYRQDecodedCache>(&budget);
        std::map<QString, QImage*> images;
        std::map<QString, QColor> colours;   // of the images loaded
        std::map<QString, const QImage*> drawn;
        std::map<QString, QSvgRenderer*> renderers;
        std::vector<std::pair<Kind, QString>> named;
        for (const QString& step : steps.split(' ')) {
            const QString key = step.mid(1, 1) + (step.size() > 2 && !step.at(2).isDigit() ? step.mid(2) : QString());
            VYRQDecodedCache& cache = key.at(0).isUpper() ? *second : first;
            const int units = step.size() > 2 && step.at(2).isDigit() ? step.mid(2).toInt() : 1;
            const auto file = VYRQDecodedCache::Source::setFile(key.left(1).toStdString());
            switch (step.at(0).toLatin1()) {
            case '+': {
                QImage* image = cache.storeImage(key, imageOf(units, translucentRed), file);
                if (!image)
                    break;
                QVERIFY(images.emplace(key, image).first->second == image);   // the same object
                colours[key] = translucentRed;
                break;
            }
            case '=':
                images.at(key)->fill(translucentBlue);
                colours[key] = translucentBlue;
                break;
            case '^': {
                const QImage* form = cache.imageToDraw(key);
                QVERIFY(form && form != images[key]);
                QVERIFY(drawn.emplace(key, form).first->second == form);
                break;
            }
            case '*': {
                QSvgRenderer* renderer = cache.storeRenderer(key, svgOf(units), units * unit, file);
                QVERIFY(renderers.emplace(key, renderer).first->second == renderer);
                break;
            }
            case '@': {
                QSvgRenderer* renderer = cache.storeRenderer(key, animatedSvgOf(units), units * unit, file);
                QVERIFY(renderer && renderer->animated());
                renderers.emplace(key, renderer);
                break;
            }
            case '&':
                QTest::qWait(200);
                break;
            case '?':
                if (!cache.image(key))
                    cache.renderer(key);
                break;
            case '!':
                named = first.emptyDecodedFrom({ file.file });
                break;
            case '-':
                first.release();
                images.clear();
                drawn.clear();
                renderers.clear();
                break;
            case '~':
                second.reset();
                images.erase(images.lower_bound("A"), images.lower_bound("["));
                drawn.erase(drawn.lower_bound("A"), drawn.lower_bound("["));
                break;
            }
        }
        QStringList loadedKeys, emptiedKeys;
        for (const auto& image : images) {
            const bool isLoaded = first.isLoaded(Kind::Image, image.first)
                || (second && second->isLoaded(Kind::Image, image.first));
            (isLoaded ? loadedKeys : emptiedKeys) << image.first;
            QCOMPARE(image.second->isNull(), !isLoaded);
            // What was handed out keeps its format, whatever is drawn.
            if (isLoaded)
                QCOMPARE(image.second->format(), QImage::Format_ARGB32);
            if (isLoaded)
                QCOMPARE(image.second->pixelColor(0, 0), colours.at(image.first));
            const auto form = drawn.find(image.first);
            if (form == drawn.end())
                continue;
            QCOMPARE(form->second->isNull(), !isLoaded);
            if (isLoaded)
                QCOMPARE(form->second->format(), QImage::Format_ARGB32_Premultiplied);
            if (isLoaded)
                QCOMPARE(form->second->pixelColor(0, 0), colours.at(image.first));
        }
        for (const auto& renderer : renderers) {
            const bool isLoaded = first.isLoaded(Kind::Renderer, renderer.first);
            (isLoaded ? loadedKeys : emptiedKeys) << renderer.first;
            QCOMPARE(renderer.second->defaultSize().width() > 1, isLoaded);   // emptied: draws nothing
            QCOMPARE(renderer.second->isValid(), isLoaded);                   // and holds no document
        }
        loadedKeys.sort();
        emptiedKeys.sort();
        QCOMPARE(loadedKeys.join(' '), loaded);
        QCOMPARE(emptiedKeys.join(' '), emptied);
        QStringList namedKeys;
        for (const auto& entry : named)
            namedKeys << entry.second;
        namedKeys.sort();
        QCOMPARE(namedKeys.join(' '), reloaded);
        const qint64 bytes = first.bytes() + (second ? second->bytes() : 0);
        QCOMPARE(budget.bytes(), bytes);
        QVERIFY(budget.bytes() <= budget.bound());
        QCOMPARE(budget.trimVisits(), qint64(visits));
        QCOMPARE(first.count(Kind::Image) + first.count(Kind::Renderer) + (second ? second->count(Kind::Image) : 0),
                 int(images.size() + renderers.size()));
    }

    // A renderer that takes another document in place says so, so that pictures drawn
    // from its earlier one are not taken for it; one that does not load stays, empty,
    // when it was handed out before, and is not kept when it was not.
    void rendererLoads()
    {
        VYRQDecodedCache cache;
        QSvgRenderer* renderer = cache.storeRenderer("a", svgOf(2), unit);
        QVERIFY(renderer);
        const quint64 loads = loadsOf(renderer);
        QCOMPARE(cache.storeRenderer("a", svgOf(3), unit), renderer);
        QCOMPARE(renderer->defaultSize(), QSize(24, 4));
        QVERIFY(loadsOf(renderer) > loads);
        QVERIFY(!cache.storeRenderer("a", "<svg", unit));
        QVERIFY(!cache.renderer("a") && cache.count(Kind::Renderer) == 1);
        QVERIFY(!cache.storeRenderer("b", "not svg", unit));
        QCOMPARE(cache.count(Kind::Renderer), 1);
        QImage built = imageOf(1, Qt::green);
        QImage* kept = cache.storeBuiltIn("IDB_X", built);
        cache.storeImage("c", imageOf(1, Qt::red));
        cache.release();
        QCOMPARE(cache.count(Kind::Image), 1);
        QCOMPARE(cache.image("IDB_X"), kept);
        QVERIFY(cache.emptyDecodedFrom({ "" }).empty());   // built-ins come from no file
    }

    void iconFiles_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("side");        // of the files' images and the icons asked for
        QTest::addColumn<QString>("again");   // the files asked for again, in turn, counted round
        QTest::addColumn<int>("decodes");      // over both rounds
        QTest::newRow("257 files, the last 256 again") << 257 << 16 << "1-256" << 257;
        QTest::newRow("257 files, the first again") << 257 << 16 << "0" << 257;
        QTest::newRow("256 files, all again") << 256 << 16 << "0-255" << 256;
        QTest::newRow("a 1,000-item menu's icons cycling over 257 files") << 257 << 16 << "0-999" << 257;
        // The icons kept hold what 10,000 icons of 16 pixels do: 769 of 64.
        QTest::newRow("770 icons of 64 pixels, the first again") << 770 << 64 << "0" << 771;
        QTest::newRow("3,000 icons of 16 pixels, the first again") << 3000 << 16 << "0" << 3000;
    }
    // Icon files are kept by identity and size, the most recently used up to a bound on
    // their bytes that a menu at its item limit keeps within: a menu that keeps coming
    // back to its icons decodes each once (decodes are counted).
    void iconFiles()
    {
        QFETCH(int, files);
        QFETCH(int, side);
        QFETCH(QString, again);
        QFETCH(int, decodes);
        QTemporaryDir tmp;
        const auto path = [&](int i) { return tmp.filePath(QStringLiteral("%1.png").arg(i % files)); };
        for (int i = 0; i < files; ++i) {
            QImage image(side, side, QImage::Format_RGB32);
            image.fill(QColor(i % 256, 0, 0));
            QVERIFY(image.save(path(i)));
        }
        const int before = vyr::iconFileDecodes();
        for (int i = 0; i < files; ++i)
            QVERIFY(!vyr::readIconFile(path(i), side).isNull());
        const QStringList range = again.split('-');
        for (int i = range.first().toInt(); i <= range.last().toInt(); ++i)
            QVERIFY(!vyr::readIconFile(path(i), side).isNull());
        QCOMPARE(vyr::iconFileDecodes() - before, decodes);
    }
};

QTEST_MAIN(tst_DecodedCache)
#include "tst_decodedcache.moc"
