#include "notation/xml.h"

#include <algorithm>
#include <memory>

#ifdef TONFEX_HAVE_LIBXML2
#include <libxml/xmlreader.h>
#endif

namespace tonfex {

namespace {

const std::string kNotWellFormed = "Die Datei ist kein wohlgeformtes XML";

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string trim(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && isSpace(s[a]))
        ++a;
    while (b > a && isSpace(s[b - 1]))
        --b;
    return std::string(s.substr(a, b - a));
}

// The five predefined entities; numbers and step letters need no more.
std::string decodeEntities(const std::string& s) {
    static const std::pair<const char*, char> kEntities[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        bool replaced = false;
        if (s[i] == '&')
            for (const auto& [name, c] : kEntities)
                if (s.compare(i, std::char_traits<char>::length(name), name) == 0) {
                    out += c;
                    i += std::char_traits<char>::length(name) - 1;
                    replaced = true;
                    break;
                }
        if (!replaced) out += s[i];
    }
    return out;
}

#ifndef TONFEX_HAVE_LIBXML2
// The position after the '>' that closes the markup starting at `from`, skipping quoted
// values (and, for declarations, an internal subset in brackets); npos when it never closes.
size_t markupEnd(const std::string& text, size_t from) {
    char quote = 0;
    int brackets = 0;
    for (size_t i = from; i < text.size(); ++i) {
        char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++brackets;
        } else if (c == ']') {
            --brackets;
        } else if (c == '>' && brackets <= 0) {
            return i + 1;
        }
    }
    return std::string::npos;
}
#endif

} // namespace

std::optional<std::string> XmlToken::attribute(const std::string& key) const {
    size_t i = 0;
    while (i < attrs.size()) {
        while (i < attrs.size() && isSpace(attrs[i]))
            ++i;
        size_t nameStart = i;
        while (i < attrs.size() && attrs[i] != '=' && !isSpace(attrs[i]))
            ++i;
        std::string attrName = attrs.substr(nameStart, i - nameStart);
        while (i < attrs.size() && isSpace(attrs[i]))
            ++i;
        if (i >= attrs.size() || attrs[i] != '=') {
            if (attrName.empty()) ++i;
            continue;
        }
        ++i;
        while (i < attrs.size() && isSpace(attrs[i]))
            ++i;
        if (i >= attrs.size() || (attrs[i] != '"' && attrs[i] != '\'')) return std::nullopt;
        char quote = attrs[i++];
        size_t end = attrs.find(quote, i);
        if (end == std::string::npos) return std::nullopt;
        if (attrName == key) return decodeEntities(attrs.substr(i, end - i));
        i = end + 1;
    }
    return std::nullopt;
}

std::vector<XmlToken> scanXml(const std::string& text, std::string* error) {
    std::vector<XmlToken> tokens;
    std::string said = scanXml(text, [&tokens](XmlToken&& t) { tokens.push_back(std::move(t)); });
    if (error) *error = std::move(said);
    return tokens;
}

#ifndef TONFEX_HAVE_LIBXML2
// Not a validating parser: it splits markup from text and stops where markup never closes.
std::string scanXml(const std::string& text, const std::function<void(XmlToken&&)>& take) {
    size_t i = 0;
    std::vector<std::string> open; // the elements not yet closed, innermost last
    bool rootSeen = false;
    auto damaged = [&](const char* why) {
        return "Zeile " +
               std::to_string(1 + std::count(text.begin(),
                                             text.begin() + static_cast<std::ptrdiff_t>(i), '\n')) +
               ": " + kNotWellFormed + " (" + why + ")";
    };
    auto addText = [&take](std::string_view raw) {
        std::string t = trim(raw);
        if (!t.empty()) take({XmlToken::Kind::Text, "", "", decodeEntities(t)});
    };
    while (i < text.size()) {
        if (text[i] != '<') {
            size_t next = std::min(text.find('<', i), text.size());
            addText(std::string_view(text).substr(i, next - i));
            i = next;
            continue;
        }
        size_t end;
        if (text.compare(i, 4, "<!--") == 0) {
            end = text.find("-->", i + 4);
            if (end != std::string::npos) end += 3;
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            end = text.find("]]>", i + 9);
            if (end != std::string::npos) {
                take({XmlToken::Kind::Text, "", "", text.substr(i + 9, end - i - 9)});
                end += 3;
            }
        } else if (text.compare(i, 2, "<?") == 0) {
            end = text.find("?>", i + 2);
            if (end != std::string::npos) end += 2;
        } else if (text.compare(i, 2, "<!") == 0) {
            end = markupEnd(text, i + 2);
        } else {
            end = markupEnd(text, i + 1);
            if (end != std::string::npos) {
                std::string inner = trim(std::string_view(text).substr(i + 1, end - i - 2));
                XmlToken t;
                if (!inner.empty() && inner[0] == '/') {
                    t.kind = XmlToken::Kind::End;
                    t.name = trim(std::string_view(inner).substr(1));
                } else {
                    t.kind = XmlToken::Kind::Start;
                    if (!inner.empty() && inner.back() == '/') {
                        t.kind = XmlToken::Kind::Empty;
                        inner.pop_back();
                    }
                    size_t n = 0;
                    while (n < inner.size() && !isSpace(inner[n]))
                        ++n;
                    t.name = inner.substr(0, n);
                    t.attrs = trim(std::string_view(inner).substr(n));
                }
                // Elements nest within one root element, each closed by its own end tag.
                if (t.kind == XmlToken::Kind::End) {
                    if (open.empty() || open.back() != t.name)
                        return damaged("ein Endetag passt nicht zum offenen Element");
                    open.pop_back();
                } else {
                    if (open.empty() && rootSeen)
                        return damaged("ein Element nach dem Ende des Dokuments");
                    rootSeen = true;
                    if (t.kind == XmlToken::Kind::Start) open.push_back(t.name);
                }
                take(std::move(t));
            }
        }
        if (end == std::string::npos) return damaged("eine Markierung wird nicht geschlossen");
        i = end;
    }
    if (!open.empty()) return damaged("die Datei endet, bevor alle Elemente geschlossen sind");
    if (!rootSeen) return damaged("die Datei enthält kein Element");
    return "";
}

