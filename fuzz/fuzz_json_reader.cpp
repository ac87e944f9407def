// Arbitrary bytes through the fast JSON reader: whenever it accepts a text, the full
// reader must accept it too and build the same tree (types, values, offsets), also
// once copied and written; and vyr::json::parse must decide every text exactly as
// the full reader does.

#include "VYRQJson.h"
#include "VYRQJsonReader.h"
#include "jsontreediff.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* begin = reinterpret_cast<const char*>(data);
    const char* end = begin + size;

    Json::Value full;
    const bool fullOk = vyr::json::parseFull(begin, end, full);

    VYRQJsonReader reader;
    Json::Value fast;
    if (reader.parse(begin, end, fast) == VYRQJsonReader::Result::Parsed) {
        if (!fullOk) {
            std::fprintf(stderr, "fast reader accepts a text the full reader rejects\n");
            std::abort();
        }
        const std::string diff = vyrtest::jsonTreeDifference(fast, full);
        if (!diff.empty()) {
            std::fprintf(stderr, "fast against full reader: %s\n", diff.c_str());
            std::abort();
        }
        // Shared (uncopied) keys must survive a copy that outlives the tree, and write alike.
        Json::Value copy(fast);
        fast = Json::Value();
        if (!vyrtest::jsonTreeDifference(copy, full).empty() || !(copy == full)
            || vyr::json::styledText(copy) != vyr::json::styledText(full)) {
            std::fprintf(stderr, "a copy of the fast reader's tree differs from the full reader's\n");
            std::abort();
        }
    }

    Json::Value viaParse;
    if (vyr::json::parse(begin, end, viaParse) != fullOk) {
        std::fprintf(stderr, "vyr::json::parse decides otherwise than the full reader\n");
        std::abort();
    }
    if (fullOk) {
        const std::string diff = vyrtest::jsonTreeDifference(viaParse, full);
        if (!diff.empty()) {
            std::fprintf(stderr, "vyr::json::parse against full reader: %s\n", diff.c_str());
            std::abort();
        }
    }
    return 0;
}
