#include "platform/db/jet_sql.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <initializer_list>

#include "platform/db/error.h"
#include "platform/db/jet_date.h"
#include "platform/db/text.h"

namespace tf::db {
namespace {

enum class Kind { kWord, kName, kString, kDate, kNumber, kParam, kSymbol };

struct Token {
  Kind kind;
  // Word, number, symbol: as written. Name and string: the unquoted value.
  // Date: the stored form.
  std::string text;
  std::string space = " ";  // white space before the token
  bool collate = false;     // a string compared without regard to case
};

using Tokens = std::vector<Token>;

[[noreturn]] void Fail(const std::string& message) { throw Error(SQLITE_ERROR, message); }

bool IsWord(const Token& t, std::string_view upper) { return t.kind == Kind::kWord && SameText(t.text, upper); }

bool IsWordIn(const Token& t, std::initializer_list<std::string_view> words) {
  if (t.kind != Kind::kWord) return false;
  return std::any_of(words.begin(), words.end(), [&](std::string_view w) { return SameText(t.text, w); });
}

bool IsSymbol(const Token& t, std::string_view text) { return t.kind == Kind::kSymbol && t.text == text; }

Token Raw(std::string text, Kind kind = Kind::kSymbol) { return Token{kind, std::move(text)}; }

// ---------------------------------------------------------------------------
// Tokenizer

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsWordStart(unsigned char c) {
  unsigned char lower = c | 0x20;
  return (lower >= 'a' && lower <= 'z') || c == '_' || c >= 0x80;
}
bool IsWordChar(unsigned char c) { return IsWordStart(c) || IsDigit(c) || c == '$'; }

class Tokenizer {
 public:
  explicit Tokenizer(std::string_view sql) : sql_(sql) {}

  Tokens Run() {
    Tokens tokens;
    tokens.reserve(sql_.size() / 4 + 4);
    while (true) {
      std::size_t start = pos_;
      while (pos_ < sql_.size() && std::isspace(static_cast<unsigned char>(sql_[pos_]))) ++pos_;
      std::string space(sql_.substr(start, pos_ - start));
      if (pos_ == sql_.size()) break;
      Token token = Next();
      token.space = std::move(space);
      tokens.push_back(std::move(token));
    }
    // A statement may end with ';'; nothing may follow it.
    while (!tokens.empty() && IsSymbol(tokens.back(), ";")) tokens.pop_back();
    for (const Token& t : tokens) {
      if (IsSymbol(t, ";")) Fail("Characters found after end of SQL statement.");
    }
    return tokens;
  }

 private:
  Token Next() {
    unsigned char c = static_cast<unsigned char>(sql_[pos_]);
    if (IsWordStart(c)) {
      std::size_t start = pos_;
      while (pos_ < sql_.size() && IsWordChar(static_cast<unsigned char>(sql_[pos_]))) ++pos_;
      return Raw(std::string(sql_.substr(start, pos_ - start)), Kind::kWord);
    }
    if (IsDigit(c) || (c == '.' && pos_ + 1 < sql_.size() && IsDigit(static_cast<unsigned char>(sql_[pos_ + 1])))) {
      return NumberToken();
    }
    switch (c) {
      case '\'':
      case '"':
        return Raw(Quoted(static_cast<char>(c)), Kind::kString);
      case '[': {
        std::size_t end = sql_.find(']', pos_ + 1);
        if (end == std::string_view::npos) {
          Fail("Invalid bracketing of name '" + std::string(sql_.substr(pos_)) + "'.");
        }
        Token t = Raw(std::string(sql_.substr(pos_ + 1, end - pos_ - 1)), Kind::kName);
        pos_ = end + 1;
        return t;
      }
      case '#': {
        std::size_t end = sql_.find('#', pos_ + 1);
        std::optional<DateParts> date;
        if (end != std::string_view::npos) date = ParseJetDate(sql_.substr(pos_ + 1, end - pos_ - 1));
        if (!date) {
          std::string_view shown = sql_.substr(pos_, end == std::string_view::npos ? end : end - pos_ + 1);
          Fail("Syntax error in date in query expression '" + std::string(shown) + "'.");
        }
        pos_ = end + 1;
        return Raw(FormatStoredDate(*date), Kind::kDate);
      }
      case '?':
        ++pos_;
        return Raw("?", Kind::kParam);
      default:
        break;
    }
    static const std::string_view kPairs[] = {"<>", "<=", ">=", "!=", "==", "||", "<<", ">>"};
    if (pos_ + 1 < sql_.size() && std::string_view("<>!=|").find(sql_[pos_]) != std::string_view::npos) {
      for (std::string_view pair : kPairs) {
        if (sql_.compare(pos_, 2, pair) == 0) {
          pos_ += 2;
          return Raw(std::string(pair));
        }
      }
    }
    ++pos_;
    return Raw(std::string(1, static_cast<char>(c)));
  }

