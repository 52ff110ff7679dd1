// A chart object for the report tests: it answers every method by name,
// keeps a log of the calls ("SetTitle(Sessions Per Day)"), gives RGBcolor's
// colour value, and writes a small file at FinishChart where BeginChart
// said, so a test can see which pictures a run made.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "platform/com/object.h"

namespace tf::report::test {

class FakeChart final : public com::ComObject<com::IDispatch> {
 public:
  com::HRESULT GetIDsOfNames(std::string_view name, com::DISPID* id) override {
    for (std::size_t i = 0; i < names_.size(); ++i) {
      if (names_[i] == name) {
        *id = static_cast<com::DISPID>(i + 1);
        return com::S_OK;
      }
    }
    names_.emplace_back(name);
    *id = static_cast<com::DISPID>(names_.size());
    return com::S_OK;
  }

  com::HRESULT Invoke(com::DISPID id, std::span<com::Variant> args,
                      com::Variant* result) override {
    const std::string& name = names_.at(static_cast<std::size_t>(id - 1));
    std::string line = name + "(";
    for (std::size_t i = 0; i < args.size(); ++i) line += (i ? "," : "") + args[i].ToString();
    calls_.push_back(line + ")");
    com::Variant answer = com::Variant::I4(0);
    if (name == "RGBcolor" && args.size() == 3) {
      answer = com::Variant::I4(args[0].ToInt32() + 256 * args[1].ToInt32() +
                                65536 * args[2].ToInt32());
    } else if (name == "BeginChart" && !args.empty()) {
      file_ = args[0].ToString();
    } else if (name == "FinishChart" && !file_.empty()) {
      std::ofstream(file_) << "chart\n";
      file_.clear();
    } else if (name == "CallLog") {
      std::string log;
      for (const std::string& call : calls_) log += call + "\n";
      answer = com::Variant(log);
    }
    if (result) *result = answer;
    return com::S_OK;
  }

  const std::vector<std::string>& calls() const { return calls_; }

 private:
  std::vector<std::string> names_;
  std::vector<std::string> calls_;
  std::string file_;
};

}  // namespace tf::report::test
