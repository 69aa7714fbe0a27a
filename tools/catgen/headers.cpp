#include "headers.h"

#include <cctype>
#include <cstring>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <unordered_map>

namespace catgen {

const std::vector<HeaderRule>& ErrorHeaders() {
  static const std::vector<HeaderRule> headers{
      {.file = "winerror.h"},
      {.file = "lmerr.h", .prefix = "NERR_"},
      {.file = "wininet.h", .prefix = "ERROR_"},
      {.file = "winhttp.h", .prefix = "ERROR_WINHTTP_"},
      {.file = "raserror.h", .plain = Family::Ras, .lowest = 600},
      {.file = "mprerror.h", .lowest = 900},
      {.file = "wuerror.h", .plain = Family::HResult},
      {.file = "mferror.h", .plain = Family::HResult},
      {.file = "corerror.h", .plain = Family::HResult},
      {.file = "adserr.h", .plain = Family::HResult},
      {.file = "ntstatus.h", .plain = Family::NtStatus},
  };
  return headers;
}

namespace {

enum class Type { Plain, HResult, NtStatus };

struct Value {
  std::int64_t number = 0;
  Type type = Type::Plain;
};

Type Combine(Type a, Type b) { return a != Type::Plain ? a : b; }

struct Definition {
  bool function = false;
  std::vector<std::string> params;
  std::string body;
};

using Table = std::unordered_map<std::string, Definition>;

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Replaces each parameter of a function-like macro by its argument, whole words only.
std::string Substitute(const Definition& d, const std::vector<std::string>& args) {
  std::string out;
  for (std::size_t i = 0; i < d.body.size();) {
    if (!IsWordChar(d.body[i])) {
      out += d.body[i++];
      continue;
    }
    std::size_t end = i;
    while (end < d.body.size() && IsWordChar(d.body[end])) ++end;
    const std::string word = d.body.substr(i, end - i);
    std::size_t p = 0;
    while (p < d.params.size() && d.params[p] != word) ++p;
    out += p < d.params.size() && p < args.size() ? "(" + args[p] + ")" : word;
    i = end;
  }
  return out;
}

// Evaluates the constant expressions the error headers use: numbers with their suffixes, names
// defined anywhere in the headers, function-like macros, casts, + - | & << >> ~, comparisons, ?:
// and brackets.
// Anything else makes the definition no code.
class Expression {
 public:
  using Resolve = std::function<std::optional<Value>(const std::string&)>;
  Expression(std::string_view text, const Table& table, Resolve resolve, int depth)
      : text_(text), table_(table), resolve_(std::move(resolve)), depth_(depth) {}

  std::optional<Value> Evaluate() {
    if (depth_ > 32) return std::nullopt;
    auto v = Conditional();
    Skip();
    if (!v || pos_ != text_.size()) return std::nullopt;
    return v;
  }

 private:
  void Skip() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }
  bool Eat(std::string_view op) {
    Skip();
    if (text_.substr(pos_, op.size()) != op) return false;
    // "|" is not the start of "||", nor "<<" of "<<=": the headers use neither.
    pos_ += op.size();
    return true;
  }
  std::string Word() {
    Skip();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && IsWordChar(text_[pos_])) ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }

  template <typename Next, typename Apply>
  std::optional<Value> Binary(Next next, std::initializer_list<std::string_view> ops, Apply apply) {
    auto left = (this->*next)();
    while (left) {
      std::string_view matched;
      for (std::string_view op : ops)
        if (Eat(op)) {
          matched = op;
          break;
        }
      if (matched.empty()) break;
      auto right = (this->*next)();
      if (!right) return std::nullopt;
      left = Value{apply(matched, left->number, right->number), Combine(left->type, right->type)};
    }
    return left;
  }

  // HRESULT_FROM_WIN32 chooses with "?:" whether its argument is a Win32 code at all.
  std::optional<Value> Conditional() {
    auto condition = Compare();
    if (!condition || !Eat("?")) return condition;
    auto yes = Conditional();
    if (!yes || !Eat(":")) return std::nullopt;
    auto no = Conditional();
    if (!no) return std::nullopt;
    return condition->number ? yes : no;
  }
  std::optional<Value> Compare() {
    return Binary(&Expression::Or, {"<=", ">=", "==", "!=", "<", ">"}, [](std::string_view op, std::int64_t a, std::int64_t b) {
      if (op == "<=") return std::int64_t{a <= b};
      if (op == ">=") return std::int64_t{a >= b};
      if (op == "==") return std::int64_t{a == b};
      if (op == "!=") return std::int64_t{a != b};
      return std::int64_t{op == "<" ? a < b : a > b};
    });
  }