#endif

#ifdef TONFEX_HAVE_LIBXML2
namespace {

// The first error the parser reports, with its line.
// Called from within libxml2, so it never throws.
void keepFirstError(void* arg, xmlErrorPtr error) noexcept {
    auto* said = static_cast<std::string*>(arg);
    if (!said->empty() || !error || error->level < XML_ERR_ERROR) return;
    try {
        // The message's first line, in ASCII: later lines quote the file and may cut a
        // character in two.
        std::string message;
        for (const char* c = error->message; c && *c && *c != '\n'; ++c)
            message += *c >= 0x20 && *c < 0x7f ? *c : '?';
        *said = "Zeile " + std::to_string(error->line) + ": " + kNotWellFormed + " (" +
                trim(message) + ")";
    } catch (...) {
    }
}

// Escapes &, <, > and " for an attribute value between double quotes, as XmlToken keeps it.
std::string escapeAttribute(const std::string& value) {
    std::string out;
    for (char c : value) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string text(const xmlChar* s) {
    return s ? std::string(reinterpret_cast<const char*>(s)) : std::string();
}

} // namespace

std::string scanXml(const std::string& xml, const std::function<void(XmlToken&&)>& take) {
    if (xml.size() > static_cast<size_t>(INT32_MAX)) return "Zeile 1: Die Datei ist zu groß.";
    // The text is UTF-8 whatever its declaration says; no DTD, no network, no entity expansion.
    xmlTextReaderPtr reader =
        xmlReaderForMemory(xml.data(), static_cast<int>(xml.size()), nullptr, "UTF-8",
                           XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!reader) return "Zeile 1: Der XML-Leser ließ sich nicht anlegen.";
    // `take` may throw (a pattern too long): the reader is freed on the way out.
    const std::unique_ptr<xmlTextReader, void (*)(xmlTextReaderPtr)> owner(reader,
                                                                           xmlFreeTextReader);
    std::string said;
    xmlTextReaderSetStructuredErrorHandler(reader, keepFirstError, &said);
    int status;
    while ((status = xmlTextReaderRead(reader)) == 1) {
        XmlToken t;
        switch (xmlTextReaderNodeType(reader)) {
        case XML_READER_TYPE_ELEMENT: {
            t.kind = xmlTextReaderIsEmptyElement(reader) ? XmlToken::Kind::Empty
                                                         : XmlToken::Kind::Start;
            t.name = text(xmlTextReaderConstName(reader));
            while (xmlTextReaderMoveToNextAttribute(reader) == 1)
                t.attrs += (t.attrs.empty() ? "" : " ") + text(xmlTextReaderConstName(reader)) +
                           "=\"" + escapeAttribute(text(xmlTextReaderConstValue(reader))) + "\"";
            xmlTextReaderMoveToElement(reader);
            break;
        }
        case XML_READER_TYPE_END_ELEMENT:
            t.kind = XmlToken::Kind::End;
            t.name = text(xmlTextReaderConstName(reader));
            break;
        case XML_READER_TYPE_TEXT:
            t.text = trim(text(xmlTextReaderConstValue(reader)));
            if (t.text.empty()) continue;
            break;
        case XML_READER_TYPE_CDATA:
            t.text = text(xmlTextReaderConstValue(reader));
            break;
        default:
            continue;
        }
        take(std::move(t));
    }
    if (status < 0 && said.empty())
        said = "Zeile " + std::to_string(xmlTextReaderGetParserLineNumber(reader)) + ": " +
               kNotWellFormed + ".";
    return status < 0 ? said : "";
}
#endif

} // namespace tonfex