  Token NumberToken() {
    std::size_t start = pos_;
    auto digits = [&] {
      while (pos_ < sql_.size() && IsDigit(static_cast<unsigned char>(sql_[pos_]))) ++pos_;
    };
    digits();
    if (pos_ < sql_.size() && sql_[pos_] == '.') {
      ++pos_;
      digits();
    }
    if (pos_ < sql_.size() && (sql_[pos_] == 'e' || sql_[pos_] == 'E')) {
      std::size_t mark = pos_++;
      if (pos_ < sql_.size() && (sql_[pos_] == '+' || sql_[pos_] == '-')) ++pos_;
      if (pos_ < sql_.size() && IsDigit(static_cast<unsigned char>(sql_[pos_]))) {
        digits();
      } else {
        pos_ = mark;
      }
    }
    return Raw(std::string(sql_.substr(start, pos_ - start)), Kind::kNumber);
  }

  // A literal between `quote`s; a doubled quote stands for one.
  std::string Quoted(char quote) {
    std::string value;
    std::size_t i = pos_ + 1;
    while (true) {
      if (i >= sql_.size()) {
        Fail("Syntax error in string in query expression '" + std::string(sql_.substr(pos_)) + "'.");
      }
      if (sql_[i] == quote) {
        if (i + 1 < sql_.size() && sql_[i + 1] == quote) {
          value += quote;
          i += 2;
          continue;
        }
        break;
      }
      value += sql_[i++];
    }
    pos_ = i + 1;
    return value;
  }

  std::string_view sql_;
  std::size_t pos_ = 0;
};

// ---------------------------------------------------------------------------
// Rendering

std::string RenderToken(const Token& t) {
  switch (t.kind) {
    case Kind::kName:
      return Quote(t.text, '"');
    case Kind::kString:
      return Quote(t.text, '\'') + (t.collate ? " COLLATE NOCASE" : "");
    case Kind::kDate:
      return Quote(t.text, '\'');
    default:
      return t.text;
  }
}

std::string Render(const Tokens& tokens) {
  std::string out;
  for (const Token& t : tokens) {
    std::string text = RenderToken(t);
    out += t.space;
    // Two symbols that met by a rewrite must not open or close a comment.
    if (t.space.empty() && !out.empty()) {
      char last = out.back(), first = text.front();
      if ((last == '-' && first == '-') || (last == '/' && first == '*') ||
          (last == '*' && first == '/')) {
        out += ' ';
      }
    }
    out += text;
  }
  return out;
}

// ---------------------------------------------------------------------------
// Structure: parenthesis depth, clauses, lists

// Depth of each token: the number of parentheses open before it (a
// parenthesis itself has the depth outside it).
std::vector<int> Depths(const Tokens& t) {
  std::vector<int> depth(t.size());
  int d = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (IsSymbol(t[i], ")") && d > 0) --d;
    depth[i] = d;
    if (IsSymbol(t[i], "(")) ++d;
  }
  return depth;
}

struct Range {
  std::size_t begin, end;
  bool empty() const { return begin >= end; }
};

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// First token in [from, to) at `depth` for which `match` holds.
template <typename Match>
std::size_t FindAt(const Tokens& t, const std::vector<int>& depth, std::size_t from, std::size_t to,
                   int at, Match match) {
  for (std::size_t i = from; i < to && i < t.size(); ++i) {
    if (depth[i] == at && match(i)) return i;
  }
  return kNone;
}

// Where a two-word clause ("GROUP BY", "ORDER BY") starts at `at`.
std::size_t FindClause(const Tokens& t, const std::vector<int>& depth, std::size_t from,
                       std::size_t to, int at, std::string_view word) {
  return FindAt(t, depth, from, to, at, [&](std::size_t i) {
    return IsWord(t[i], word) && i + 1 < t.size() && IsWord(t[i + 1], "BY");
  });
}

std::vector<Range> SplitList(const Tokens& t, const std::vector<int>& depth, Range r, int at) {
  std::vector<Range> parts;
  std::size_t start = r.begin;
  for (std::size_t i = r.begin; i < r.end; ++i) {
    if (depth[i] == at && IsSymbol(t[i], ",")) {
      parts.push_back({start, i});
      start = i + 1;
    }
  }
  parts.push_back({start, r.end});
  return parts;
}

Tokens Slice(const Tokens& t, Range r) { return Tokens(t.begin() + r.begin, t.begin() + r.end); }

void Append(Tokens& out, const Tokens& more) { out.insert(out.end(), more.begin(), more.end()); }

// Where the body of a clause at `at` ends: at the next clause, the
// parenthesis that closes its select, or the end.
std::size_t ClauseEnd(const Tokens& t, const std::vector<int>& depth, std::size_t from, int at) {
  for (std::size_t i = from; i < t.size(); ++i) {
    if (depth[i] < at) return i;  // the parenthesis that closes the select
    if (depth[i] == at &&
        IsWordIn(t[i], {"HAVING", "ORDER", "LIMIT", "UNION", "EXCEPT", "INTERSECT", "WINDOW"})) {
      return i;
    }
  }
  return t.size();
}

int ParamIndex(const Tokens& t, std::size_t at) {
  int n = 0;
  for (std::size_t i = 0; i < at; ++i) n += t[i].kind == Kind::kParam;
  return n;
}

// ---------------------------------------------------------------------------
// Rewrites of statements that read and write rows

bool IsNameToken(const Token& t) { return t.kind == Kind::kWord || t.kind == Kind::kName; }

void RewriteOperators(Tokens& t) {
  for (std::size_t i = 0; i < t.size(); ++i) {
    Token& tok = t[i];
    if (IsSymbol(tok, "/")) {
      tok.text = "*1.0/";  // the multiplication binds to everything left of '/'
    } else if (IsSymbol(tok, "&")) {
      tok.text = "||";
    } else if (IsWord(tok, "MOD")) {
      tok = Token{Kind::kSymbol, "%", tok.space};
    } else if (tok.kind == Kind::kString) {
      tok.collate = !(i > 0 && IsWord(t[i - 1], "AS"));
    }
  }
}

// "DELETE * FROM t" and "DELETE t.* FROM t" are "DELETE FROM t".
void RewriteDelete(Tokens& t) {
  std::vector<int> depth = Depths(t);
  std::size_t from = FindAt(t, depth, 1, t.size(), 0, [&](std::size_t i) { return IsWord(t[i], "FROM"); });
  if (from != kNone && from > 1) t.erase(t.begin() + 1, t.begin() + static_cast<long>(from));
}

// Texts and parameters that an INSERT or UPDATE writes into date columns.
class DateTargets {
 public:
  DateTargets(Tokens& t, const SchemaLookup& schema, Translation& out) : t_(t), schema_(schema), out_(out) {}

