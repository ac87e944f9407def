// Random pages over every registered type, drawn from the fuzzer's bytes, through the
// design canvas: each page it opens must come back, saved unchanged, value for value
// as it was read, open again and save the same bytes, and differ after a rename by the
// name alone; a page it refuses must say why (canvasroundtrip.h). The canvas test runs
// the same over a few hundred seeded pages.

#include "FuzzApplication.h"
#include "VYRQCanvas.h"
#include "VYRQGlobal_p.h"
#include "canvasroundtrip.h"
#include "randompage.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::startLibrary("fuzz_canvas_page");
    static QTemporaryDir folder;
    static std::unique_ptr<VYRQCanvas> canvas(new VYRQCanvas);
    static std::vector<std::string> types = [] {
        std::vector<std::string> keys;
        for (const QString& key : vyr::registeredKeys())
            keys.push_back(key.toStdString());
        return keys;
    }();

    vyrtest::ByteChoices choices(data, size);
    vyrtest::RandomPage pages(choices, types);
    const std::string page = pages.page(4, 4);
    const QString file = folder.filePath(QStringLiteral("page.json"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || out.write(page.data(), qint64(page.size())) != qint64(page.size()))
        return 0;
    out.close();
    const QString rename = QStringLiteral("e%1").arg(choices.below(std::uint32_t(pages.names())));
    const std::string broken = vyrtest::canvasRoundTrip(*canvas, file, page, rename);
    if (!broken.empty()) {
        std::fprintf(stderr, "page: %s\n%s\n", page.c_str(), broken.c_str());
        std::abort();
    }
    canvas->closeAllWindows();
    fuzz::turnEventLoop();
    return 0;
}
