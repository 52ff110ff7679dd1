// Opening URLs and documents with the desktop's programs.
#pragma once

#include <string>

namespace tf {

// True when the desktop's opener could be started for the URL.
bool OpenUrlInBrowser(const std::string& url);

// Above 32 when the desktop's opener was started for the document, 31 when
// there is no opener.
int OpenDocument(const std::string& path);

}  // namespace tf