  void Run() {
    bool insert = IsWord(t_[0], "INSERT");
    if (!insert && !IsWord(t_[0], "UPDATE")) return;
    depth_ = Depths(t_);
    if (insert) {
      Insert();
    } else {
      Update();
    }
  }

 private:
  bool LoadTable(std::size_t at) {
    if (at >= t_.size() || !IsNameToken(t_[at]) || !schema_) return false;
    columns_ = schema_(t_[at].text);
    return columns_ != nullptr;
  }

  bool IsDateColumn(std::string_view name) const {
    for (const ColumnInfo& c : *columns_) {
      if (SameText(c.name, name)) return IsDateType(c.declared_type);
    }
    return false;
  }

  void Insert() {
    if (t_.size() < 4 || !IsWord(t_[1], "INTO") || !LoadTable(2)) return;
    std::size_t at = 3;
    std::vector<std::string> names;
    if (IsSymbol(t_[at], "(")) {
      std::size_t close = Close(at);
      for (Range r : SplitList(t_, depth_, {at + 1, close}, depth_[at] + 1)) {
        if (r.end - r.begin == 1) names.push_back(t_[r.begin].text);
        else names.emplace_back();
      }
      at = close + 1;
    } else {
      for (const ColumnInfo& c : *columns_) names.push_back(c.name);
    }
    if (at + 1 >= t_.size() || !IsWord(t_[at], "VALUES") || !IsSymbol(t_[at + 1], "(")) return;
    std::vector<Range> values =
        SplitList(t_, depth_, {at + 2, Close(at + 1)}, depth_[at + 1] + 1);
    for (std::size_t i = 0; i < values.size() && i < names.size(); ++i) Target(names[i], values[i]);
  }

  void Update() {
    if (t_.size() < 3 || !LoadTable(1) || !IsWord(t_[2], "SET")) return;
    std::size_t where = FindAt(t_, depth_, 3, t_.size(), 0, [&](std::size_t i) { return IsWord(t_[i], "WHERE"); });
    if (where == kNone) where = t_.size();
    for (Range r : SplitList(t_, depth_, {3, where}, 0)) {
      if (r.end - r.begin >= 3 && IsSymbol(t_[r.begin + 1], "=")) {
        Target(t_[r.begin].text, {r.begin + 2, r.end});
      }
    }
  }

  std::size_t Close(std::size_t open) const {
    for (std::size_t i = open + 1; i < t_.size(); ++i) {
      if (depth_[i] == depth_[open] && IsSymbol(t_[i], ")")) return i;
    }
    return t_.size();
  }

