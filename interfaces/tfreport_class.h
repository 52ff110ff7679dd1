// The report generator's class TFReportClass and its dual interface
// _TFReportClass, in slot order after IDispatch's, with their identifiers.
// The interface is named ITFReportClass here: C++ reserves names that begin
// with an underscore and a capital letter.
//
// Callers use LoadProject only (reached by its slot or by name); the other
// methods are inner steps of the run that the class also exposes. Every
// argument and result is a Variant; the last argument receives the result.
#pragma once

#include "platform/com/dispatch.h"

namespace tf::report {

inline constexpr com::CLSID kTFReportClassClsid =
    com::Guid::Parse("{CF1DB6B8-0E7F-4B76-8C0C-56A36697E996}").value();
inline constexpr const char* kTFReportClassProgId = "TFReportCOM.TFReportClass.1";
inline constexpr const char* kTFReportClassIndependentProgId = "TFReportCOM.TFReportClass";
// The component library's file in the install folder.
inline constexpr const char* kTFReportLibrary = "TFReportCOM.so";

class ITFReportClass : public com::IDispatch {
 public:
  static constexpr com::IID kIid =
      com::Guid::Parse("{393CE318-5E74-4217-B276-939AA993A3C7}").value();

  using HRESULT = com::HRESULT;
  using Variant = com::Variant;

  virtual HRESULT TestReport(Variant* str_value, Variant* result) = 0;         // 0x60030000
  virtual HRESULT LoadProject(Variant* use_command_line, Variant* result) = 0;  // 0x60030001
  virtual HRESULT HTMLQuickStats(Variant* result) = 0;                        // 0x60030002
  virtual HRESULT WriteHTMLFile(Variant* result) = 0;                         // 0x60030003
  virtual HRESULT BeginningHTML(Variant* result) = 0;                         // 0x60030004
  virtual HRESULT Query_Sum(Variant* result) = 0;                             // 0x60030007
  virtual HRESULT ProcessDateRange(Variant* result) = 0;                      // 0x60030008
  virtual HRESULT IncludeStyleSheet(Variant* result) = 0;                     // 0x60030009
  virtual HRESULT DeclareGlobalVars(Variant* result) = 0;                     // 0x6003000A
  virtual HRESULT GetBaseFileName(Variant* result) = 0;                       // 0x6003000B
  virtual HRESULT GetProjectInfo(Variant* result) = 0;                        // 0x6003000C
  virtual HRESULT FileExists(Variant* fle, Variant* result) = 0;              // 0x6003000F
  virtual HRESULT Query_Hourly(Variant* result) = 0;                          // 0x60030010
  virtual HRESULT Chart_Initiate(Variant* result) = 0;                        // 0x60030011
  virtual HRESULT Query_Day(Variant* result) = 0;                             // 0x60030012
  virtual HRESULT Referring_Info(Variant* result) = 0;                        // 0x60030013
  virtual HRESULT Report_Domains(Variant* result) = 0;                        // 0x60030014
  virtual HRESULT Report_Target(Variant* result) = 0;                         // 0x60030015
  virtual HRESULT Report_Target_Sub(Variant* result) = 0;                     // 0x60030016
  virtual HRESULT Report_Errors(Variant* result) = 0;                         // 0x60030017
  virtual HRESULT Paths_Info(Variant* result) = 0;                            // 0x60030018
  virtual HRESULT GetProjectInfoBrief(Variant* result) = 0;                   // 0x6003001B

  // By-name and by-id calls; defined by the library that implements the class.
  static const com::DispatchTable<ITFReportClass>& Members();

 protected:
  ~ITFReportClass() = default;
};

}  // namespace tf::report
