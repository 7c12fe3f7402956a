#pragma once

#include <string>

namespace velmora {

// What a painter's font tells the shared layouts: the width of a text and the heights of a line,
// in the painter's pixels.
class TextMeasure {
  public:
    virtual ~TextMeasure() = default;
    // `text` is UTF-8, one line.
    virtual double Width(const std::string& text) const = 0;
    virtual double Height() const = 0;
    virtual double Ascent() const = 0;
    virtual double Descent() const = 0;
};

}  // namespace velmora
