// The end of a translation: the name handed to its request, and the site's
// region thread, which counts the name's top-level label as a region item
// (category 404) of the request's day.
#pragma once

#include <memory>
#include <string_view>

namespace tf {

class SiteTranslation;
class TranslationRequest;

// Queues the request for its site's region thread, or finishes it when no
// region is to be counted.
void DeliverDomainName(std::unique_ptr<TranslationRequest> request, std::string_view name);

// The site's region thread; ends when the site's region queue is closed.
void RegionThread(SiteTranslation& translation);

}  // namespace tf
