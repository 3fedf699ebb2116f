// SPDX-License-Identifier: MIT
// A small, strict XML reader for XISF headers: elements with their attributes, and the
// text inside them, handed to a visitor in document order. Declarations, processing
// instructions and comments are passed over, CDATA is text; a document type declaration,
// unbalanced tags, a bare "<" or "&", an unknown entity or nesting deeper than
// kMaxXmlDepth are errors. Namespace prefixes stay part of the names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trakora {

inline constexpr std::size_t kMaxXmlDepth = 64;

struct XmlElement {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;  // values with entities read
    std::size_t depth = 0;                                        // 0 for the root element

    // The value of attribute `key`, or nullptr.
    const std::string* attribute(std::string_view key) const;
};

class XmlVisitor {
  public:
    virtual ~XmlVisitor() = default;
    virtual void start(const XmlElement& element) = 0;
    // Text directly inside the element at `depth` (entities read; may come in pieces).
    virtual void text(std::string_view text, std::size_t depth) = 0;
    virtual void end(std::string_view name, std::size_t depth) = 0;
};

// Reads `document`; returns why it is not well-formed as far as this reader knows, or
// nothing.
std::optional<std::string> read_xml(std::string_view document, XmlVisitor& visitor);

}  // namespace trakora
