#include "engine/recognise/referrer_analysis.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>

#include "engine/common/ascii.h"
#include "engine/common/host_name.h"
#include "engine/common/text.h"
#include "engine/store/system_data.h"

namespace tf {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

// Longest texts of an engine learned from a referrer.
constexpr std::size_t kServerAddressMax = 99;
constexpr std::size_t kServerNameMax = 59;

// Well-known engines by domain. Three stand twice, the second time cut
// after ".co", so that their national domains (".co.uk", ".co.jp" ...)
// are recognised too.
constexpr std::string_view kBuiltInDomains[] = {
    "google.com", "google.co", "yahoo.com", "yahoo.co",  "ask.com",
    "ask.co",     "bing.com",  "baidu.com", "yandex.ru", "duckduckgo.com",
};

// Engine names that stand for the engine wherever they begin a label.
struct EngineLabel {
  std::string_view label;
  std::string_view domain;
};
constexpr EngineLabel kEngineLabels[] = {
    {"google.", "google.com"},
    {"yahoo.", "yahoo.com"},
    {"bing.", "bing.com"},
};

// Query parameters that commonly carry a search phrase, in the order they
// are tried ("search=" stands twice).
constexpr std::string_view kBuiltInKeys[] = {
    "q=",       "va=",       "term=",      "k=",          "keyword=",     "search=",        "keywords=",
    "search=",  "qry=",      "query=",     "querytext=",  "searchterm=",  "search_term=",   "search_string=",
    "keys=",    "category=", "highlight=", "mt=",         "terms=",       "searchfor=",     "qq=",
    "fstring=", "qkw=",      "qt=",        "s=",          "search_text=",
};
constexpr std::size_t kBuiltInKeyCount = std::size(kBuiltInKeys);

// The referrer's host: after "://", up to the first '/', at most 99 bytes,
// normalised.
std::string ReferrerHost(std::string_view url) {
  std::size_t begin = url.find("://");
  begin = begin == kNone ? 0 : begin + 3;
  std::size_t end = std::min(url.find('/', begin), url.size());
  std::string host(CutUtf8(url.substr(begin, end - begin), kServerAddressMax));
  NormalizeHost(host);
  return host;
}

bool IsAddressHost(std::string_view host) {
  return std::all_of(host.begin(), host.end(), [](char c) { return IsAsciiDigit(c) || c == '.'; });
}

// Bytes of UTF-8 characters count as letters: a query in another script is
// words too.
bool IsWordByte(char c) { return IsAsciiLetter(c) || static_cast<unsigned char>(c) >= 0x80; }

bool HasLetter(std::string_view text) { return std::any_of(text.begin(), text.end(), IsWordByte); }

// Where the labels of a host begin (hosts are at most 99 bytes).
class LabelStarts {
 public:
  explicit LabelStarts(std::string_view host) {
    starts_[count_++] = 0;
    for (std::size_t i = 0; i < host.size() && count_ < kMax; ++i) {
      if (host[i] == '.') starts_[count_++] = i + 1;
    }
  }
  const std::size_t* begin() const { return starts_; }
  const std::size_t* end() const { return starts_ + count_; }

