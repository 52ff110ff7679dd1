// The component library TFReportCOM: the class TFReportClass behind
// _TFReportClass, its dispatch table and the library's exported entry points.
#include <exception>

#include "interfaces/tfreport_class.h"
#include "platform/com/component_exports.h"
#include "platform/com/error_info.h"
#include "report/report_run.h"

namespace tf::report {
namespace {

constexpr com::ClassInfo kTFReportClassInfo{kTFReportClassClsid, "TFReportClass",
                                            kTFReportClassProgId,
                                            kTFReportClassIndependentProgId, "Apartment", {}};

using com::HRESULT;
using com::Variant;

class TFReportObject final : public com::DispatchObject<ITFReportClass> {
 public:
  HRESULT TestReport(Variant* str_value, Variant* result) override {
    result->Deref() = ReportRun::TestReport(*str_value);
    return com::S_OK;
  }
  HRESULT LoadProject(Variant* use_command_line, Variant* result) override {
    result->Deref() = run_.LoadProject(*use_command_line);
    return com::S_OK;
  }
  HRESULT HTMLQuickStats(Variant*) override { return Step([&] { run_.HTMLQuickStats(); }); }
  HRESULT WriteHTMLFile(Variant*) override { return Step([&] { run_.WriteHTMLFile(); }); }
  HRESULT BeginningHTML(Variant*) override { return Step([&] { run_.BeginningHTML(); }); }
  HRESULT Query_Sum(Variant*) override { return Step([&] { run_.Query_Sum(); }); }
  HRESULT ProcessDateRange(Variant*) override { return Step([&] { run_.ProcessDateRange(); }); }
  HRESULT IncludeStyleSheet(Variant*) override { return Step([&] { run_.IncludeStyleSheet(); }); }
  HRESULT DeclareGlobalVars(Variant*) override { return Step([&] { run_.DeclareGlobalVars(); }); }
  HRESULT GetBaseFileName(Variant*) override { return Step([&] { run_.GetBaseFileName(); }); }
  HRESULT GetProjectInfo(Variant*) override { return Step([&] { run_.GetProjectInfo(); }); }
  HRESULT FileExists(Variant* fle, Variant* result) override {
    bool exists = fle->base_type() == com::VT_BSTR && run_.FileExists(fle->bstr().str());
    result->Deref() = Variant::Bool(exists);
    return com::S_OK;
  }
  HRESULT Query_Hourly(Variant*) override { return Step([&] { run_.Query_Hourly(); }); }
  HRESULT Chart_Initiate(Variant*) override { return Step([&] { run_.Chart_Initiate(); }); }
  HRESULT Query_Day(Variant*) override { return Step([&] { run_.Query_Day(); }); }
  HRESULT Referring_Info(Variant*) override { return Step([&] { run_.Referring_Info(); }); }
  HRESULT Report_Domains(Variant*) override { return Step([&] { run_.Report_Domains(); }); }
  HRESULT Report_Target(Variant*) override { return Step([&] { run_.Report_Target(); }); }
  HRESULT Report_Target_Sub(Variant*) override { return Step([&] { run_.Report_Target_Sub(); }); }
  HRESULT Report_Errors(Variant*) override { return Step([&] { run_.Report_Errors(); }); }
  HRESULT Paths_Info(Variant*) override { return Step([&] { run_.Paths_Info(); }); }
  HRESULT GetProjectInfoBrief(Variant*) override {
    return Step([&] { run_.GetProjectInfoBrief(); });
  }

 private:
  // An inner step called on its own: a failure becomes the call's status
  // with its description in the thread's error information.
  template <class F>
  static HRESULT Step(F step) {
    try {
      step();
      return com::S_OK;
    } catch (const std::exception& error) {
      com::SetErrorInfo(error.what());
    } catch (...) {
      com::SetErrorInfo("Report step failed");
    }
    return com::E_FAIL;
  }

  ReportRun run_;
};

}  // namespace

const com::DispatchTable<ITFReportClass>& ITFReportClass::Members() {
  using I = ITFReportClass;
  static const com::DispatchTable<I> table{
      com::DispatchMember<&I::TestReport>(0x60030000, "TestReport"),
      com::DispatchMember<&I::LoadProject>(0x60030001, "LoadProject"),
      com::DispatchMember<&I::HTMLQuickStats>(0x60030002, "HTMLQuickStats"),
      com::DispatchMember<&I::WriteHTMLFile>(0x60030003, "WriteHTMLFile"),
      com::DispatchMember<&I::BeginningHTML>(0x60030004, "BeginningHTML"),
      com::DispatchMember<&I::Query_Sum>(0x60030007, "Query_Sum"),
      com::DispatchMember<&I::ProcessDateRange>(0x60030008, "ProcessDateRange"),
      com::DispatchMember<&I::IncludeStyleSheet>(0x60030009, "IncludeStyleSheet"),
      com::DispatchMember<&I::DeclareGlobalVars>(0x6003000A, "DeclareGlobalVars"),
      com::DispatchMember<&I::GetBaseFileName>(0x6003000B, "GetBaseFileName"),
      com::DispatchMember<&I::GetProjectInfo>(0x6003000C, "GetProjectInfo"),
      com::DispatchMember<&I::FileExists>(0x6003000F, "FileExists"),
      com::DispatchMember<&I::Query_Hourly>(0x60030010, "Query_Hourly"),
      com::DispatchMember<&I::Chart_Initiate>(0x60030011, "Chart_Initiate"),
      com::DispatchMember<&I::Query_Day>(0x60030012, "Query_Day"),
      com::DispatchMember<&I::Referring_Info>(0x60030013, "Referring_Info"),
      com::DispatchMember<&I::Report_Domains>(0x60030014, "Report_Domains"),
      com::DispatchMember<&I::Report_Target>(0x60030015, "Report_Target"),
      com::DispatchMember<&I::Report_Target_Sub>(0x60030016, "Report_Target_Sub"),
      com::DispatchMember<&I::Report_Errors>(0x60030017, "Report_Errors"),
      com::DispatchMember<&I::Paths_Info>(0x60030018, "Paths_Info"),
      com::DispatchMember<&I::GetProjectInfoBrief>(0x6003001B, "GetProjectInfoBrief"),
  };
  return table;
}

}  // namespace tf::report

TF_COM_COMPONENT_EXPORTS(tf::report::TFReportObject, tf::report::kTFReportClassInfo);
