// The sections of the "Analysis Browser" tree: each node's key is the
// anchor at which its section begins in the report page.
#pragma once

#include <span>

namespace tf::viewer {

struct TreeNode {
  const char* key;
  const char* caption;
  bool root;
};

std::span<const TreeNode> AnalysisTreeNodes();

}  // namespace tf::viewer