 private:
  static constexpr std::size_t kMax = kServerAddressMax + 1;
  std::size_t starts_[kMax];
  std::size_t count_ = 0;
};

// The first built-in domain that the host holds as whole labels, so that a
// sub-domain in front or a national suffix behind still finds the engine,
// but a longer name that merely contains it does not.
std::string_view BuiltInDomain(std::string_view host, const LabelStarts& labels) {
  for (std::string_view domain : kBuiltInDomains) {
    for (std::size_t at : labels) {
      if (host.substr(at, domain.size()) != domain) continue;
      std::size_t end = at + domain.size();
      if (end == host.size() || host[end] == '.') return domain;
    }
  }
  return {};
}

bool BeginsLabel(std::string_view host, const LabelStarts& labels, std::string_view label) {
  for (std::size_t at : labels) {
    if (host.substr(at, label.size()) == label) return true;
  }
  return false;
}

// The engine of the host, also through the built-in domains and labels,
// which replace the host by the engine's domain.
SearchEngineEntry* FindEngine(CSystemData& system, std::string& host) {
  SearchEngineEntry* engine = system.FindSearchEngine(host);
  if (engine != nullptr) return engine;
  if (std::string_view domain = BuiltInDomain(host, LabelStarts(host)); !domain.empty()) {
    host = std::string(domain);
    engine = system.FindSearchEngine(host);
  }
  for (const EngineLabel& label : kEngineLabels) {
    if (engine != nullptr) break;
    if (!BeginsLabel(host, LabelStarts(host), label.label)) continue;
    host = std::string(label.domain);
    engine = system.FindSearchEngine(host);
  }
  return engine;
}

// A query parameter found in a URL: its name (without '=') and its value,
// which runs to the next '&' or the end.
struct QueryParameter {
  std::string_view name;
  std::size_t value_begin = 0;
  std::size_t value_end = 0;
  std::string_view value(std::string_view url) const { return url.substr(value_begin, value_end - value_begin); }
};

// The first built-in key, in list order, that the URL holds after a '?',
// else after a '&'.
std::optional<QueryParameter> FindBuiltInKey(std::string_view url) {
  // One pass over the parameters finds each key's first place after a '?'
  // and after a '&'.
  std::size_t after_question[kBuiltInKeyCount];
  std::size_t after_ampersand[kBuiltInKeyCount];
  std::fill(std::begin(after_question), std::end(after_question), kNone);
  std::fill(std::begin(after_ampersand), std::end(after_ampersand), kNone);
  for (std::size_t at = url.find_first_of("?&"); at != kNone; at = url.find_first_of("?&", at + 1)) {
    std::size_t* first = url[at] == '?' ? after_question : after_ampersand;
    std::string_view rest = url.substr(at + 1);
    for (std::size_t k = 0; k < kBuiltInKeyCount; ++k) {
      if (first[k] == kNone && StartsWithCaseless(rest, kBuiltInKeys[k])) first[k] = at + 1;
    }
  }
  for (std::size_t k = 0; k < kBuiltInKeyCount; ++k) {
    std::size_t at = after_question[k] != kNone ? after_question[k] : after_ampersand[k];
    if (at == kNone) continue;
    std::string_view key = kBuiltInKeys[k];
    QueryParameter parameter;
    parameter.name = key.substr(0, key.size() - 1);
    parameter.value_begin = at + key.size();
    parameter.value_end = std::min(url.find('&', parameter.value_begin), url.size());
    return parameter;
  }
  return std::nullopt;
}

std::unique_ptr<PhraseDelimiter> NewDelimiter(std::string_view key) {
  auto delimiter = std::make_unique<PhraseDelimiter>();
  delimiter->StartString = std::string(key);
  delimiter->EndString = "&";
  return delimiter;
}

// An unknown host whose URL carries a built-in key with a value of words
// becomes an engine named after the host, with that key.
SearchEngineEntry* LearnEngine(CSystemData& system, const std::string& host, std::string_view url) {
  if (IsAddressHost(host)) return nullptr;
  std::optional<QueryParameter> key = FindBuiltInKey(url);
  if (!key) return nullptr;
  std::string_view value = key->value(url);
  if (!HasLetter(value) || value.size() > 100) return nullptr;
  auto entry = std::make_unique<SearchEngineEntry>();
  entry->ServerAddress = std::string(CutUtf8(host, kServerAddressMax));
  entry->ServerName = std::string(CutUtf8(host, kServerNameMax));
  return system.AddSearchEngine(std::move(entry), NewDelimiter(key->name));
}

// Where the value of the parameter `name` starts after the separator;
// compared without regard to case; npos when it does not occur.
std::size_t FindValueAfter(std::string_view url, char separator, std::string_view name) {
  for (std::size_t at = url.find(separator); at != kNone; at = url.find(separator, at + 1)) {
    std::size_t equals = at + 1 + name.size();
    if (equals < url.size() && url[equals] == '=' && EqualsCaseless(url.substr(at + 1, name.size()), name)) {
      return equals + 1;
    }
  }
  return kNone;
}

bool HasKey(const SearchEngineEntry& engine, std::string_view name) {
  for (PhraseDelimiter* d = engine.delimiters.load(std::memory_order_acquire); d != nullptr; d = d->next) {
    if (EqualsCaseless(d->StartString, name)) return true;
  }
  return false;
}

// The search phrase's value in the decoded URL, as [begin, end): by the
// engine's first key that has a value, else by a built-in key, which the
// engine then learns.
std::optional<std::pair<std::size_t, std::size_t>> FindPhraseValue(CSystemData& system, SearchEngineEntry& engine,
                                                                   std::string_view url) {
  for (PhraseDelimiter* d = engine.delimiters.load(std::memory_order_acquire); d != nullptr; d = d->next) {
    std::size_t begin = FindValueAfter(url, '&', d->StartString);
    if (begin == kNone) begin = FindValueAfter(url, '?', d->StartString);
    if (begin == kNone || begin == url.size()) continue;
    if (!d->EndString.empty() && url[begin] == d->EndString[0]) continue;
    std::size_t end = d->EndString.empty() ? kNone : url.find(d->EndString, begin);
    if (end == kNone) end = std::min(url.find('&', begin), url.size());
    return std::make_pair(begin, end);
  }
  std::optional<QueryParameter> key = FindBuiltInKey(url);
  if (!key) return std::nullopt;
  std::string_view value = key->value(url);
  if (value.size() < 4 || value.size() > 99 || !HasLetter(value)) return std::nullopt;
  // A URL whose known key is empty where it is looked for first, but not
  // where the built-in search finds it, must not add that key once more on
  // every hit.
  if (!HasKey(engine, key->name)) system.AddPhraseDelimiter(&engine, NewDelimiter(key->name));
  return std::make_pair(key->value_begin, key->value_end);
}

// Bytes of UTF-8 characters are kept, so that a phrase in another script
// keeps its letters.
bool IsKeptPhraseByte(unsigned char c) {
  return c == '-' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= '_' && c <= 'z') || c >= 0x80;
}

}  // namespace