  void Target(std::string_view column, Range value) {
    if (value.end - value.begin != 1 || !IsDateColumn(column)) return;
    Token& tok = t_[value.begin];
    if (tok.kind == Kind::kParam) {
      std::size_t index = static_cast<std::size_t>(ParamIndex(t_, value.begin));
      if (out_.date_params.size() <= index) out_.date_params.resize(index + 1);
      out_.date_params[index] = true;
    } else if (tok.kind == Kind::kString) {
      std::optional<DateParts> date = ParseDateText(tok.text);
      if (date) tok = Token{Kind::kDate, FormatStoredDate(*date), tok.space};
    }
  }

  Tokens& t_;
  const SchemaLookup& schema_;
  Translation& out_;
  std::vector<int> depth_;
  const std::vector<ColumnInfo>* columns_ = nullptr;
};

// Whether a column of this declared type holds numbers or dates only: an
// INTEGER, REAL or date column (dates are stored in one digit form).
bool HoldsNoText(std::string_view declared_type) {
  if (IsDateType(declared_type)) return true;
  constexpr std::string_view kNumeric[] = {"INT",      "REAL",    "FLOA",   "DOUB",
                                           "CURRENCY", "NUMERIC", "DECIMAL"};
  for (std::string_view numeric : kNumeric) {
    if (ContainsText(declared_type, numeric)) return true;
  }
  return false;
}

// Whether the statement gives `name` to something anew: after AS, or in the
// column list of a common table expression ("WITH t(name, ...) AS"), which a
// function call followed by AS also looks like, to no harm.
bool IsRenamed(const Tokens& t, std::string_view name) {
  std::vector<int> depth = Depths(t);
  for (std::size_t i = 1; i < t.size(); ++i) {
    if (IsWord(t[i - 1], "AS") && SameText(t[i].text, name)) return true;
    if (!IsSymbol(t[i], "(") || !IsNameToken(t[i - 1]) || i < 2 ||
        !(IsWordIn(t[i - 2], {"WITH", "RECURSIVE"}) || IsSymbol(t[i - 2], ","))) {
      continue;
    }
    std::size_t close = FindAt(t, depth, i + 1, t.size(), depth[i],
                               [&](std::size_t k) { return IsSymbol(t[k], ")"); });
    if (close == kNone || close + 1 >= t.size() || !IsWord(t[close + 1], "AS")) continue;
    for (std::size_t k = i + 1; k < close; ++k) {
      if (IsNameToken(t[k]) && SameText(t[k].text, name)) return true;
    }
  }
  return false;
}

// Whether the GROUP BY term `r` is a bare column (perhaps qualified) that
// every table of the statement declares without text, and that no "AS"
// names anew. Grouping such a column by case-free text would only keep the
// rows from coming in the order of an index on it, and cost a sort.
bool IsNonTextColumn(const Tokens& t, Range r, const SchemaLookup& schema) {
  if (!schema) return false;
  const std::size_t size = r.end - r.begin;
  if (size != 1 && !(size == 3 && IsNameToken(t[r.begin]) && IsSymbol(t[r.begin + 1], "."))) {
    return false;
  }
  const Token& column = t[r.end - 1];
  if (!IsNameToken(column)) return false;
  if (IsRenamed(t, column.text)) return false;
  bool found = false;
  // Tables stand after FROM, JOIN, a comma, or an opening parenthesis (a
  // join in parentheses).
  for (std::size_t i = 1; i < t.size(); ++i) {
    const bool after_list_start = IsWordIn(t[i - 1], {"FROM", "JOIN"}) ||
                                  IsSymbol(t[i - 1], ",") || IsSymbol(t[i - 1], "(");
    if (!IsNameToken(t[i]) || !after_list_start) continue;
    const std::vector<ColumnInfo>* columns = schema(t[i].text);
    if (columns == nullptr) continue;
    for (const ColumnInfo& c : *columns) {
      if (!SameText(c.name, column.text)) continue;
      if (!HoldsNoText(c.declared_type)) return false;
      found = true;
    }
  }
  return found;
}

// Every GROUP BY term compares text without regard to case; columns that
// hold no text are grouped as they are.
void CollateGroupBy(Tokens& t, const SchemaLookup& schema) {
  for (std::size_t i = 0; i + 1 < t.size(); ++i) {
    if (!IsWord(t[i], "GROUP") || !IsWord(t[i + 1], "BY")) continue;
    std::vector<int> depth = Depths(t);
    int at = depth[i];
    std::size_t end = ClauseEnd(t, depth, i + 2, at);
    std::vector<Range> terms = SplitList(t, depth, {i + 2, end}, at);
    for (auto r = terms.rbegin(); r != terms.rend(); ++r) {
      if (r->empty() || IsNonTextColumn(t, *r, schema)) continue;
      bool has_collate = false;
      for (std::size_t k = r->begin; k < r->end; ++k) has_collate |= IsWord(t[k], "COLLATE");
      if (!has_collate) t.insert(t.begin() + static_cast<long>(r->end), Raw("COLLATE NOCASE", Kind::kWord));
    }
  }
}

// "TOP n" after SELECT [DISTINCT]; removes it and gives n (empty if none).
std::string TakeTop(Tokens& t, std::size_t select, bool* distinct) {
  std::size_t i = select + 1;
  if (i < t.size() && IsWordIn(t[i], {"DISTINCT", "DISTINCTROW", "ALL"})) {
    if (distinct) *distinct = !IsWord(t[i], "ALL");
    if (IsWord(t[i], "DISTINCTROW")) t[i].text = "DISTINCT";
    ++i;
  }
  if (i + 1 >= t.size() || !IsWord(t[i], "TOP") || t[i + 1].kind != Kind::kNumber) return "";
  std::string n = t[i + 1].text;
  if (n.find_first_not_of("0123456789") != std::string::npos) {
    Fail("The SELECT statement includes a reserved word or an argument name that is misspelled or missing, or the punctuation is incorrect.");
  }
  if (i + 2 < t.size() && IsWord(t[i + 2], "PERCENT")) Fail("TOP n PERCENT is not supported.");
  t.erase(t.begin() + static_cast<long>(i), t.begin() + static_cast<long>(i + 2));
  return n;
}

// TOP in a sub-select: the first n rows (ties are kept only at the top level).
void RewriteNestedTop(Tokens& t) {
  for (std::size_t s = t.size(); s-- > 0;) {
    if (!IsWord(t[s], "SELECT")) continue;
    std::vector<int> depth = Depths(t);
    if (depth[s] == 0) continue;
    std::string n = TakeTop(t, s, nullptr);
    if (n.empty()) continue;
    depth = Depths(t);
    std::size_t close = FindAt(t, depth, s, t.size(), depth[s] - 1,
                               [&](std::size_t i) { return IsSymbol(t[i], ")"); });
    if (close == kNone) close = t.size();
    t.insert(t.begin() + static_cast<long>(close), {Raw("LIMIT", Kind::kWord), Raw(n, Kind::kNumber)});
  }
}

bool IsAggregate(const Token& t) {
  return IsWordIn(t, {"COUNT", "SUM", "AVG", "MIN", "MAX", "TOTAL", "GROUP_CONCAT", "FIRST", "LAST", "STDEV",
                      "STDEVP", "VAR", "VARP"});
}

// The top-level SELECT: Jet's TOP with ties, group order, and the row id of
// a plain one-table select.
class TopSelect {
 public:
  TopSelect(Tokens& t, Translation& out) : t_(t), out_(out) {}

