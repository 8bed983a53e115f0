#include "controls/models.h"

namespace tonfex {

void TextBox::setText(std::string text) {
    text_ = std::move(text);
    if (observer) observer->textChanged(*this);
}

void ListBox::add(std::string line, long data) {
    lines_.push_back(std::move(line));
    itemData_.push_back(data);
    ++revision_;
    if (observer) observer->lineAdded(*this, lines_.back());
}

void ListBox::clear() {
    lines_.clear();
    itemData_.clear();
    selected = -1;
    ++revision_;
    if (observer) observer->listCleared(*this);
}

} // namespace tonfex