bool AnalyzeReferrer(CSystemData& system, std::uint32_t day_stats, std::string& url, ReferrerInfo& info) {
  if ((day_stats & (kSearchEngineStats | kSearchPhraseStats | kKeywordStats)) == 0) return false;
  std::string host = ReferrerHost(url);
  if (host.find('.') == std::string::npos) return false;
  SearchEngineEntry* engine = FindEngine(system, host);
  if (engine == nullptr) engine = LearnEngine(system, host, url);
  if (engine == nullptr) return false;

  UrlDecode(url);
  info.referrer_name = CutUtf8(engine->ServerName, ReferrerInfo::kReferrerNameMax);
  if (auto value = FindPhraseValue(system, *engine, url)) {
    std::string phrase = NormalizePhrase(day_stats, std::string_view(url).substr(value->first, value->second - value->first));
    if (!phrase.empty()) info.search_phrase = std::move(phrase);
  }
  return true;
}

std::string NormalizePhrase(std::uint32_t day_stats, std::string_view value) {
  if ((day_stats & (kSearchPhraseStats | kKeywordStats)) == 0) return {};
  std::size_t i = 0;
  if (StartsWithCaseless(value, "cache:")) {
    // A cached page's query: the cached address, then the words.
    i = value.find(' ');
    if (i == kNone) return {};
    while (i < value.size() && static_cast<unsigned char>(value[i]) < '-') ++i;
    if (i == value.size()) return {};
  }
  // A few bytes past the limit show whether the cut splits a character.
  constexpr std::size_t kLookAhead = 4;
  std::string phrase;
  while (i < value.size() && phrase.size() < ReferrerInfo::kSearchPhraseMax + kLookAhead) {
    auto c = static_cast<unsigned char>(value[i++]);
    if (c == '%' && i + 1 < value.size() && IsHexDigit(value[i]) && IsHexDigit(value[i + 1])) {
      c = static_cast<unsigned char>(HexToInt(value.substr(i, 2)));
      i += 2;
    }
    if (IsKeptPhraseByte(c)) {
      phrase.push_back(ToLowerAscii(static_cast<char>(c)));
    } else if (!phrase.empty() && phrase.back() != ' ') {
      phrase.push_back(' ');
    }
  }
  phrase.resize(CutUtf8(phrase, ReferrerInfo::kSearchPhraseMax).size());
  while (!phrase.empty() && phrase.back() == ' ') phrase.pop_back();
  return phrase;
}

}  // namespace tf