  std::optional<Value> Or() {
    return Binary(&Expression::And, {"|"}, [](std::string_view, std::int64_t a, std::int64_t b) { return a | b; });
  }
  std::optional<Value> And() {
    return Binary(&Expression::Shift, {"&"}, [](std::string_view, std::int64_t a, std::int64_t b) { return a & b; });
  }
  std::optional<Value> Shift() {
    return Binary(&Expression::Sum, {"<<", ">>"}, [](std::string_view op, std::int64_t a, std::int64_t b) {
      b &= 63;
      return op == "<<" ? static_cast<std::int64_t>(static_cast<std::uint64_t>(a) << b) : a >> b;
    });
  }
  std::optional<Value> Sum() {
    return Binary(&Expression::Unary, {"+", "-"},
                  [](std::string_view op, std::int64_t a, std::int64_t b) { return op == "+" ? a + b : a - b; });
  }

  std::optional<Value> Unary() {
    if (Eat("-")) {
      auto v = Unary();
      if (v) v->number = -v->number;
      return v;
    }
    if (Eat("~")) {
      auto v = Unary();
      if (v) v->number = ~v->number;
      return v;
    }
    return Term();
  }

  // A cast names only types: "(HRESULT)", "(unsigned __LONG32)". Every type here is 32 bits wide,
  // and signed unless it says otherwise.
  struct CastTo {
    Type type = Type::Plain;
    bool isSigned = true;
  };
  std::optional<CastTo> Cast() {
    static const std::set<std::string> kTypes{"HRESULT", "SCODE", "NTSTATUS", "DWORD", "LONG", "ULONG",
                                              "UINT",    "long",  "unsigned", "int",   "__LONG32"};
    const std::size_t save = pos_;
    std::optional<CastTo> cast;
    for (std::string word = Word(); kTypes.count(word); word = Word()) {
      if (!cast) cast = CastTo{};
      if (word == "HRESULT" || word == "SCODE") cast->type = Type::HResult;
      if (word == "NTSTATUS") cast->type = Type::NtStatus;
      if (word == "DWORD" || word == "ULONG" || word == "UINT" || word == "unsigned") cast->isSigned = false;
    }
    if (cast && Eat(")")) return cast;
    pos_ = save;
    return std::nullopt;
  }

  std::optional<std::vector<std::string>> Arguments() {
    if (!Eat("(")) return std::nullopt;
    std::vector<std::string> args(1);
    for (int level = 0; pos_ < text_.size(); ++pos_) {
      const char c = text_[pos_];
      if (c == '(') ++level;
      if (c == ')' && level-- == 0) {
        ++pos_;
        return args;
      }
      if (c == ',' && level == 0) args.emplace_back();
      else args.back() += c;
    }
    return std::nullopt;
  }