  void Run(bool want_row_id) {
    bool distinct = false;
    std::string top = TakeTop(t_, 0, &distinct);
    list_begin_ = 1;
    if (list_begin_ < t_.size() && IsWordIn(t_[list_begin_], {"DISTINCT", "ALL"})) ++list_begin_;
    depth_ = Depths(t_);
    from_ = FindAt(t_, depth_, list_begin_, t_.size(), 0, [&](std::size_t i) { return IsWord(t_[i], "FROM"); });
    std::size_t group = FindClause(t_, depth_, list_begin_, t_.size(), 0, "GROUP");
    std::size_t order = FindClause(t_, depth_, list_begin_, t_.size(), 0, "ORDER");
    bool compound = FindAt(t_, depth_, 0, t_.size(), 0, [&](std::size_t i) {
                      return IsWordIn(t_[i], {"UNION", "EXCEPT", "INTERSECT"});
                    }) != kNone;
    if (group != kNone && order == kNone && !compound) {
      // Jet hands grouped rows out in group order; callers walk them so.
      Tokens terms = Slice(t_, {group + 2, ClauseEnd(t_, depth_, group + 2, 0)});
      t_.push_back(Raw("ORDER", Kind::kWord));
      t_.push_back(Raw("BY", Kind::kWord));
      Append(t_, terms);
    }
    if (!top.empty()) {
      if (order != kNone && !distinct && !compound && from_ != kNone) {
        RankTies(top, order);
      } else {
        t_.push_back(Raw("LIMIT", Kind::kWord));
        t_.push_back(Raw(top, Kind::kNumber));
      }
      return;
    }
    if (want_row_id && !distinct && !compound && group == kNone) AddRowId();
  }

