// A small baseline JPEG writer for grey pictures the program draws itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tonfex::help {

// A grey picture, one byte per pixel (0 black, 255 white), rows from the top.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// The bytes of a baseline JFIF file (one component, fine quantisation) showing `image`.
std::string encodeJpeg(const GreyImage& image);

} // namespace tonfex::help
