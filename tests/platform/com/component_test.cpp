// Class creation, registration and calls through the probe component, a
// real shared library loaded the way the system's components are.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>

#include <cstdlib>
#include <thread>

#include "platform/com/create.h"
#include "platform/com/error_info.h"
#include "platform/registry/registry.h"
#include "support/test_support.h"
#include "tests/platform/com/probe.h"

namespace tf::com::test {
namespace {

using namespace tf::registry;

const std::string kProbePath = TF_TEST_PROBE;
const std::string kClassKey = "HKEY_CLASSES_ROOT\\CLSID\\" + kProbeClsid.ToString();

// Every test starts from an empty registry of its own.
class ComponentTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("TALLYFOX_REGISTRY", dir_.File("registry").c_str(), 1);
    ClearErrorInfo();
  }
  void TearDown() override { setenv("TALLYFOX_REGISTRY", saved_.c_str(), 1); }

  static std::string DefaultValue(const std::string& path, std::string_view name = "") {
    Key key;
    std::string text = "<missing>";
    if (Key::Open(path, KEY_READ, &key) == ERROR_SUCCESS) key.QueryString(name, &text);
    return text;
  }
  static void SetDefault(const std::string& path, std::string_view text) {
    Key key;
    ASSERT_EQ(Key::Create(path, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    ASSERT_EQ(key.SetString("", text), ERROR_SUCCESS);
  }
  static ComPtr<IProbe> CreateProbe() {
    EXPECT_EQ(RegisterComDll(kProbePath, true), 1);
    ComPtr<IProbe> probe;
    EXPECT_EQ(CoCreateInstance(kProbeClsid, &probe), S_OK);
    return probe;
  }

  tf::test::TempDir dir_;
  std::string saved_ = RegistryFilePath();
};

TEST_F(ComponentTest, ClassIsCreatableOnlyWhileRegistered) {
  ComPtr<IProbe> probe;
  EXPECT_EQ(CoCreateInstance(kProbeClsid, &probe), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CreateInstanceByProgID(kProbeProgId, &probe), REGDB_E_CLASSNOTREG);
  EXPECT_FALSE(probe);

  ASSERT_EQ(RegisterComDll(kProbePath, true), 1);
  char real[PATH_MAX];
  ASSERT_NE(realpath(kProbePath.c_str(), real), nullptr);
  EXPECT_EQ(DefaultValue(kClassKey), "Probe Class");
  EXPECT_EQ(DefaultValue(kClassKey + "\\InprocServer32"), real);
  EXPECT_EQ(DefaultValue(kClassKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(DefaultValue(kClassKey + "\\ProgID"), kProbeProgId);
  EXPECT_EQ(DefaultValue(kClassKey + "\\VersionIndependentProgID"), kProbeIndependentProgId);
  EXPECT_EQ(DefaultValue(kClassKey + "\\TypeLib"), kProbeLibid.ToString());
  EXPECT_EQ(DefaultValue(kClassKey + "\\Programmable"), "<missing>");  // the key, no value
  Key programmable;
  EXPECT_EQ(Key::Open(kClassKey + "\\Programmable", KEY_READ, &programmable), ERROR_SUCCESS);
  EXPECT_EQ(DefaultValue("HKCR\\TallyfoxTest.Probe\\CurVer"), kProbeProgId);
  EXPECT_EQ(DefaultValue("HKCR\\TallyfoxTest.Probe.1\\CLSID"), kProbeClsid.ToString());

  for (const char* prog_id : {kProbeProgId, kProbeIndependentProgId, "tallyfoxtest.PROBE"}) {
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(prog_id, &clsid), S_OK) << prog_id;
    EXPECT_EQ(clsid, kProbeClsid);
    EXPECT_EQ(CreateInstanceByProgID(prog_id, &probe), S_OK) << prog_id;
    EXPECT_TRUE(probe);
  }
  EXPECT_EQ(CoCreateInstance(kProbeClsid, &probe), S_OK);
  probe.Reset();

  ASSERT_EQ(RegisterComDll(kProbePath, false), 1);
  Key key;
  EXPECT_EQ(Key::Open("HKEY_CLASSES_ROOT\\CLSID", KEY_READ, &key), ERROR_SUCCESS);
  for (const std::string& gone : {kClassKey, std::string("HKCR\\TallyfoxTest.Probe.1"),
                                  std::string("HKCR\\TallyfoxTest.Probe")}) {
    EXPECT_EQ(Key::Open(gone, KEY_READ, &key), ERROR_FILE_NOT_FOUND) << gone;
  }
  EXPECT_EQ(CoCreateInstance(kProbeClsid, &probe), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CreateInstanceByProgID(kProbeIndependentProgId, &probe), REGDB_E_CLASSNOTREG);
}

TEST_F(ComponentTest, MethodsAnswerBySlotAndByName) {
  ComPtr<IProbe> probe = CreateProbe();
  ASSERT_TRUE(probe);

  // Early binding: the interface's slots.
  Variant a = 2, b = Variant::I2(3), result;
  EXPECT_EQ(probe->Add(&a, &b, &result), S_OK);
  EXPECT_EQ(result.vt(), VT_I4);
  EXPECT_EQ(result.i4(), 5);

  // Late binding, names in any case; arguments in call order.
  DISPID id = 0;
  EXPECT_EQ(probe->GetIDsOfNames("eCHO", &id), S_OK);
  EXPECT_EQ(id, 2);
  EXPECT_EQ(probe->InvokeByName("ADD", {Variant(40), Variant(2)}, &result), S_OK);
  EXPECT_EQ(result.i4(), 42);
  EXPECT_EQ(probe->InvokeByName("echo", {Variant("text")}, &result), S_OK);
  EXPECT_EQ(result.bstr().str(), "text");
  // An out-argument passed by reference lands in the caller's Variant.
  Variant remainder;
  EXPECT_EQ(probe->InvokeByName("Divide", {Variant(17), Variant(5), Variant::ByRef(remainder)},
                                &result),
            S_OK);
  EXPECT_EQ(result.i4(), 3);
  EXPECT_EQ(remainder.i4(), 2);
  // A by-reference in-argument is read through its reference, by slot too.
  Variant seven = 7, by_ref = Variant::ByRef(seven);
  EXPECT_EQ(probe->Add(&by_ref, &b, &result), S_OK);
  EXPECT_EQ(result.i4(), 10);

  // Dispatch failures, and a member's own failure passed through.
  std::vector<Variant> args{Variant(1)};
  EXPECT_EQ(probe->InvokeByName("Subtract", args, &result), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(probe->Invoke(99, args, &result), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(probe->Invoke(1, args, &result), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(probe->InvokeByName("Divide", {Variant(1), Variant(0), Variant()}, nullptr),
            E_INVALIDARG);

  // The object answers for its interfaces only.
  ComPtr<IDispatch> dispatch;
  EXPECT_EQ(probe.As(&dispatch), S_OK);
  EXPECT_EQ(dispatch->InvokeByName("Add", {Variant(1), Variant(1)}, &result), S_OK);
  EXPECT_EQ(result.i4(), 2);
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(probe.As(&factory), E_NOINTERFACE);
  EXPECT_FALSE(factory);
}

TEST_F(ComponentTest, LibraryCanUnloadOnlyWithoutLiveObjects) {
  ComPtr<IProbe> probe = CreateProbe();
  void* handle = dlopen(kProbePath.c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(handle, nullptr);  // kept loaded by the creation
  auto can_unload = reinterpret_cast<DllCanUnloadNowFunction>(dlsym(handle, "DllCanUnloadNow"));
  ASSERT_NE(can_unload, nullptr);
  ComPtr<IProbe> second = probe;
  probe.Reset();
  EXPECT_EQ(can_unload(), S_FALSE);
  second.Reset();
  EXPECT_EQ(can_unload(), S_OK);
  dlclose(handle);
}

TEST_F(ComponentTest, WrongArgumentTypeSetsTheCallersThreadErrorInfo) {
  ComPtr<IProbe> probe = CreateProbe();
  ASSERT_TRUE(probe);
  Variant empty, two = 2, result;
  // The call itself succeeds; the refused argument counts as 0.
  EXPECT_EQ(probe->Add(&empty, &two, &result), S_OK);
  EXPECT_EQ(result.i4(), 2);
  EXPECT_EQ(TakeErrorInfo(), "Invalid data type passed where long integer expected");
  EXPECT_EQ(TakeErrorInfo(), std::nullopt);

  EXPECT_EQ(probe->InvokeByName("Echo", {Variant(12)}, &result), S_OK);
  EXPECT_EQ(TakeErrorInfo(), "Invalid data type passed where string expected");

  // Another thread's refusal is that thread's own.
  std::thread other([&] {
    Variant text = "x", out;
    probe->Add(&text, &text, &out);
    EXPECT_TRUE(PeekErrorInfo().has_value());
  });
  other.join();
  EXPECT_EQ(PeekErrorInfo(), std::nullopt);
}

TEST_F(ComponentTest, CreationFailuresAreTold) {
  const CLSID other = Guid::Parse("{0D5A7C3E-91B2-4F60-8A14-C3E27B9D0F45}").value();
  const std::string other_key = "HKEY_CLASSES_ROOT\\CLSID\\" + other.ToString();
  struct Case {
    const char* what;
    const char* library;  // InprocServer32 of `other`, or null for no such key
    HRESULT expected;
  };
  const Case cases[] = {
      {"class key without a library", nullptr, REGDB_E_CLASSNOTREG},
      {"library file missing", "/nonexistent/TFMissing.so", CO_E_DLLNOTFOUND},
      {"library without entry point", "libm.so.6", CO_E_ERRORINDLL},
      {"library without that class", kProbePath.c_str(), CLASS_E_CLASSNOTAVAILABLE},
  };
  for (const Case& c : cases) {
    Key root;
    ASSERT_EQ(Key::Open("HKCR", KEY_ALL_ACCESS, &root), ERROR_SUCCESS);
    root.DeleteSubKey("CLSID\\" + other.ToString());
    SetDefault(other_key, "Other Class");
    if (c.library) SetDefault(other_key + "\\InprocServer32", c.library);
    void* object = &root;
    EXPECT_EQ(CoCreateInstance(other, IProbe::kIid, &object), c.expected) << c.what;
    EXPECT_EQ(object, nullptr) << c.what;
  }

  ComPtr<IClassFactory> wrong_interface;
  ASSERT_EQ(RegisterComDll(kProbePath, true), 1);
  EXPECT_EQ(CoCreateInstance(kProbeClsid, &wrong_interface), E_NOINTERFACE);

  // Unknown or malformed identifiers, and a CurVer loop, end in a failure.
  SetDefault("HKCR\\Loop.A\\CurVer", "Loop.B");
  SetDefault("HKCR\\Loop.B\\CurVer", "Loop.A");
  CLSID clsid;
  for (const char* prog_id : {"Nobody.Here.1", "", "CLSID\\x", "Loop.A"}) {
    EXPECT_EQ(CLSIDFromProgID(prog_id, &clsid), CO_E_CLASSSTRING) << prog_id;
  }
}

TEST_F(ComponentTest, RegisterComDllReportsEveryFailure) {
  EXPECT_EQ(RegisterComDll("/nonexistent/TFMissing.so", true), 0);
  EXPECT_EQ(RegisterComDll("libm.so.6", true), 0);
  // The library's registration fails when the registry cannot be written.
  tf::test::WriteFile(dir_.File("plain"), "");
  setenv("TALLYFOX_REGISTRY", dir_.File("plain/registry").c_str(), 1);
  EXPECT_EQ(RegisterComDll(kProbePath, true), 0);
}

}  // namespace
}  // namespace tf::com::test