 private:
  // SELECT TOP n list FROM body ORDER BY keys becomes
  //   SELECT * FROM (SELECT list, RANK() OVER (ORDER BY keys) AS tf_rank_
  //                  FROM body) WHERE tf_rank_ <= n ORDER BY tf_rank_
  // so the rows tied with the n-th are returned too.
  void RankTies(const std::string& n, std::size_t order) {
    std::vector<Range> items = SplitList(t_, depth_, {list_begin_, from_}, 0);
    Tokens keys;
    for (Range key : SplitList(t_, depth_, {order + 2, t_.size()}, 0)) {
      if (!keys.empty()) keys.push_back(Raw(","));
      Append(keys, OrderKey(key, items));
    }
    Tokens out = {Raw("SELECT", Kind::kWord), Raw("*"), Raw("FROM", Kind::kWord), Raw("(")};
    out.front().space = t_.front().space;
    Append(out, Slice(t_, {0, from_}));
    out.push_back(Raw(","));
    out.push_back(Raw("RANK() OVER (ORDER BY", Kind::kWord));
    Append(out, keys);
    for (const char* word : {")", "AS", "tf_rank_"}) out.push_back(Raw(word, Kind::kWord));
    Append(out, Slice(t_, {from_, order}));
    for (const char* word : {")", "WHERE", "tf_rank_", "<="}) out.push_back(Raw(word, Kind::kWord));
    out.push_back(Raw(n, Kind::kNumber));
    for (const char* word : {"ORDER", "BY", "tf_rank_"}) out.push_back(Raw(word, Kind::kWord));
    out[4].space = " ";
    t_ = std::move(out);
    out_.hidden_columns = 1;
  }

  // An ORDER BY term with a select-list alias or position replaced by the
  // expression it names (the window cannot see the aliases).
  Tokens OrderKey(Range key, const std::vector<Range>& items) {
    std::size_t end = key.end;
    Tokens direction;
    if (end > key.begin + 1 && IsWordIn(t_[end - 1], {"ASC", "DESC"})) direction.push_back(t_[--end]);
    Tokens term = Slice(t_, {key.begin, end});
    if (term.size() == 1) {
      const Token& only = term[0];
      for (std::size_t k = 0; k < items.size(); ++k) {
        Range item = items[k];
        bool by_alias = (only.kind == Kind::kWord || only.kind == Kind::kName) && item.end - item.begin >= 3 &&
                        IsWord(t_[item.end - 2], "AS") && SameText(t_[item.end - 1].text, only.text);
        bool by_position = only.kind == Kind::kNumber && only.text == std::to_string(k + 1);
        if (!by_alias && !by_position) continue;
        Tokens expr = {Raw("(")};
        Append(expr, Slice(t_, {item.begin, by_alias ? item.end - 2 : item.end}));
        expr.push_back(Raw(")"));
        term = std::move(expr);
        break;
      }
    }
    Append(term, direction);
    return term;
  }

  // A plain SELECT over one table also returns the row id, so that its
  // rows can be updated.
  void AddRowId() {
    if (from_ == kNone || from_ + 1 >= t_.size()) return;
    for (std::size_t i = list_begin_; i + 1 < from_; ++i) {
      if (IsSymbol(t_[i + 1], "(") && IsAggregate(t_[i])) return;
    }
    const Token& table = t_[from_ + 1];
    if (table.kind != Kind::kWord && table.kind != Kind::kName) return;
    static const std::initializer_list<std::string_view> kClauses = {
        "WHERE", "ORDER", "GROUP", "HAVING", "LIMIT", "UNION", "EXCEPT", "INTERSECT",
        "JOIN",  "INNER", "LEFT",  "RIGHT",  "CROSS", "NATURAL", "OUTER", "ON", "WINDOW"};
    std::size_t i = from_ + 2;
    const Token* reference = &table;
    if (i < t_.size() && IsWord(t_[i], "AS")) ++i;
    if (i < t_.size() && (t_[i].kind == Kind::kName ||
                          (t_[i].kind == Kind::kWord && !IsWordIn(t_[i], kClauses)))) {
      reference = &t_[i++];
    }
    if (i < t_.size() && !IsWord(t_[i], "WHERE") && !IsWord(t_[i], "ORDER")) return;
    out_.table = table.text;
    Token ref = *reference;
    ref.space = "";
    Tokens added = {Raw(","), Raw(RenderToken(ref) + ".rowid", Kind::kWord), Raw("AS", Kind::kWord),
                    Raw(kRowIdColumn, Kind::kWord)};
    t_.insert(t_.begin() + static_cast<long>(from_), added.begin(), added.end());
    out_.hidden_columns = 1;
    out_.has_row_id = true;
  }

