// XML text as a stream of tags and texts, for the MusicXML import. Linux reads it with libxml2;
// the Windows build, which has no XML library, with the program's own scanner. Both hand on
// the same tokens for a well-formed file.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tonfex {

// One piece of markup or text of an XML file. Comments, declarations and processing
// instructions are dropped; text is trimmed and entity-decoded.
struct XmlToken {
    enum class Kind { Start, End, Empty, Text };
    Kind kind = Kind::Text;
    std::string name;  // tag name with its prefix, for Start, End and Empty
    std::string attrs; // the attribute text of a tag: name="value" pairs, values escaped
    std::string text;  // for Text
    // The value of attribute `key`, if the tag has it.
    std::optional<std::string> attribute(const std::string& key) const;
};

// Hands each token of `text` to `take` as it is found, whatever the line layout. Returns "" or,
// for text that is no well-formed XML, "Zeile N: ..." for the place where reading stopped;
// the tokens before it have been handed on. An external DTD or entity is never fetched.
std::string scanXml(const std::string& text, const std::function<void(XmlToken&&)>& take);
// The tokens in a list; `error` (if given) gets the result of the scan.
std::vector<XmlToken> scanXml(const std::string& text, std::string* error = nullptr);

} // namespace tonfex
