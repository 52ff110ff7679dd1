// The chart library as its callers meet it: a component library registered
// by its own entry point, created by programmatic identifier, called by
// slot and by name.
#include <gtest/gtest.h>

#include "interfaces/iloom_chart.h"
#include "platform/com/create.h"
#include "platform/com/error_info.h"
#include "platform/registry/registry.h"
#include "support/test_support.h"

namespace tf::chart {
namespace {

using com::ComPtr;

class PictoloomTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(com::RegisterComDll(TF_PICTOLOOM, true), 1);
    ASSERT_EQ(com::CreateInstanceByProgID(kLoomChartProgId, &chart_), com::S_OK);
    com::ClearErrorInfo();
  }
  tf::test::TempDir dir_;
  ComPtr<ILoomChart> chart_;
};

TEST_F(PictoloomTest, RegistrationNamesTheClass) {
  registry::Key key;
  const std::string class_key = "HKEY_CLASSES_ROOT\\CLSID\\" + kLoomChartClsid.ToString();
  ASSERT_EQ(registry::Key::Open(class_key, registry::KEY_READ, &key), registry::ERROR_SUCCESS);
  std::string text;
  key.QueryString("", &text);
  EXPECT_EQ(text, "LoomChart Class");
  ComPtr<ILoomChart> by_independent_id;
  EXPECT_EQ(com::CreateInstanceByProgID(kLoomChartIndependentProgId, &by_independent_id), com::S_OK);
  EXPECT_EQ(com::RegisterComDll(TF_PICTOLOOM, false), 1);
  EXPECT_EQ(registry::Key::Open(class_key, registry::KEY_READ, &key), registry::ERROR_FILE_NOT_FOUND);
}

// The chart test program's calls: slots, 16-bit whole numbers, Boolean
// flags and a colour passed by reference.
TEST_F(PictoloomTest, TestPieThroughTheSlots) {
  using V = com::Variant;
  auto call = [](auto method, auto&&... args) {
    V result;
    std::array<V, sizeof...(args)> values{V(args)...};
    EXPECT_EQ(std::apply([&](auto&... v) { return method(&v..., &result); }, values), com::S_OK);
    return result.i4();
  };
  ILoomChart* c = chart_.get();
  const std::string file = dir_.File("PieTest.jpg");
  auto m = [c](auto member) {
    return [c, member](auto*... args) { return (c->*member)(args...); };
  };
  EXPECT_EQ(call(m(&ILoomChart::BeginChart), V(file), V::I2(1), V::I2(480), V::I2(260)), 0);
  EXPECT_EQ(call(m(&ILoomChart::Pie3dBegin), V::I2(5), V::I2(5), V::I2(350), V::I2(250), V::I2(3)), 0);
  V black = V::I4(call(m(&ILoomChart::RGBcolor), V::I2(0), V::I2(0), V::I2(0)));
  V colour_ref = V::ByRef(black);
  EXPECT_EQ(call(m(&ILoomChart::SetFont), V("Arial"), V::I2(20), colour_ref, V::Bool(true),
                 V::Bool(false), V::I2(0)),
            0);
  EXPECT_EQ(call(m(&ILoomChart::SetTitle), V("Test Piechart")), 0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(call(m(&ILoomChart::Pie3dSetSliceValue), V::I2(10 * (i + 1)), V::I2(i)), 0);
    EXPECT_EQ(call(m(&ILoomChart::Pie3dSetSliceColor), V::I4(200 << (8 * i)), V::I2(i)), 0);
  }
  EXPECT_EQ(call(m(&ILoomChart::Pie3dFinish), V::I2(0)), 0);
  EXPECT_EQ(call(m(&ILoomChart::LegendBegin), V::I2(360), V::I2(108), V::I2(0), V::I2(2), V::I2(2),
                 V::I2(12)),
            0);
  EXPECT_EQ(call(m(&ILoomChart::LegendSetItemTextSpan), V("Pie Chart Legend"), V::I2(0), V::I2(0),
                 V::I2(2), V::I2(2)),
            0);
  EXPECT_EQ(call(m(&ILoomChart::LegendSetColorKey), V::I4(200), V::I2(1), V::I2(0)), 0);
  EXPECT_EQ(call(m(&ILoomChart::LegendFinish), V::I2(0)), 0);
  EXPECT_EQ(call(m(&ILoomChart::FinishChart), V::I2(0)), 0);

  std::string jpeg = tf::test::ReadFile(file);
  std::size_t frame = jpeg.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  auto be16 = [&](std::size_t at) {
    return static_cast<std::uint8_t>(jpeg[at]) << 8 | static_cast<std::uint8_t>(jpeg[at + 1]);
  };
  EXPECT_EQ(be16(frame + 5), 260);  // height, then width
  EXPECT_EQ(be16(frame + 7), 480);

  EXPECT_EQ(call(m(&ILoomChart::BeginChart), V(dir_.File("no/folder/x.jpg")), V::I2(1), V::I2(20),
                 V::I2(20)),
            0);
  EXPECT_EQ(call(m(&ILoomChart::FinishChart), V::I2(0)), 5);
}

TEST_F(PictoloomTest, LateBoundCallsAndErrorInformation) {
  com::Variant result;
  ASSERT_EQ(chart_->InvokeByName("getversion", {com::Variant::I2(0)}, &result), com::S_OK);
  EXPECT_EQ(result.i4(), 100);
  ASSERT_EQ(chart_->InvokeByName("BeginChart",
                                 {com::Variant(dir_.File("a.png")), com::Variant("3"),
                                  com::Variant::R8(40.0), com::Variant::R8(30.0)},
                                 &result),
            com::S_OK);
  EXPECT_EQ(result.i4(), 0);
  ASSERT_EQ(chart_->InvokeByName("SetTitle", {com::Variant()}, &result), com::S_OK);
  EXPECT_EQ(result.i4(), 0);
  EXPECT_EQ(com::TakeErrorInfo(), "Invalid data type passed where string expected");
  EXPECT_EQ(chart_->InvokeByName("NoSuchMethod", {}, &result), com::DISP_E_UNKNOWNNAME);
  com::DISPID id = 0;
  ASSERT_EQ(chart_->GetIDsOfNames("LegendSetMinimumWidth", &id), com::S_OK);
  EXPECT_EQ(id, 48);
}

}  // namespace
}  // namespace tf::chart

#if defined(__SANITIZE_ADDRESS__)
// The chart library's fontconfig keeps a little of its configuration for the
// whole process and never frees it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