  Tokens& t_;
  Translation& out_;
  std::vector<int> depth_;
  std::size_t list_begin_ = 1;
  std::size_t from_ = kNone;
};

// ---------------------------------------------------------------------------
// Data definition

enum class TypeClass { kOther, kText, kCounter, kInteger, kReal, kBinary };

TypeClass ClassifyType(std::string_view type) {
  std::string up = AsciiUpper(type);
  auto in = [&](std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), up) != names.end();
  };
  if (in({"TEXT", "VARCHAR", "NVARCHAR", "CHAR", "NCHAR", "CHARACTER", "STRING", "MEMO", "LONGTEXT",
          "LONGCHAR", "NOTE", "NTEXT", "ALPHANUMERIC", "CLOB"})) {
    return TypeClass::kText;
  }
  if (in({"COUNTER", "AUTOINCREMENT", "IDENTITY"})) return TypeClass::kCounter;
  if (in({"LONG", "SHORT", "BYTE", "BIT", "YESNO", "LOGICAL", "LOGICAL1", "BOOLEAN", "INTEGER1",
          "INTEGER2", "INTEGER4", "SMALLINT", "TINYINT", "INT", "INTEGER", "BIGINT"})) {
    return TypeClass::kInteger;
  }
  if (in({"DOUBLE", "FLOAT", "FLOAT4", "FLOAT8", "REAL", "SINGLE", "IEEEDOUBLE", "IEEESINGLE", "NUMBER",
          "CURRENCY", "MONEY"})) {
    return TypeClass::kReal;
  }
  if (in({"BINARY", "VARBINARY", "LONGBINARY", "OLEOBJECT", "IMAGE", "GENERAL"})) return TypeClass::kBinary;
  return TypeClass::kOther;
}

// Removes "[CONSTRAINT name] PRIMARY KEY" from a column's constraints.
void DropPrimaryKey(Tokens& rest) {
  for (std::size_t i = 0; i + 1 < rest.size(); ++i) {
    if (!IsWord(rest[i], "PRIMARY") || !IsWord(rest[i + 1], "KEY")) continue;
    std::size_t begin = (i >= 2 && IsWord(rest[i - 2], "CONSTRAINT")) ? i - 2 : i;
    rest.erase(rest.begin() + static_cast<long>(begin), rest.begin() + static_cast<long>(i + 2));
    return;
  }
}

// Jet's "WITH COMPRESSION" (or "WITH COMP") on text columns means nothing here.
void DropCompression(Tokens& rest) {
  for (std::size_t i = 0; i + 1 < rest.size(); ++i) {
    if (IsWord(rest[i], "WITH") && IsWordIn(rest[i + 1], {"COMPRESSION", "COMP"})) {
      rest.erase(rest.begin() + static_cast<long>(i), rest.begin() + static_cast<long>(i + 2));
      return;
    }
  }
}

// One column definition "name type[(size)] constraints..." with its type
// mapped; `counter` receives the name of an autonumber column.
Tokens ColumnDefinition(Tokens def, std::string* counter) {
  if (def.size() < 2 || def[1].kind != Kind::kWord) return def;
  Token name = def[0];
  Token type = def[1];
  std::size_t rest_begin = 2;
  Tokens size;
  if (rest_begin < def.size() && IsSymbol(def[rest_begin], "(")) {
    while (rest_begin < def.size()) {
      size.push_back(def[rest_begin]);
      if (IsSymbol(def[rest_begin++], ")")) break;
    }
  }
  Tokens rest(def.begin() + static_cast<long>(rest_begin), def.end());
  DropCompression(rest);
  std::string up = AsciiUpper(type.text);
  Tokens out = {name};
  auto put_type = [&](std::string text, bool keep_size) {
    out.push_back(Token{Kind::kWord, std::move(text), type.space});
    if (keep_size) Append(out, size);
  };
  switch (ClassifyType(type.text)) {
    case TypeClass::kText: {
      bool affinity = up.find("CHAR") != std::string::npos || up.find("TEXT") != std::string::npos ||
                      up.find("CLOB") != std::string::npos;
      put_type(affinity ? type.text : "TEXT", true);
      bool has_collate = std::any_of(rest.begin(), rest.end(), [](const Token& t) { return IsWord(t, "COLLATE"); });
      if (!has_collate) out.push_back(Raw("COLLATE NOCASE", Kind::kWord));
      break;
    }
    case TypeClass::kCounter:
      put_type("INTEGER PRIMARY KEY AUTOINCREMENT", false);
      DropPrimaryKey(rest);
      if (counter) *counter = name.text;
      break;
    case TypeClass::kInteger:
      put_type(up.find("INT") != std::string::npos ? type.text : "INTEGER", true);
      break;
    case TypeClass::kReal:
      put_type(up == "DOUBLE" || up == "FLOAT" || up == "REAL" ? type.text : "REAL", false);
      break;
    case TypeClass::kBinary:
      put_type("BLOB", false);
      break;
    case TypeClass::kOther:
      put_type(type.text, true);
      break;
  }
  Append(out, rest);
  return out;
}

// "[CONSTRAINT name] PRIMARY KEY (column)" naming exactly `column`.
bool IsPrimaryKeyOf(const Tokens& def, std::string_view column) {
  std::size_t i = 0;
  if (def.size() > 2 && IsWord(def[0], "CONSTRAINT")) i = 2;
  return def.size() == i + 5 && IsWord(def[i], "PRIMARY") && IsWord(def[i + 1], "KEY") &&
         IsSymbol(def[i + 2], "(") && SameText(def[i + 3].text, column) && IsSymbol(def[i + 4], ")");
}

