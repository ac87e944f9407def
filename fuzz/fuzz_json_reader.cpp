// Arbitrary bytes through the fast JSON reader: whenever it accepts a text, the full
// reader must accept it too and build the same tree (types, values, offsets), also
// once copied and written; and vyr::json::parse must decide every text exactly as
// the full reader does. The page writer's texts of an accepted tree read back as that
// tree, and its styled text is StyledWriter's wherever that holds no \u escape.

#include "VYRQJson.h"
#include "VYRQJsonReader.h"
#include "VYRQJsonWriter_p.h"
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
        const std::string styled = vyr::json::styledText(copy);
        if (!vyrtest::jsonTreeDifference(copy, full).empty() || !(copy == full) || styled != vyr::json::styledText(full)) {
            std::fprintf(stderr, "a copy of the fast reader's tree differs from the full reader's\n");
            std::abort();
        }
        // StyledWriter escapes text outside ASCII and cuts member names at a NUL.
        Json::Value styledBack;
        const bool comparable = styled.find("\\u") == std::string::npos
            && vyr::json::parse(styled.data(), styled.data() + styled.size(), styledBack) && styledBack == copy;
        for (const auto layout : { VYRQJsonWriter::Layout::Styled, VYRQJsonWriter::Layout::Compact }) {
            std::string text;
            Json::Value back;
            if (!VYRQJsonWriter(layout, std::string::npos).write(copy, text)
                || !vyr::json::parse(text.data(), text.data() + text.size(), back) || !(back == copy)) {
                std::fprintf(stderr, "the page writer's text does not read back as the tree written\n");
                std::abort();
            }
            if (layout == VYRQJsonWriter::Layout::Styled && comparable && text != styled) {
                std::fprintf(stderr, "the page writer lays the text out otherwise than StyledWriter\n");
                std::abort();
            }
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
