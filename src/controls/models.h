// Models of the window's controls: commands change them, a window draws them, tests read them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tonfex {

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

namespace colors {
inline constexpr Rgb grey{157, 157, 157};
inline constexpr Rgb white{255, 255, 255};
inline constexpr Rgb black{0, 0, 0};
inline constexpr Rgb blue{0, 0, 255};
inline constexpr Rgb darkGreen{0, 91, 1};
inline constexpr Rgb green{36, 143, 40};
inline constexpr Rgb lightYellow{255, 255, 192};
inline constexpr Rgb lightGrey{224, 224, 224};
inline constexpr Rgb lightGreen{223, 254, 205};
inline constexpr Rgb orange{255, 196, 155};
inline constexpr Rgb paleGreen{181, 226, 149};
} // namespace colors

class ListBox;
class TextBox;

// Told about the changes a terminal shows as they happen; a window redraws all models instead.
class ModelObserver {
public:
    virtual ~ModelObserver() = default;
    virtual void lineAdded(const ListBox&, const std::string&) {}
    virtual void listCleared(const ListBox&) {}
    virtual void textChanged(const TextBox&) {}
};

struct Control {
    std::string name;
    std::string caption;
    std::string tooltip;
    Rgb back = colors::grey;
    Rgb fore = colors::black;
    bool visible = true;
    bool enabled = true;
    bool bold = false;
    int fontSize = 8;
    int width = 0;  // twips
    int height = 0; // twips
};

struct Button : Control {};
struct Label : Control {};
struct Line : Control {};

class TextBox : public Control {
public:
    const std::string& text() const { return text_; }
    void setText(std::string text);
    ModelObserver* observer = nullptr;

private:
    std::string text_;
};

class ListBox : public Control {
public:
    void add(std::string line, long itemData = 0);
    void clear();
    const std::vector<std::string>& lines() const { return lines_; }
    const std::vector<long>& itemData() const { return itemData_; }
    int count() const { return static_cast<int>(lines_.size()); }
    // Counts the writes (each line added, each clearing): a reader sees whether it was written.
    unsigned long revision() const { return revision_; }
    int selected = -1;
    ModelObserver* observer = nullptr;

private:
    unsigned long revision_ = 0;
    std::vector<std::string> lines_;
    std::vector<long> itemData_;
};

struct ScrollBar : Control {
    int min = 0, max = 32767, value = 0;
    int smallChange = 1, largeChange = 1;
};

// The picture box for pitch bend: a marker line at the last mouse position.
struct BendArea : Control {
    int scaleMin = 0, scaleMax = 0;
    double markerX = -1;
    double markerY = -1; // height of the marker line in the box's scale; -1: none yet
};

} // namespace tonfex