  std::optional<Value> Term() {
    Skip();
    if (pos_ >= text_.size()) return std::nullopt;
    if (Eat("(")) {
      if (auto cast = Cast()) {
        auto v = Unary();
        if (!v) return v;
        const auto bits = static_cast<std::uint32_t>(v->number);
        v->number = cast->isSigned ? std::int64_t{static_cast<std::int32_t>(bits)} : std::int64_t{bits};
        if (cast->type != Type::Plain) v->type = cast->type;
        return v;
      }
      auto v = Conditional();
      return v && Eat(")") ? v : std::nullopt;
    }
    if (std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
      const std::string word = Word();
      std::size_t end = 0;
      std::int64_t n = 0;
      try {
        n = std::stoll(word, &end, 0);
      } catch (...) {
        return std::nullopt;
      }
      for (std::size_t i = end; i < word.size(); ++i)
        if (!std::strchr("LlUu", word[i])) return std::nullopt;
      return Value{n, Type::Plain};
    }
    const std::string name = Word();
    if (name.empty()) return std::nullopt;
    auto macro = table_.find(name);
    const bool function = macro != table_.end() && macro->second.function;
    // The C compiler's meaning of these, not the resource compiler's that winerror.h defines first.
    const bool typedefined = name == "__MSABI_LONG" || name == "_HRESULT_TYPEDEF_";
    if (typedefined || function) {
      auto args = Arguments();
      if (!args) return std::nullopt;
      if (typedefined) {
        if (args->size() != 1) return std::nullopt;
        auto v = Expression((*args)[0], table_, resolve_, depth_ + 1).Evaluate();
        if (v && name == "_HRESULT_TYPEDEF_") v->type = Type::HResult;
        return v;
      }
      return Expression(Substitute(macro->second, *args), table_, resolve_, depth_ + 1).Evaluate();
    }
    return resolve_(name);
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  const Table& table_;
  Resolve resolve_;
  int depth_;
};

bool EndsWith(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool StartsWith(const std::string& s, std::string_view head) { return s.compare(0, head.size(), head) == 0; }

// Names that hold a facility, a severity, a mask or the bounds of a range, not an error.
bool IsCodeName(const std::string& name, std::string_view prefix) {
  if (name.empty() || name[0] == '_' || !StartsWith(name, prefix)) return false;
  for (std::string_view head : {"FACILITY_", "SEVERITY_", "ERROR_SEVERITY_", "STATUS_SEVERITY_"})
    if (StartsWith(name, head)) return false;
  for (std::string_view tail : {"_BASE", "BASEERR", "BASEEND", "_FIRST", "_LAST", "_MASK", "_BIT"})
    if (EndsWith(name, tail)) return false;
  return !(EndsWith(name, "BASE") && name.find('_') == std::string::npos);  // RASBASE, ROUTEBASE
}

// The definitions of a header in order, each with its body, comments and line continuations gone.
std::vector<std::pair<std::string, Definition>> Defines(const std::string& header) {
  std::vector<std::pair<std::string, Definition>> defines;
  std::istringstream lines(header);
  std::string line, part;
  while (std::getline(lines, part)) {
    if (!part.empty() && part.back() == '\r') part.pop_back();
    if (!part.empty() && part.back() == '\\') {
      line += part.substr(0, part.size() - 1) + " ";
      continue;
    }
    line += part;
    std::string text;
    text.swap(line);
    if (const auto c = text.find("/*"); c != std::string::npos) text.resize(c);
    if (const auto c = text.find("//"); c != std::string::npos) text.resize(c);
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos || text[at] != '#') continue;
    at = text.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || text.compare(at, 6, "define") != 0) continue;
    at = text.find_first_not_of(" \t", at + 6);
    if (at == std::string::npos) continue;
    std::size_t end = at;
    while (end < text.size() && IsWordChar(text[end])) ++end;
    if (end == at) continue;
    std::string name = text.substr(at, end - at);
    Definition d;
    if (end < text.size() && text[end] == '(') {  // a macro with arguments
      const std::size_t close = text.find(')', end);
      if (close == std::string::npos) continue;
      d.function = true;
      std::stringstream params(text.substr(end + 1, close - end - 1));
      for (std::string p; std::getline(params, p, ',');) {
        p.erase(0, p.find_first_not_of(" \t"));
        p.erase(p.find_last_not_of(" \t") + 1);
        d.params.push_back(p);
      }
      end = close + 1;
    }
    d.body = text.substr(end);
    defines.emplace_back(std::move(name), std::move(d));
  }
  return defines;
}

}  // namespace

std::vector<HeaderCodes> ReadHeaders(const std::vector<HeaderText>& headers) {
  std::vector<std::vector<std::pair<std::string, Definition>>> defines;
  Table table;
  for (const HeaderText& h : headers) {
    defines.push_back(Defines(h.text));
    for (const auto& [name, d] : defines.back()) table.emplace(name, d);  // the first definition counts
  }

  std::unordered_map<std::string, std::optional<Value>> values;
  std::function<std::optional<Value>(const std::string&)> resolve = [&](const std::string& name) -> std::optional<Value> {
    if (auto done = values.find(name); done != values.end()) return done->second;
    auto d = table.find(name);
    if (d == table.end() || d->second.function) return std::nullopt;
    values[name] = std::nullopt;  // a definition that refers to itself is no code
    auto value = Expression(d->second.body, table, resolve, 0).Evaluate();
    values[name] = value;
    return value;
  };

  std::vector<HeaderCodes> result;
  for (std::size_t i = 0; i < headers.size(); ++i) {
    const HeaderRule& rule = headers[i].rule;
    HeaderCodes codes{rule.file, {}, 0};
    std::set<std::string> seen;
    for (const auto& [name, d] : defines[i]) {
      if (d.function || !IsCodeName(name, rule.prefix) || !seen.insert(name).second) continue;
      const auto value = resolve(name);
      if (!value) {
        if (d.body.find_first_not_of(" \t") != std::string::npos) ++codes.skipped;
        continue;
      }
      const auto number = static_cast<std::uint32_t>(value->number);
      std::optional<Family> family;
      if (value->type == Type::HResult) family = Family::HResult;
      else if (value->type == Type::NtStatus) family = Family::NtStatus;
      else if (rule.plain == Family::HResult && (number & 0x80000000u) && value->number <= 0xFFFFFFFFll)
        family = Family::HResult;
      else if ((rule.plain == Family::Win32 || rule.plain == Family::Ras) && value->number >= rule.lowest &&
               value->number <= 0xFFFF)
        family = rule.plain;
      if (family) codes.codes.push_back({{*family, number}, name});
    }
    result.push_back(std::move(codes));
  }
  return result;
}

}  // namespace catgen
