// The four entry points of a component library that provides one class:
//   TF_COM_COMPONENT_EXPORTS(MyObject, kMyClassInfo);
// at file scope, where kMyClassInfo is the class's ClassInfo. Class
// creation finds the library's class object, unload check, and
// registration through them by name.
#pragma once

#include "platform/com/object.h"
#include "platform/com/registration.h"

#define TF_COM_COMPONENT_EXPORTS(ObjectClass, class_info)                                    \
  TF_COM_EXPORT ::tf::com::HRESULT DllGetClassObject(const ::tf::com::CLSID& clsid,           \
                                                     const ::tf::com::IID& iid, void** object) { \
    return ::tf::com::GetClassObject<ObjectClass>(clsid, (class_info).clsid, iid, object);    \
  }                                                                                           \
  TF_COM_EXPORT ::tf::com::HRESULT DllCanUnloadNow() { return ::tf::com::CanUnloadModule(); } \
  TF_COM_EXPORT ::tf::com::HRESULT DllRegisterServer() {                                      \
    return ::tf::com::RegisterClass(class_info);                                              \
  }                                                                                           \
  TF_COM_EXPORT ::tf::com::HRESULT DllUnregisterServer() {                                    \
    return ::tf::com::UnregisterClass(class_info);                                            \
  }                                                                                           \
  static_assert(true, "a semicolon follows the exports")
