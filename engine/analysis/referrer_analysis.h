// Referrer and search-phrase analysis: whether a referring URL comes from a
// search engine, which one, and the search phrase it carries.
//
// Engines come from the system's engine list; engines and query keys that
// the list lacks are recognised by common query parameter names and
// learned into the list for the rest of the program's life. The list is
// shared by every site's analysis thread, so it is read and extended under
// its one reader-writer lock (CSystemData::SystemLookupLock).
//
// The analysis works on any engine list with the face of the system's:
//   Engine* FindSearchEngine(std::string_view address)   nullptr: unknown
//   Engine::ServerName
//   Engine::delimiters.load(std::memory_order_acquire)   first PhraseDelimiter
//   PhraseDelimiter::StartString, ::EndString, ::next
//   Engine* AddSearchEngine(std::unique_ptr<Engine>, std::unique_ptr<PhraseDelimiter>)
//   void AddPhraseDelimiter(Engine*, std::unique_ptr<PhraseDelimiter>)
// Engines and delimiters, once added, are never changed or freed while
// analyses run.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "engine/analysis/ascii.h"
#include "engine/analysis/referrer_info.h"
#include "engine/common/text.h"

namespace tf {

// DayStats bits of the search statistics.
constexpr std::uint32_t kSearchEngineStats = 0x200000;
constexpr std::uint32_t kSearchPhraseStats = 0x400000;
constexpr std::uint32_t kKeywordStats = 0x800000;

// Longest texts of an engine learned from a referrer.
constexpr std::size_t kServerAddressMax = 99;
constexpr std::size_t kServerNameMax = 59;

// The search phrase of a query value: percent escapes decoded, runs of
// anything but letters, digits, '-', '_' and '`' turned into one blank,
// lower case, at most 149 characters; a value that begins with "cache:"
// keeps only the words after the cached address. Empty when nothing is
// left, or when day_stats counts neither phrases nor keywords.
std::string NormalizePhrase(std::uint32_t day_stats, std::string_view value);

// The steps of the analysis that do not touch the engine list.
namespace referrer {

// The referrer's host: after "://", up to the first '/', at most 99 bytes,
// normalised (host_name.h).
std::string ReferrerHost(std::string_view url);
// A host of digits and dots only.
bool IsAddressHost(std::string_view host);
// The built-in engine domain that the host holds as whole labels, or empty.
std::string_view BuiltInDomain(std::string_view host);
// The built-in engine labels (such as "google."), each with its canonical
// domain: LabelDomain gives the domain of label i when the label starts
// the host or follows a '.', else empty.
constexpr std::size_t kEngineLabelCount = 3;
std::string_view LabelDomain(std::string_view host, std::size_t i);

// A query parameter found in a URL: its name (without '=') and its value,
// which runs to the next '&' or the end.
struct QueryParameter {
  std::string_view name;
  std::size_t value_begin = 0;
  std::size_t value_end = 0;
};
// The first of the built-in query keys ("q=", "query=", ...) that the URL
// holds after a '?', else after a '&'.
std::optional<QueryParameter> FindBuiltInKey(std::string_view url);
bool HasLetter(std::string_view text);

// Where the value of the parameter `name` starts: after "&name=", else
// after "?name=", compared without regard to case; npos when neither.
std::size_t FindParameterValue(std::string_view url, std::string_view name);
// End of a phrase value that starts at `begin`: the first end_string, else
// the first '&', else the end of the URL.
std::size_t PhraseValueEnd(std::string_view url, std::size_t begin, std::string_view end_string);


template <class Engines>
using EngineOf = std::remove_pointer_t<decltype(std::declval<Engines&>().FindSearchEngine(std::string_view()))>;
template <class Engine>
using DelimiterOf = std::remove_pointer_t<decltype(std::declval<Engine&>().delimiters.load())>;

// The engine of the host, also through the built-in domains and labels,
// which may replace the host by the engine's domain.
template <class Engines>
EngineOf<Engines>* FindEngine(Engines& engines, std::string& host) {
  auto* engine = engines.FindSearchEngine(host);
  if (engine != nullptr) return engine;
  if (std::string_view domain = BuiltInDomain(host); !domain.empty()) {
    host = std::string(domain);
    engine = engines.FindSearchEngine(host);
  }
  for (std::size_t i = 0; engine == nullptr && i < kEngineLabelCount; ++i) {
    std::string_view domain = LabelDomain(host, i);
    if (domain.empty()) continue;
    host = std::string(domain);
    engine = engines.FindSearchEngine(host);
  }
  return engine;
}

// An unknown host whose URL carries a built-in query key with a wordy
// value becomes an engine named after the host, with that key.
template <class Engines>
EngineOf<Engines>* LearnEngine(Engines& engines, const std::string& host, std::string_view url) {
  using Engine = std::remove_const_t<EngineOf<Engines>>;
  if (IsAddressHost(host)) return nullptr;
  std::optional<QueryParameter> key = FindBuiltInKey(url);
  if (!key) return nullptr;
  std::string_view value = url.substr(key->value_begin, key->value_end - key->value_begin);
  if (!HasLetter(value) || value.size() > 100) return nullptr;
  auto entry = std::make_unique<Engine>();
  entry->ServerAddress = std::string(CutUtf8(host, kServerAddressMax));
  entry->ServerName = std::string(CutUtf8(host, kServerNameMax));
  auto delimiter = std::make_unique<DelimiterOf<Engine>>();
  delimiter->StartString = std::string(key->name);
  delimiter->EndString = "&";
  return engines.AddSearchEngine(std::move(entry), std::move(delimiter));
}

template <class Engine>
bool HasKey(const Engine& engine, std::string_view name) {
  for (auto* d = engine.delimiters.load(std::memory_order_acquire); d != nullptr; d = d->next) {
    if (EqualsCaseless(d->StartString, name)) return true;
  }
  return false;
}

// The value of the engine's phrase key in the decoded URL, as [begin, end);
// a built-in key with a wordy value is learned as the engine's key.
template <class Engines, class Engine>
std::optional<std::pair<std::size_t, std::size_t>> FindPhrase(Engines& engines, Engine& engine,
                                                                std::string_view url) {
  for (auto* d = engine.delimiters.load(std::memory_order_acquire); d != nullptr; d = d->next) {
    std::size_t begin = FindParameterValue(url, d->StartString);
    if (begin == std::string_view::npos || begin == url.size()) continue;
    if (!d->EndString.empty() && url[begin] == d->EndString[0]) continue;
    return std::make_pair(begin, PhraseValueEnd(url, begin, d->EndString));
  }
  std::optional<QueryParameter> key = FindBuiltInKey(url);
  if (!key) return std::nullopt;
  std::size_t length = key->value_end - key->value_begin;
  if (length < 4 || length > 99 || !HasLetter(url.substr(key->value_begin, length))) return std::nullopt;
  // Learned once: a URL that repeats a key the engine already has must not
  // grow its list on every hit.
  if (!HasKey(engine, key->name)) {
    auto delimiter = std::make_unique<DelimiterOf<Engine>>();
    delimiter->StartString = std::string(key->name);
    delimiter->EndString = "&";
    engines.AddPhraseDelimiter(&engine, std::move(delimiter));
  }
  return std::make_pair(key->value_begin, key->value_end);
}

}  // namespace referrer

// True when the referring URL comes from a search engine. The URL is then
// URL-decoded in place, and the info receives the engine's name as the
// referrer name and the search phrase, when there is one; the caller adds
// the ItemID and category of the engine's item (401). False when day_stats
// counts none of engines, phrases and keywords, or the referrer is no
// engine: the caller then counts it as a referring site and page.
template <class Engines>
bool AnalyzeReferrer(Engines& engines, std::uint32_t day_stats, std::string& url, ReferrerInfo& info) {
  if ((day_stats & (kSearchEngineStats | kSearchPhraseStats | kKeywordStats)) == 0) return false;
  std::string host = referrer::ReferrerHost(url);
  if (host.find('.') == std::string::npos) return false;
  auto* engine = referrer::FindEngine(engines, host);
  if (engine == nullptr) engine = referrer::LearnEngine(engines, host, url);
  if (engine == nullptr) return false;

  UrlDecode(url);
  info.referrer_name = CutUtf8(engine->ServerName, ReferrerInfo::kReferrerNameMax);
  if (auto value = referrer::FindPhrase(engines, *engine, url)) {
    std::string phrase =
        NormalizePhrase(day_stats, std::string_view(url).substr(value->first, value->second - value->first));
    if (!phrase.empty()) info.search_phrase = std::move(phrase);
  }
  return true;
}

}  // namespace tf
