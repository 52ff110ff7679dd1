#include "engine/analysis/referrer_analysis.h"

#include <algorithm>
#include <iterator>

#include "engine/analysis/host_name.h"
#include "engine/common/text.h"

namespace tf {
namespace {

// Well-known engines by domain. Three stand twice, the second time cut
// after ".co", so that their national domains (".co.uk", ".co.jp" ...)
// are recognised too.
constexpr std::string_view kBuiltInDomains[] = {
    "google.com", "google.co", "yahoo.com", "yahoo.co",  "ask.com",
    "ask.co",     "bing.com",  "baidu.com", "yandex.ru", "duckduckgo.com",
};

struct EngineLabel {
  std::string_view label;
  std::string_view domain;
};
constexpr EngineLabel kEngineLabels[referrer::kEngineLabelCount] = {
    {"google.", "google.com"},
    {"yahoo.", "yahoo.com"},
    {"bing.", "bing.com"},
};

// Query parameters that commonly carry a search phrase, in the order they
// are tried. ("search=" stands twice; the list is kept as it was tuned.)
constexpr std::string_view kBuiltInKeys[] = {
    "q=",        "va=",       "term=",        "k=",           "keyword=",       "search=",        "keywords=",
    "search=",   "qry=",      "query=",       "querytext=",   "searchterm=",    "search_term=",   "search_string=",
    "keys=",     "category=", "highlight=",   "mt=",          "terms=",         "searchfor=",     "qq=",
    "fstring=",  "qkw=",      "qt=",          "s=",           "search_text=",
};
constexpr std::size_t kBuiltInKeyCount = std::size(kBuiltInKeys);

constexpr std::size_t kNone = std::string_view::npos;

// An occurrence of `part` at `at` that is made of whole labels of the host.
bool IsWholeLabels(std::string_view host, std::size_t at, std::size_t length) {
  bool starts = at == 0 || host[at - 1] == '.';
  bool ends = at + length == host.size() || host[at + length] == '.';
  return starts && ends;
}

bool IsKeptPhraseByte(unsigned char c) {
  return c == '-' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= '_' && c <= 'z');
}

}  // namespace

std::string NormalizePhrase(std::uint32_t day_stats, std::string_view value) {
  if ((day_stats & (kSearchPhraseStats | kKeywordStats)) == 0) return {};
  std::size_t i = 0;
  if (StartsWithCaseless(value, "cache:")) {
    // A cached page's query: the cached address, then the words.
    i = value.find(' ');
    if (i == kNone) return {};
    while (i < value.size() && static_cast<signed char>(value[i]) < '-') ++i;
    if (i == value.size()) return {};
  }
  std::string phrase;
  while (i < value.size() && phrase.size() < ReferrerInfo::kSearchPhraseMax) {
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
  while (!phrase.empty() && phrase.back() == ' ') phrase.pop_back();
  return phrase;
}

namespace referrer {

std::string ReferrerHost(std::string_view url) {
  std::size_t begin = url.find("://");
  begin = begin == kNone ? 0 : begin + 3;
  std::size_t end = std::min(url.find('/', begin), url.size());
  std::string host(CutUtf8(url.substr(begin, end - begin), kServerAddressMax));
  NormalizeHost(host);
  return host;
}

bool IsAddressHost(std::string_view host) {
  return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) { return IsAsciiDigit(c) || c == '.'; });
}

std::string_view BuiltInDomain(std::string_view host) {
  for (std::string_view domain : kBuiltInDomains) {
    for (std::size_t at = host.find(domain); at != kNone; at = host.find(domain, at + 1)) {
      if (IsWholeLabels(host, at, domain.size())) return domain;
    }
  }
  return {};
}

std::string_view LabelDomain(std::string_view host, std::size_t i) {
  std::string_view label = kEngineLabels[i].label;
  for (std::size_t at = host.find(label); at != kNone; at = host.find(label, at + 1)) {
    if (at == 0 || host[at - 1] == '.') return kEngineLabels[i].domain;
  }
  return {};
}

std::optional<QueryParameter> FindBuiltInKey(std::string_view url) {
  // One pass over the parameters finds, for every key, its first place
  // after a '?' and after a '&'.
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

bool HasLetter(std::string_view text) { return std::any_of(text.begin(), text.end(), IsAsciiLetter); }

namespace {

std::size_t FindValueAfter(std::string_view url, char separator, std::string_view name) {
  for (std::size_t at = url.find(separator); at != kNone; at = url.find(separator, at + 1)) {
    std::size_t equals = at + 1 + name.size();
    if (equals < url.size() && url[equals] == '=' && EqualsCaseless(url.substr(at + 1, name.size()), name)) {
      return equals + 1;
    }
  }
  return kNone;
}

}  // namespace

std::size_t FindParameterValue(std::string_view url, std::string_view name) {
  std::size_t at = FindValueAfter(url, '&', name);
  return at != kNone ? at : FindValueAfter(url, '?', name);
}

std::size_t PhraseValueEnd(std::string_view url, std::size_t begin, std::string_view end_string) {
  std::size_t end = end_string.empty() ? kNone : url.find(end_string, begin);
  if (end == kNone) end = url.find('&', begin);
  return end == kNone ? url.size() : end;
}

}  // namespace referrer
}  // namespace tf
