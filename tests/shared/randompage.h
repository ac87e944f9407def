#pragma once

// Random page texts for the design canvas's round trip: elements of every type key
// given, of unknown types and of none, with unknown keys at every level and odd
// values (numbers in every shape JSON allows, escapes, lone surrogates, text outside
// ASCII, empty lists). Every element of a type has a name of its own ("e0", "e1", ...),
// so a test can find its control. Choices come from a Choices source: a seeded
// generator for the test, the fuzzer's bytes for the fuzz target.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vyrtest {

class Choices {
public:
    virtual ~Choices() = default;
    // A number below `bound` (bound > 0).
    virtual std::uint32_t below(std::uint32_t bound) = 0;
};

class SeededChoices : public Choices {
public:
    explicit SeededChoices(std::uint64_t seed)
        : m_state(seed)
    {
    }
    std::uint32_t below(std::uint32_t bound) override
    {
        // splitmix64
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return std::uint32_t(z % bound);
    }

private:
    std::uint64_t m_state;
};

class ByteChoices : public Choices {
public:
    ByteChoices(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    std::uint32_t below(std::uint32_t bound) override
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 2 && m_at < m_size; ++i)
            v = v << 8 | m_data[m_at++];
        return v % bound;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

class RandomPage {
public:
    RandomPage(Choices& choices, std::vector<std::string> types)
        : c(choices)
        , m_types(std::move(types))
    {
    }

    // A page of up to `elements` top-level elements, nested up to `depth` levels.
    std::string page(int elements = 3, int depth = 3)
    {
        m_names = 0;
        std::string out = "{\"w\": " + std::to_string(100 + c.below(500)) + ", \"h\": " + std::to_string(100 + c.below(400));
        if (c.below(3) == 0)
            out += ", \"title\": " + string();
        if (c.below(2) == 0)
            out += ", \"drag\": " + std::string(c.below(2) ? "true" : "false");
        out += unknownKeys(2);
        out += ", \"elements\": [";
        const std::uint32_t count = 1 + c.below(std::uint32_t(elements));
        for (std::uint32_t i = 0; i < count; ++i)
            out += (i ? ", " : "") + element(depth);
        return out + "]}";
    }

    int names() const { return m_names; }

    std::string element(int depth)
    {
        std::string out = "{";
        const std::uint32_t kind = c.below(12);
        if (kind == 0) {
            out += "\"type\": \"nosuchcontrol\"";
        } else if (kind == 1) {
            out += "\"note\": " + string();
        } else {
            out += "\"type\": \"" + m_types[c.below(std::uint32_t(m_types.size()))] + "\"";
        }
        out += ", \"name\": \"e" + std::to_string(m_names++) + "\"";
        out += ", \"x\": " + std::to_string(c.below(200)) + ", \"y\": " + std::to_string(c.below(200));
        out += ", \"w\": " + std::to_string(1 + c.below(300)) + ", \"h\": " + std::to_string(1 + c.below(200));
        if (c.below(4) == 0)
            out += ", \"theme\": " + string();
        if (c.below(4) == 0)
            out += std::string(", \"enable\": ") + (c.below(2) ? "true" : "false");
        if (c.below(4) == 0)
            out += ", \"tooltip\": " + string();
        if (c.below(3) == 0)
            out += ", \"attr\": {\"text\": " + string() + unknownKeys(2) + "}";
        out += unknownKeys(2);
        if (depth > 1 && c.below(3) == 0) {
            out += ", \"child\": [";
            const std::uint32_t count = c.below(4);
            for (std::uint32_t i = 0; i < count; ++i)
                out += (i ? ", " : "") + element(depth - 1);
            out += "]";
        }
        return out + "}";
    }

    std::string unknownKeys(int most)
    {
        std::string out;
        const std::uint32_t count = c.below(std::uint32_t(most) + 1);
        for (std::uint32_t i = 0; i < count; ++i)
            out += ", \"k" + std::to_string(i) + "\": " + value(2);
        return out;
    }

    std::string value(int depth)
    {
        switch (c.below(depth > 0 ? 8 : 6)) {
        case 0: return "null";
        case 1: return c.below(2) ? "true" : "false";
        case 2:
        case 3: return number();
        case 4:
        case 5: return string();
        case 6: {
            std::string out = "[";
            const std::uint32_t count = c.below(4);
            for (std::uint32_t i = 0; i < count; ++i)
                out += (i ? ", " : "") + value(depth - 1);
            return out + "]";
        }
        default: {
            std::string out = "{";
            const std::uint32_t count = c.below(3);
            for (std::uint32_t i = 0; i < count; ++i)
                out += (i ? ", \"m" : "\"m") + std::to_string(i) + "\": " + value(depth - 1);
            return out + "}";
        }
        }
    }

    std::string number()
    {
        static const char* const shapes[] = {
            "0", "-0", "7", "-12", "0.1", "1.50", "1e2", "1E+2", "-0.0", "2.5e-3", "3.141592653589793",
            "0.10000000000000001", "5e-324", "1e-400", "1.7976931348623157e308", "9007199254740993",
            "18446744073709551615", "18446744073709551616", "-9223372036854775808", "-9223372036854775809",
            "123456789012345678901234567890", "0.30000000000000004", "100000000000000000000.0"};
        if (c.below(3) == 0)
            return std::to_string(int(c.below(2000)) - 1000);
        return shapes[c.below(sizeof shapes / sizeof *shapes)];
    }

    std::string string()
    {
        static const char* const pieces[] = {
            "a", "Tank 3", "\\u00e9", "\xc3\xa9", "\\ud83d\\ude00", "\xf0\x9f\x98\x80", "\\udc00", "\\ud800",
            "\\\"", "\\\\", "\\/", "\\n", "\\u0001", "\\t", " ", "\xe6\xb8\xa9", "\\uffff", "x\\ud800y"};
        std::string out = "\"";
        const std::uint32_t count = c.below(4);
        for (std::uint32_t i = 0; i < count; ++i)
            out += pieces[c.below(sizeof pieces / sizeof *pieces)];
        return out + "\"";
    }

private:
    Choices& c;
    std::vector<std::string> m_types;
    int m_names = 0;
};

} // namespace vyrtest
