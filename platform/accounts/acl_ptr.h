// Ownership of libacl's objects (lists, texts, qualifiers): freed with
// acl_free when the owner goes away.
#pragma once

#include <sys/acl.h>

#include <memory>
#include <type_traits>

namespace tf::accounts {

struct AclFree {
  void operator()(void* object) const { acl_free(object); }
};
using AclPtr = std::unique_ptr<std::remove_pointer_t<acl_t>, AclFree>;

}  // namespace tf::accounts
