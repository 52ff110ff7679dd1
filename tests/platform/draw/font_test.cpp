#include "platform/draw/font.h"

#include <gtest/gtest.h>

namespace tf::draw {
namespace {

// Charts are laid out with the metrics of this one family; a silent
// fallback to another family would change every picture.
TEST(FontTest, WindowsFacesResolveToLiberationSans) {
  for (const char* face : {"Arial", "arial", "MS Sans Serif", ""}) {
    ASSERT_EQ(ResolveFamily(face), "Liberation Sans")
        << "face \"" << face << "\": install fonts-liberation2";
    EXPECT_EQ(Font::Create({face, 14})->family(), "Liberation Sans") << face;
  }
}

TEST(FontTest, HeightIsTheCellHeight) {
  FontPtr font = Font::Create({"Arial", 20});
  EXPECT_EQ(font->cell_height(), 20);
  // Liberation Sans: 2048 units an em, cell of 1854 + 434 units.
  EXPECT_NEAR(font->em_size(), 20 * 2048.0 / 2288.0, 1e-9);
  EXPECT_EQ(font->ascent(), 16);
  EXPECT_EQ(Font::Create({"Arial", 0})->cell_height(), 1);
}

TEST(FontTest, LightWeightDrawsRegularAndBoldIsWider) {
  const char* text = "Visitors per day";
  int light = Font::Create({"Arial", 14, 200})->TextWidth(text);
  int regular = Font::Create({"Arial", 14, kWeightRegular})->TextWidth(text);
  int bold = Font::Create({"Arial", 14, kWeightBold})->TextWidth(text);
  EXPECT_EQ(light, regular);
  EXPECT_GT(bold, regular);
  EXPECT_GT(regular, 50);
  EXPECT_EQ(Font::Create({"Arial", 14})->TextWidth(""), 0);
}

}  // namespace
}  // namespace tf::draw
