#pragma once
// The ODT's XML parts as they are written: a part with the namespaces it
// uses, the face and sizes of the text, lengths in centimetres. For odt.cpp.

#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>
#include <initializer_list>
#include <utility>

namespace sheet::odt {

// The face of every text, by the name the font declaration gives it. Windows
// has SimSun; elsewhere the word processor picks its own substitute for it,
// with the East Asian language set to Chinese.
inline const QString face = QStringLiteral("宋体");
inline const QString faceFamily = QStringLiteral("SimSun");

constexpr double titleSize = 16, headingSize = 12, bodySize = 10.5, headSize = 9;
constexpr double cellPaddingCm = 0.1;

using Attributes = std::initializer_list<std::pair<const char*, QString>>;

inline QString cm(double value) { return QString::number(value, 'f', 3) + "cm"; }
inline QString ptToCm(double points) { return cm(points / 72 * 2.54); }

// A document part: its root element with the namespaces it uses.
class Part {
public:
    Part(const char* root, std::initializer_list<const char*> prefixes) : xml_(&bytes_)
    {
        static const std::pair<const char*, const char*> known[] = {
            {"office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"},
            {"style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
            {"text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"},
            {"table", "urn:oasis:names:tc:opendocument:xmlns:table:1.0"},
            {"fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"},
            {"svg", "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"},
            {"meta", "urn:oasis:names:tc:opendocument:xmlns:meta:1.0"},
            {"dc", "http://purl.org/dc/elements/1.1/"},
            {"manifest", "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0"},
        };
        xml_.writeStartDocument();
        xml_.writeStartElement(root);
        for (const char* prefix : prefixes)
            for (const auto& [p, uri] : known)
                if (qstrcmp(p, prefix) == 0)
                    xml_.writeAttribute(QStringLiteral("xmlns:") + p, uri);
    }
    QXmlStreamWriter& xml() { return xml_; }
    void start(const char* name, Attributes attributes = {})
    {
        xml_.writeStartElement(name);
        set(attributes);
    }
    void empty(const char* name, Attributes attributes = {})
    {
        xml_.writeEmptyElement(name);
        set(attributes);
    }
    void set(Attributes attributes)
    {
        for (const auto& [name, value] : attributes)
            xml_.writeAttribute(name, value);
    }
    void end() { xml_.writeEndElement(); }
    QByteArray done()
    {
        xml_.writeEndDocument();
        return bytes_;
    }

private:
    QByteArray bytes_;
    QXmlStreamWriter xml_;
};

// Size and weight for the Western, the East Asian and the complex script
// alike: a word processor takes the East Asian ones for Chinese characters.
inline void textProperties(Part& x, double points, bool bold)
{
    const QString size = QString::number(points) + "pt", weight = bold ? "bold" : "normal";
    x.empty("style:text-properties", {{"style:font-name", face},
                                      {"fo:font-family", faceFamily},
                                      {"fo:font-size", size},
                                      {"fo:font-weight", weight},
                                      {"style:font-name-asian", face},
                                      {"style:font-family-asian", faceFamily},
                                      {"style:font-size-asian", size},
                                      {"style:font-weight-asian", weight},
                                      {"style:font-name-complex", face},
                                      {"style:font-family-complex", faceFamily},
                                      {"style:font-size-complex", size},
                                      {"style:font-weight-complex", weight}});
}

inline void fontFaces(Part& x)
{
    x.start("office:font-face-decls");
    x.empty("style:font-face", {{"style:name", face},
                                {"svg:font-family", faceFamily},
                                {"style:font-family-generic", "roman"},
                                {"style:font-pitch", "variable"}});
    x.end();
}

} // namespace sheet::odt
