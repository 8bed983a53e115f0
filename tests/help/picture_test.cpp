#include "help/picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

using namespace tonfex;

namespace {
// Decodes with libjpeg, a reader that is not ours.
help::GreyImage decode(const std::string& bytes) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    help::GreyImage image;
    if (jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK) {
        jpeg_start_decompress(&info);
        image.width = static_cast<int>(info.output_width);
        image.height = static_cast<int>(info.output_height);
        image.pixels.resize(static_cast<size_t>(image.width * image.height));
        while (info.output_scanline < info.output_height) {
            unsigned char* row = image.pixels.data() + info.output_scanline * info.output_width;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
    }
    EXPECT_EQ(errors.num_warnings, 0);
    jpeg_destroy_decompress(&info);
    return image;
}
} // namespace

TEST(Picture, OverviewAndOddSizesWithFlatAreasDecodeToTheDrawing) {
    const help::GreyImage drawn = help::drawOverview();
    const help::GreyImage read = decode(help::overviewPictureJpeg());
    ASSERT_EQ(std::pair(read.width, read.height), std::pair(drawn.width, drawn.height));
    long long sum = 0;
    int worst = 0, ink = 0;
    for (size_t i = 0; i < drawn.pixels.size(); ++i) {
        int d = std::abs(int(read.pixels[i]) - int(drawn.pixels[i]));
        sum += d;
        worst = std::max(worst, d);
        ink += drawn.pixels[i] < 100;
    }
    EXPECT_LT(double(sum) / double(drawn.pixels.size()), 1.0);
    EXPECT_LT(worst, 48);
    // Boxes, arrows and lettering cover a visible share of the picture.
    EXPECT_GT(ink, drawn.width * drawn.height / 50);

    // Odd sizes and flat areas.
    help::GreyImage image{13, 9, std::vector<std::uint8_t>(13 * 9, 0)};
    for (int x = 0; x < 13; ++x)
        image.pixels[static_cast<size_t>(4 * 13 + x)] = 255;
    const help::GreyImage small = decode(help::encodeJpeg(image));
    ASSERT_EQ(std::pair(small.width, small.height), std::pair(13, 9));
    EXPECT_GT(small.pixels[4 * 13 + 6], 200);
    EXPECT_LT(small.pixels[0], 40);
    EXPECT_LT(small.pixels[8 * 13 + 12], 40);
}