void CreateTable(Tokens& t) {
  std::vector<int> depth = Depths(t);
  std::size_t open = FindAt(t, depth, 0, t.size(), 0, [&](std::size_t i) { return IsSymbol(t[i], "("); });
  if (open == kNone) return;
  std::size_t close = FindAt(t, depth, open + 1, t.size(), 0, [&](std::size_t i) { return IsSymbol(t[i], ")"); });
  if (close == kNone) return;
  std::string counter;
  std::vector<Tokens> defs;
  for (Range r : SplitList(t, depth, {open + 1, close}, 1)) {
    Tokens def = Slice(t, r);
    bool constraint = !def.empty() && IsWordIn(def[0], {"CONSTRAINT", "PRIMARY", "UNIQUE", "FOREIGN", "CHECK"});
    defs.push_back(constraint ? def : ColumnDefinition(def, &counter));
  }
  Tokens out = Slice(t, {0, open + 1});
  bool first = true;
  for (const Tokens& def : defs) {
    if (!counter.empty() && IsPrimaryKeyOf(def, counter)) continue;  // already the autonumber's key
    if (!first) out.push_back(Token{Kind::kSymbol, ",", ""});
    first = false;
    Append(out, def);
  }
  Append(out, Slice(t, {close, t.size()}));
  t = std::move(out);
}

// Jet names an index within its table, SQLite within the file: the index
// "i" on table "t" is "t.i" here.
void CreateIndex(Tokens& t) {
  std::size_t index = IsWord(t[1], "UNIQUE") ? 3 : 2;
  if (index + 2 >= t.size() || !IsWord(t[index + 1], "ON")) return;
  std::string table = t[index + 2].text;
  t[index] = Token{Kind::kName, table + "." + t[index].text, t[index].space};
  // WITH PRIMARY / DISALLOW NULL / IGNORE NULL have no counterpart.
  std::vector<int> depth = Depths(t);
  std::size_t with = FindAt(t, depth, index, t.size(), 0, [&](std::size_t i) { return IsWord(t[i], "WITH"); });
  if (with != kNone) t.erase(t.begin() + static_cast<long>(with), t.end());
}

void DropIndex(Tokens& t) {
  if (t.size() == 5 && IsWord(t[3], "ON")) {
    t[2] = Token{Kind::kName, t[4].text + "." + t[2].text, t[2].space};
    t.resize(3);
  }
}

void TranslateDefinition(Tokens& t) {
  std::size_t kind = 1;
  if (IsWord(t[0], "CREATE") && kind < t.size() && IsWordIn(t[kind], {"TEMP", "TEMPORARY", "UNIQUE"})) ++kind;
  if (kind >= t.size()) return;
  if (IsWord(t[0], "CREATE") && IsWord(t[kind], "TABLE")) {
    CreateTable(t);
  } else if (IsWord(t[0], "CREATE") && IsWord(t[kind], "INDEX")) {
    CreateIndex(t);
  } else if (IsWord(t[0], "DROP") && IsWord(t[1], "INDEX")) {
    DropIndex(t);
  } else if (IsWord(t[0], "ALTER") && t.size() > 4 && IsWord(t[3], "ADD")) {
    std::size_t column = IsWord(t[4], "COLUMN") ? 5 : 4;
    if (column < t.size() && !IsWordIn(t[column], {"CONSTRAINT", "PRIMARY", "UNIQUE", "FOREIGN", "CHECK"})) {
      Tokens def = ColumnDefinition(Tokens(t.begin() + static_cast<long>(column), t.end()), nullptr);
      t.resize(column);
      Append(t, def);
    }
  }
}

}  // namespace

Translation TranslateJetSql(std::string_view sql, const SchemaLookup& schema, bool want_row_id) {
  Translation out;
  Tokens t = Tokenizer(sql).Run();
  if (t.empty()) Fail("Command text was not set for the command object.");
  if (IsWordIn(t[0], {"CREATE", "ALTER", "DROP"})) {
    TranslateDefinition(t);
    out.changes_schema = true;
  } else if (!IsWord(t[0], "PRAGMA")) {
    RewriteOperators(t);
    if (IsWord(t[0], "DELETE")) RewriteDelete(t);
    DateTargets(t, schema, out).Run();
    CollateGroupBy(t, schema);
    RewriteNestedTop(t);
    if (IsWord(t[0], "SELECT")) TopSelect(t, out).Run(want_row_id);
  }
  int params = ParamIndex(t, t.size());
  out.date_params.resize(static_cast<std::size_t>(params), false);
  out.sql = Render(t);
  return out;
}

}  // namespace tf::db
