#pragma once

// Library-internal; not installed.
//
// The quick reading of a document as the renderer's reader would read it, for what
// nearly every icon is: ASCII without a type declaration, entity or character
// references, CDATA sections, processing instructions or images. It counts the elements
// and the characters of text and attribute values as that reader gives them, checks
// the nesting and the attributes, and feeds the stroke count. Anything else, or a count
// past its bound, leaves the document to the full reading, which then gives the answer
// and its reason.

#include "VYRQSvgStrokeWork_p.h"

#include <QByteArray>
#include <QLatin1String>
#include <QString>

#include <vector>

namespace vyr {

class SvgQuickReading {
public:
    // `strokes` is fed every element as the reader would feed it.
    SvgQuickReading(const QByteArray& text, SvgStrokeWork& strokes);
    ~SvgQuickReading();
    SvgQuickReading(const SvgQuickReading&) = delete;
    SvgQuickReading& operator=(const SvgQuickReading&) = delete;

    // True when the whole document was read so, within the element bound.
    bool read();

    qint64 elements() const { return m_elements; }
    qint64 characters() const { return m_characters; }

private:
    struct Attribute {
        QLatin1String name;
        QLatin1String value;
    };

    QStringView wide(const char* from, const char* to) const;
    QStringView wide(QLatin1String text) const;
    bool startElement(QLatin1String name);
    bool endElement(QLatin1String local, bool& inSheet, QString& sheet);
    qint64 characters(const char* from, const char* to) const;
    bool startsWith(const char* word) const;
    bool take(char c);
    bool skipSpace();
    QLatin1String readName();
    bool quotedValue(QLatin1String& value);
    bool declaration();
    bool comment();
    bool attributes(bool& empty);

    // The buffers of the last reading on this thread, kept for the next one.
    struct Spare;
    static Spare& spare();

    const char* m_begin;
    const char* m_at;
    const char* m_end;
    SvgStrokeWork& m_strokes;
    QString m_wide;
    std::vector<Attribute> m_attributes;
    std::vector<SvgStrokeWork::Attribute> m_views;
    qint64 m_elements = 0;
    qint64 m_characters = 0;
    bool m_plain = false;
};

} // namespace vyr
