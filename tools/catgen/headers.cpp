#include "headers.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <unordered_map>

namespace catgen {

const std::vector<HeaderRule>& HeaderExceptions() {
  using Take = HeaderRule::Take;
  static const std::vector<HeaderRule> headers{
      // Win32 codes under every kind of name (RPC_S_, WSAE, NTE_, SEC_I_, OR_, EPT_S_ ...).
      {.file = "winerror.h", .take = Take::EveryName},
      // Every code is cast to NTSTATUS, debugger codes (DBG_) included.
      {.file = "ntstatus.h", .take = Take::EveryName, .plain = Family::NtStatus},
      // Every code an HRESULT, warnings (TLBX_W_) and strong-name codes (SN_) among them.
      {.file = "corerror.h", .take = Take::EveryName, .plain = Family::HResult},
      // The network management codes (NERR_) are Win32 codes from 2100.
      {.file = "lmerr.h", .take = Take::EveryName, .prefix = "NERR_"},
      // Remote access codes from 600, a family of their own whose numbers Win32 codes also use.
      {.file = "raserror.h", .take = Take::EveryName, .plain = Family::Ras, .lowest = 600},
      // The router's codes from 900, one of them named WARNING_.
      {.file = "mprerror.h", .take = Take::EveryName, .lowest = 900},
      // Event-log message ids, cast as NTSTATUS or with the error bit set: they name log entries.
      {.file = "netevent.h", .take = Take::Nothing},
      {.file = "ntiologc.h", .take = Take::Nothing},
      // TAPI's LINEERR_ and PHONEERR_ results have the top bit set but are no HRESULTs.
      {.file = "tapi.h", .take = Take::Nothing},
      // The printer's bidirectional-communication codes (ERROR_BIDI_) from 13000 are also IPsec codes.
      {.file = "winspool.h", .ownMeanings = true},
      // ERROR_ flags (lpmapi.h, ntddchgr.h, winioctl.h), a router utility's own small results
      // (rtutils.h) and an OS/2 header's DOS critical-error codes (error.h): none of them Win32 codes.
      {.file = "error.h", .take = Take::Nothing},
      {.file = "lpmapi.h", .take = Take::Nothing},
      {.file = "ntddchgr.h", .take = Take::Nothing},
      {.file = "rtutils.h", .take = Take::Nothing},
      {.file = "winioctl.h", .take = Take::Nothing},
      // NDIS object ids (OID_) with the top bit set.
      {.file = "ntddndis.h", .take = Take::Nothing},
  };
  return headers;
}

HeaderRule RuleFor(std::string_view file) {
  for (const HeaderRule& r : HeaderExceptions())
    if (r.file == file) return r;
  return HeaderRule{.file = file};
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

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool StartsWith(std::string_view s, std::string_view head) { return s.substr(0, head.size()) == head; }
bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}
bool Contains(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }

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

// What an expression may name: a macro with arguments, or any other name's value.
struct Names {
  std::function<const Definition*(const std::string&)> macro;
  std::function<std::optional<Value>(const std::string&)> value;
};

// Evaluates the constant expressions the error headers use: numbers with their suffixes, names
// defined anywhere in the headers, function-like macros, casts, + - | & << >> ~, comparisons, ?:
// and brackets. Anything else makes the definition no code.
class Expression {
 public:
  Expression(std::string_view text, const Names& names, int depth) : text_(text), names_(names), depth_(depth) {}

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
    static const std::set<std::string> kTypes{"HRESULT", "SCODE", "NTSTATUS", "DWORD", "LONG",     "ULONG",
                                              "UINT",    "long",  "unsigned", "int",   "__LONG32", "signed"};
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
    // __MSABI_LONG pastes its suffix on, which this evaluator does not: its meaning is the number.
    const Definition* macro = name == "__MSABI_LONG" ? nullptr : names_.macro(name);
    if (name == "__MSABI_LONG" || macro) {
      auto args = Arguments();
      if (!args) return std::nullopt;
      if (!macro) return args->size() == 1 ? Expression((*args)[0], names_, depth_ + 1).Evaluate() : std::nullopt;
      return Expression(Substitute(*macro, *args), names_, depth_ + 1).Evaluate();
    }
    return names_.value(name);
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  const Names& names_;
  int depth_;
};

// Names that hold a facility, a severity or a DISPID, not an error. Markers, bounds and flags are
// told by their value and use (Markers), never by their names.
bool IsCodeName(const std::string& name, std::string_view prefix) {
  if (name.empty() || name[0] == '_' || !StartsWith(name, prefix)) return false;
  for (std::string_view head : {"FACILITY_", "SEVERITY_", "ERROR_SEVERITY_", "STATUS_SEVERITY_"})
    if (StartsWith(name, head)) return false;
  return !Contains(name, "DISPID");
}

// A name of an error family, as the rule reads it. ERR ends a word: OVERRIDE, PREFERRED and
// INTERRUPT are no errors.
bool IsErrorName(const std::string& name) {
  return StartsWith(name, "E_") || Contains(name, "_E_") || Contains(name, "ERR_") || EndsWith(name, "ERR") ||
         Contains(name, "ERROR");
}

// The family a success or informational name belongs to: "WBEM" of WBEM_S_FALSE, "MF" of
// MF_I_MANUAL_PROXY, "" of S_OK; none for other names.
std::optional<std::string> SuccessFamily(const std::string& name) {
  if (StartsWith(name, "S_")) return std::string();
  for (std::string_view mark : {"_S_", "_I_"})
    if (const std::size_t at = name.find(mark); at != std::string::npos) return name.substr(0, at);
  return std::nullopt;
}

bool IsFamilyName(const std::string& name) {
  return IsErrorName(name) || SuccessFamily(name) || Contains(name, "STATUS_");
}
std::optional<std::string> ErrorFamily(const std::string& name) {
  if (StartsWith(name, "E_")) return std::string();
  const std::size_t at = name.find("_E_");
  if (at == std::string::npos) return std::nullopt;
  return name.substr(0, at);
}

// A header as the C compiler sees it: comments gone, continued lines joined, and what only the
// resource compiler or the IDL compiler reads (#ifdef RC_INVOKED) left out.
struct Parsed {
  std::vector<std::pair<std::string, Definition>> defines;  // in order
  std::vector<std::pair<std::string, Definition>> enumerators;
};

std::string WithoutComments(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text.compare(i, 2, "/*") == 0) {
      const std::size_t end = text.find("*/", i + 2);
      // A comment that spans lines keeps its line breaks: a directive ends at the line's end.
      for (std::size_t k = i; k < (end == std::string::npos ? text.size() : end); ++k)
        if (text[k] == '\n') out += '\n';
      out += ' ';
      i = end == std::string::npos ? text.size() : end + 2;
    } else if (text.compare(i, 2, "//") == 0) {
      i = text.find('\n', i);
      if (i == std::string::npos) i = text.size();
    } else if (text[i] == '"' || text[i] == '\'') {
      const char quote = text[i];
      std::size_t end = i + 1;
      while (end < text.size() && text[end] != quote && text[end] != '\n') end += text[end] == '\\' ? 2 : 1;
      end = std::min(end + 1, text.size());
      out.append(text, i, end - i);
      i = end;
    } else {
      out += text[i++];
    }
  }
  return out;
}

bool OnlyForResourceCompiler(const std::string& directive, const std::string& condition) {
  const bool mentions = Contains(condition, "RC_INVOKED") || Contains(condition, "__WIDL__");
  if (!mentions) return false;
  if (directive == "ifndef") return false;
  return directive == "ifdef" || !Contains(condition, "!");
}

void ReadEnums(const std::string& code, Parsed& parsed) {
  for (std::size_t at = code.find("enum"); at != std::string::npos; at = code.find("enum", at + 4)) {
    if ((at > 0 && IsWordChar(code[at - 1])) || (at + 4 < code.size() && IsWordChar(code[at + 4]))) continue;
    std::size_t open = at + 4;
    while (open < code.size() && (std::isspace(static_cast<unsigned char>(code[open])) || IsWordChar(code[open])))
      ++open;
    if (open >= code.size() || code[open] != '{') continue;
    const std::size_t close = code.find('}', open);
    if (close == std::string::npos) return;
    std::string previous;
    std::stringstream items(code.substr(open + 1, close - open - 1));
    for (std::string item; std::getline(items, item, ',');) {
      const std::size_t eq = item.find('=');
      std::string name = item.substr(0, eq);
      name.erase(0, name.find_first_not_of(" \t\r\n"));
      name.erase(name.find_last_not_of(" \t\r\n") + 1);
      if (name.empty() || !std::all_of(name.begin(), name.end(), IsWordChar)) break;  // not a plain list
      Definition d;
      d.body = eq != std::string::npos ? item.substr(eq + 1) : previous.empty() ? "0" : "(" + previous + ") + 1";
      parsed.enumerators.emplace_back(name, std::move(d));
      previous = name;
    }
    at = close;
  }
}

Parsed Parse(const std::string& header) {
  Parsed parsed;
  std::istringstream lines(WithoutComments(header));
  std::string code;  // the lines that are no directives, for the enums
  // Per open #if: whether its current branch is read, and whether the one around it is.
  std::vector<std::pair<bool, bool>> branches;
  const auto reading = [&] { return branches.empty() || (branches.back().first && branches.back().second); };
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
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos || text[at] != '#') {
      if (reading()) code += text + "\n";
      continue;
    }
    at = text.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos) continue;
    std::size_t end = at;
    while (end < text.size() && IsWordChar(text[end])) ++end;
    const std::string directive = text.substr(at, end - at);
    const std::string rest = text.substr(end);
    if (directive == "if" || directive == "ifdef" || directive == "ifndef") {
      branches.emplace_back(!OnlyForResourceCompiler(directive, rest), reading());
      continue;
    }
    if ((directive == "else" || directive == "elif") && !branches.empty()) {
      // The branch after one that only the resource compiler reads is the compiler's.
      branches.back().first = directive == "elif" ? !OnlyForResourceCompiler(directive, rest) : true;
      continue;
    }
    if (directive == "endif" && !branches.empty()) {
      branches.pop_back();
      continue;
    }
    if (directive != "define" || !reading()) continue;
    at = text.find_first_not_of(" \t", end);
    if (at == std::string::npos) continue;
    end = at;
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
    parsed.defines.emplace_back(std::move(name), std::move(d));
  }
  ReadEnums(code, parsed);
  return parsed;
}

// Facilities that headers use and no header of the toolchain defines, with the numbers Microsoft
// gives them (winerror.h of the Windows SDK): msopc.h's OPC_E_ and the XPS headers' XPS_E_ codes.
const std::vector<std::pair<std::string, Definition>>& MissingFacilities() {
  static const std::vector<std::pair<std::string, Definition>> facilities{{"FACILITY_OPC", {false, {}, "81"}},
                                                                          {"FACILITY_XPS", {false, {}, "82"}}};
  return facilities;
}

// Every header's definitions, each header's own first and then the first that any header gives.
class Scopes {
 public:
  explicit Scopes(const std::vector<HeaderText>& headers) {
    for (const HeaderText& h : headers) parsed_.push_back(Parse(h.text));
    own_.resize(parsed_.size());
    for (std::size_t i = 0; i < parsed_.size(); ++i) {
      for (const auto* list : {&parsed_[i].defines, &parsed_[i].enumerators})
        for (const auto& [name, d] : *list) {
          own_[i].emplace(name, &d);  // the first definition counts
          first_.emplace(name, i);
        }
    }
  }

  const Parsed& Of(std::size_t header) const { return parsed_[header]; }

  // The definition a name has in a header, and the header it comes from.
  std::pair<const Definition*, std::size_t> Find(const std::string& name, std::size_t header) const {
    if (auto at = own_[header].find(name); at != own_[header].end()) return {at->second, header};
    if (auto at = first_.find(name); at != first_.end()) return {own_[at->second].at(name), at->second};
    for (const auto& [missing, d] : MissingFacilities())
      if (missing == name) return {&d, header};
    return {nullptr, 0};
  }

  // The value of a name as a header sees it; `used` collects the names its definition refers to.
  std::optional<Value> Evaluate(const std::string& name, std::size_t header, std::vector<std::string>* used = nullptr) {
    const auto [d, from] = Find(name, header);
    if (!d || d->function) return std::nullopt;
    const auto key = std::make_pair(from, name);
    if (!used)
      if (auto done = values_.find(key); done != values_.end()) return done->second;
    values_[key] = std::nullopt;  // a definition that refers to itself is no code
    const Names names{[this, from](const std::string& macro) -> const Definition* {
                        const Definition* m = Find(macro, from).first;
                        return m && m->function ? m : nullptr;
                      },
                      [this, from, used](const std::string& other) {
                        if (used) used->push_back(other);
                        return Evaluate(other, from);
                      }};
    auto value = Expression(d->body, names, 0).Evaluate();
    values_[key] = value;
    return value;
  }

 private:
  std::vector<Parsed> parsed_;
  std::vector<std::unordered_map<std::string, const Definition*>> own_;
  std::unordered_map<std::string, std::size_t> first_;
  std::map<std::pair<std::size_t, std::string>, std::optional<Value>> values_;
};

// What a header's definitions tell of its markers: the names that bound a range of codes rather
// than name one, told by their value and use, never by their names.
class Markers {
 public:
  using Order = std::vector<std::pair<const std::string*, const Definition*>>;
  Markers(const Parsed& parsed, const Order& order) : order_(order) {
    for (std::size_t k = 0; k < order.size(); ++k) place_.emplace(*order[k].first, k);
    for (const auto* list : {&parsed.defines, &parsed.enumerators})
      for (const auto& [name, d] : *list) CollectOperands(d.body);
  }

  // A name is a bound when another definition of its header computes or compares with it
  // (NERR_BASE + 2, x >= X_FIRST), or when it and the definition after it enclose a block: both
  // have the values of other names of the header (MIN_PST_ERROR, MAX_PST_ERROR), or together
  // they span a whole block of codes, such as 256 from a multiple of 256 (DIERR_DRIVERFIRST,
  // DIERR_DRIVERLAST).
  bool Bound(const std::string& name) const { return operands_.count(name) || pairs_.count(name); }

  // Decides the pairs once the header's values are known.
  template <typename ValueOf>
  void FindPairs(ValueOf valueOf) {
    std::map<std::int64_t, int> named;
    std::vector<std::optional<std::int64_t>>& values = values_;
    std::vector<bool> plain;
    for (const auto& [name, d] : order_) {
      const auto v = d->function ? std::nullopt : valueOf(*name);
      values.push_back(v ? std::optional(v->number) : std::nullopt);
      plain.push_back(v && v->type == Type::Plain);
      if (values.back()) {
        ++named[*values.back()];
        withValue_.emplace(*values.back(), values.size() - 1);
      }
    }
    // Whether low and high are the least and the greatest value that other names of the header
    // give in their block of 65536.
    const auto ends = [&](std::int64_t low, std::int64_t high) {
      if ((low >> 16) != (high >> 16) || named[low] < 2 || named[high] < 2) return false;
      const auto first = named.lower_bound(low & ~std::int64_t{0xFFFF});
      const auto last = std::prev(named.upper_bound(low | 0xFFFF));
      return first->first == low && last->first == high;
    };
    for (std::size_t k = 0; k + 1 < order_.size(); ++k) {
      const auto& low = values[k];
      const auto& high = values[k + 1];
      // A value made an HRESULT or NTSTATUS is a code, whatever bounds it may also be.
      if (!low || !high || *low >= *high || !plain[k] || !plain[k + 1]) continue;
      const bool shared = ends(*low, *high);
      // A block: from a multiple of 16 or more to the code before the next such multiple.
      const std::int64_t size = *high - *low + 1;
      const bool blocks = size >= 16 && (size & (size - 1)) == 0 && (*low & (size - 1)) == 0;
      if (shared || blocks) pairs_.insert({*order_[k].first, *order_[k + 1].first});
    }
  }

  // Of two names defined side by side with one value, neither defined as the other, one is a
  // marker at the start or the end of a run of codes and names the other: the one outside the
  // run (ISS_E_ISOSTORE_START before ISS_E_ISOSTORE and the codes after it, RASBASEEND after the
  // last RAS code). Returns the code the name marks, or nothing.
  template <typename Scope>
  std::string Marks(const std::string& name, std::int64_t value, Scope& scopes, std::size_t header) const {
    const auto at = place_.find(name);
    if (at == place_.end()) return {};
    const auto valueAt = [&](std::size_t k) -> std::optional<std::int64_t> {
      if (k >= order_.size() || order_[k].second->function) return std::nullopt;
      const auto v = scopes.Evaluate(*order_[k].first, header);
      return v ? std::optional(v->number) : std::nullopt;
    };
    const auto pair = [&](std::size_t k) {  // the names at k and k + 1 are such a pair
      return valueAt(k) == value && valueAt(k + 1) == value &&
             !Contains(order_[k].second->body, *order_[k + 1].first) &&
             !Contains(order_[k + 1].second->body, *order_[k].first);
    };
    // The first of a pair marks the start of a run that goes on after the second; the second
    // marks the end of a run that came up to the first. Synonyms stand apart from runs.
    const auto before = [&](std::size_t k) { return k > 0 && valueAt(k - 1) == value - 1; };
    const auto after = [&](std::size_t k) { return valueAt(k + 2) == value + 1; };
    const std::size_t k = at->second;
    if (pair(k) && after(k) && !before(k)) return *order_[k + 1].first;
    if (k > 0 && pair(k - 1) && before(k - 1) && !after(k - 1)) return *order_[k - 1].first;
    return {};
  }

  // Whether the name's value starts a run of codes after a gap (the next definition has the value
  // after it, the one before not the value before it), or another definition of the header that
  // does not name it has its value. Needs FindPairs first.
  bool StartsOrShares(const std::string& name, std::int64_t value) const {
    const auto at = place_.find(name);
    if (at == place_.end()) return false;
    const std::size_t k = at->second;
    const auto valueAt = [&](std::size_t i) { return i < values_.size() ? values_[i] : std::nullopt; };
    if (valueAt(k + 1) == value + 1 && !(k > 0 && valueAt(k - 1) == value - 1)) return true;
    for (auto [other, end] = withValue_.equal_range(value); other != end; ++other)
      if (other->second != k && !Contains(order_[other->second].second->body, name) &&
          !Contains(order_[k].second->body, *order_[other->second].first))
        return true;
    return false;
  }

 private:
  void CollectOperands(const std::string& body) {
    const auto isOperator = [](char c) { return c && std::strchr("+-&|<>", c); };
    for (std::size_t k = 0; k < body.size();) {
      if (!IsWordChar(body[k]) || std::isdigit(static_cast<unsigned char>(body[k]))) {
        while (k < body.size() && IsWordChar(body[k])) ++k;  // a number
        ++k;
        continue;
      }
      const std::size_t start = k;
      while (k < body.size() && IsWordChar(body[k])) ++k;
      std::size_t before = start, after = k;
      while (before > 0 && body[before - 1] == ' ') --before;
      while (after < body.size() && body[after] == ' ') ++after;
      // Logical operators (x == A || x == B) only compare: || and && are no computation.
      const auto logical = [&](std::size_t at) { return at + 1 < body.size() && (body.compare(at, 2, "||") == 0 || body.compare(at, 2, "&&") == 0); };
      const bool left = before > 0 && isOperator(body[before - 1]) && !(before >= 2 && logical(before - 2));
      const bool right = after < body.size() && isOperator(body[after]) && !logical(after);
      if (left || right) operands_.insert(body.substr(start, k - start));
    }
  }

  const Order& order_;
  std::unordered_map<std::string, std::size_t> place_;
  std::vector<std::optional<std::int64_t>> values_;   // of each definition, once FindPairs ran
  std::multimap<std::int64_t, std::size_t> withValue_;  // the definitions of each value
  std::set<std::string> operands_;
  std::set<std::string> pairs_;
};

// Names defined as exactly another code's name, whatever they are called, are that code's
// aliases: EXCEPTION_ACCESS_VIOLATION (STATUS_ACCESS_VIOLATION), STILL_ACTIVE, WSA_IO_PENDING.
void AddNamesOfCodes(Scopes& scopes, const std::vector<HeaderText>& headers, std::vector<HeaderCodes>& result) {
  std::unordered_map<std::string, Code> taken;
  for (const HeaderCodes& h : result)
    for (const Named& n : h.codes) taken.emplace(n.name, n.code);
  for (std::size_t i = 0; i < headers.size(); ++i) {
    if (RuleFor(headers[i].file).take == HeaderRule::Take::Nothing) continue;
    for (const auto& [name, d] : scopes.Of(i).defines) {
      if (d.function || taken.count(name) || !IsCodeName(name, "")) continue;
      std::string body = d.body;
      body.erase(std::remove_if(body.begin(), body.end(), [](char c) { return c == ' ' || c == '\t' || c == '(' || c == ')'; }),
                 body.end());
      const auto target = taken.find(body);
      if (body.empty() || !std::all_of(body.begin(), body.end(), IsWordChar) || target == taken.end()) continue;
      result[i].codes.push_back({target->second, name, headers[i].file, true, body});
      auto& left = result[i].left;
      left.erase(std::remove(left.begin(), left.end(), name), left.end());
      taken.emplace(name, target->second);
    }
  }
}

std::optional<Family> FamilyOf(const std::string& name, const Value& value, const HeaderRule& rule,
                               const std::set<std::string>& hresultErrorFamilies) {
  using Take = HeaderRule::Take;
  const std::int64_t n = value.number;
  if (value.type == Type::HResult) return Family::HResult;
  if (value.type == Type::NtStatus) return Family::NtStatus;
  if (rule.take == Take::EveryName) {
    if (rule.plain == Family::HResult) return n > 0x80000000ll && n < 0xFFFFFFFFll ? std::optional(rule.plain) : std::nullopt;
    if (n >= rule.lowest && n <= 0xFFFF && rule.plain != Family::NtStatus) return rule.plain;
    return std::nullopt;
  }
  // Headers that copy the NTSTATUS codes as plain numbers (winnt.h).
  if (StartsWith(name, "STATUS_")) return n >= 0x80000000ll && n <= 0xFFFFFFFFll ? std::optional(Family::NtStatus) : std::nullopt;
  // The top bit alone is a flag, and a small negative number made unsigned (STD_ERROR_HANDLE is
  // -12) a handle or a "none": neither is an HRESULT.
  if (IsErrorName(name) && n > 0x80000000ll && n < 0xFFFF0000ll) return Family::HResult;
  if (const auto family = SuccessFamily(name); family && n >= 0 && n < 0x80000000ll && hresultErrorFamilies.count(*family))
    return Family::HResult;
  if (StartsWith(name, "ERROR_") && n >= 0 && n <= 0xFFFF) return Family::Win32;
  return std::nullopt;
}

}  // namespace

std::vector<HeaderText> ReadIncludeFolder(const std::string& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    if (entry.path().extension() == ".h" && entry.is_regular_file(error)) files.push_back(entry.path());
  const auto key = [](const std::filesystem::path& p) {
    std::string name = p.filename().string();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return std::make_pair(name != "winerror.h", name);
  };
  std::sort(files.begin(), files.end(), [&](const auto& a, const auto& b) { return key(a) < key(b); });
  std::vector<HeaderText> headers;
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (in) headers.push_back({file.filename().string(), text.str()});
  }
  return headers;
}

std::vector<HeaderCodes> ReadHeaders(const std::vector<HeaderText>& headers) {
  Scopes scopes(headers);
  std::vector<HeaderCodes> result;
  for (std::size_t i = 0; i < headers.size(); ++i) {
    const HeaderRule rule = RuleFor(headers[i].file);
    const Parsed& parsed = scopes.Of(i);
    HeaderCodes codes{headers[i].file, {}, {}, 0};
    if (rule.take == HeaderRule::Take::Nothing) {
      for (const auto* list : {&parsed.defines, &parsed.enumerators})
        for (const auto& [name, d] : *list)
          if (!d.function && IsFamilyName(name) && IsCodeName(name, "")) codes.left.push_back(name);
      result.push_back(std::move(codes));
      continue;
    }

    // Each candidate's value, where it stands among the header's definitions, and the names its
    // definition uses.
    struct Candidate {
      std::string name;
      Value value;
      std::vector<std::string> used;
      std::size_t place = 0;
      bool familyName = true;  // of an error family, or taken as one by its prefix
    };
    std::vector<Candidate> candidates;
    std::set<std::string> seen;
    std::size_t definitions = parsed.defines.size() + parsed.enumerators.size();
    candidates.reserve(definitions);  // Taken below points into it
    const auto consider = [&](const std::string& name, const Definition& d, std::size_t place, bool familyName) {
      std::vector<std::string> used;
      const auto value = scopes.Evaluate(name, i, &used);
      if (!value) {
        if (familyName && d.body.find_first_not_of(" \t") != std::string::npos) ++codes.skipped;
        return;
      }
      candidates.push_back({name, *value, std::move(used), place, familyName});
    };
    std::vector<std::pair<const std::string*, const Definition*>> order;  // every definition, in order
    for (const auto* list : {&parsed.defines, &parsed.enumerators})
      for (const auto& [name, d] : *list) order.emplace_back(&name, &d);
    std::vector<std::size_t> others;  // definitions that may be codes whatever their names
    for (std::size_t k = 0; k < order.size(); ++k) {
      const std::string& name = *order[k].first;
      const Definition& d = *order[k].second;
      if (d.function || !IsCodeName(name, rule.prefix) || !seen.insert(name).second) continue;
      if (rule.take == HeaderRule::Take::ByRule && !IsFamilyName(name)) {
        others.push_back(k);
        continue;
      }
      consider(name, d, k, true);
    }
    // The families whose errors this header gives as HRESULTs: their success names are codes too.
    std::set<std::string> hresultErrors;
    for (const Candidate& c : candidates)
      if (const auto family = ErrorFamily(c.name);
          family && (c.value.type == Type::HResult || (c.value.number >= 0x80000000ll && c.value.number <= 0xFFFFFFFFll)))
        hresultErrors.insert(*family);

    Markers markers(parsed, order);
    markers.FindPairs([&](const std::string& name) { return scopes.Evaluate(name, i); });
    struct Taken {
      const Candidate* candidate;
      Family family;
    };
    std::vector<Taken> taken;
    std::vector<const Candidate*> notTaken;
    for (const Candidate& c : candidates) {
      const auto family = FamilyOf(c.name, c.value, rule, hresultErrors);
      if (family && !markers.Bound(c.name)) taken.push_back({&c, *family});
      else notTaken.push_back(&c);
    }

    // Names of no error family are codes as errors: made HRESULTs or NTSTATUS codes (a cast, or
    // MAKE_HRESULT of severity 1), or plain numbers with the error bit in the block of a family
    // this header gives codes of (PDH_MORE_DATA beside pdhmsg.h's PDH_CSTATUS_ codes). Families
    // are taken by their prefix, not name by name.
    const auto prefixOf = [](const std::string& name) {
      const std::size_t cut = name.find('_');
      return cut != std::string::npos && cut > 0 ? name.substr(0, cut + 1) : std::string();
    };
    const auto plainError = [&](const Candidate& c) {
      const auto bits = static_cast<std::uint32_t>(c.value.number);
      return bits > 0x80000000u && bits < 0xFFFF0000u && !markers.Bound(c.name);
    };
    std::map<std::string, std::set<std::uint32_t>> blocks;  // prefix: the high words of its codes
    for (const Taken& t : taken)
      if (const std::string prefix = prefixOf(t.candidate->name); !prefix.empty() && prefix != "ERROR_")
        blocks[prefix].insert(static_cast<std::uint32_t>(t.candidate->value.number) >> 16);
    // An error name that the rule left, of a family the header gives codes of, is one of them
    // (pdhmsg.h's PDH_CSTATUS_NO_MACHINE with its PDH_..._ERROR codes).
    for (const Candidate* c : notTaken) {
      const std::string prefix = prefixOf(c->name);
      if (blocks.count(prefix) && plainError(*c)) {
        taken.push_back({c, c->value.type == Type::NtStatus ? Family::NtStatus : Family::HResult});
        blocks[prefix].insert(static_cast<std::uint32_t>(c->value.number) >> 16);
      } else {
        codes.left.push_back(c->name);
      }
    }
    const std::size_t familyNames = candidates.size();
    static const std::vector<std::string_view> kTyped{"HRESULT", "SCODE", "NTSTATUS"};
    for (std::size_t k : others) {
      const std::string& name = *order[k].first;
      const Definition& d = *order[k].second;
      const bool ofFamily = blocks.count(prefixOf(name)) > 0;
      if (ofFamily || std::any_of(kTyped.begin(), kTyped.end(), [&](std::string_view t) { return Contains(d.body, t); }))
        consider(name, d, k, false);
    }
    for (std::size_t k = familyNames; k < candidates.size(); ++k) {
      const Candidate& c = candidates[k];
      const auto bits = static_cast<std::uint32_t>(c.value.number);
      if (!plainError(c)) continue;
      const auto block = blocks.find(prefixOf(c.name));
      if (c.value.type == Type::NtStatus) taken.push_back({&c, Family::NtStatus});
      else if (c.value.type == Type::HResult || (block != blocks.end() && block->second.count(bits >> 16)))
        taken.push_back({&c, Family::HResult});
    }
    std::stable_sort(taken.begin(), taken.end(), [](const Taken& a, const Taken& b) { return a.candidate->place < b.candidate->place; });

    for (const Taken& t : taken) {
      const Candidate& c = *t.candidate;
      const auto value = static_cast<std::uint32_t>(c.value.number);
      // Another code's name, of the same value or wrapped (HRESULT_FROM_WIN32), makes this one an alias.
      std::string aliasOf;
      for (const std::string& other : c.used) {
        if (other == c.name || !IsFamilyName(other) || !IsCodeName(other, "") || markers.Bound(other)) continue;
        const auto v = scopes.Evaluate(other, i);
        if (!v) continue;
        const auto w = static_cast<std::uint32_t>(v->number);
        if (w == value || (w > 0 && w <= 0xFFFF && (0x80070000u | w) == value)) {
          aliasOf = other;
          break;
        }
      }
      if (aliasOf.empty()) aliasOf = markers.Marks(c.name, c.value.number, scopes, i);
      const bool errorNameOfSuccess = t.family == Family::HResult && ErrorFamily(c.name) && !(value & 0x80000000u);
      const bool doubtful = t.family == Family::Win32 && aliasOf.empty() && c.value.type == Type::Plain &&
                            markers.StartsOrShares(c.name, c.value.number);
      codes.codes.push_back(
          {{t.family, value}, c.name, headers[i].file, !aliasOf.empty() || errorNameOfSuccess, aliasOf, doubtful});
    }
    result.push_back(std::move(codes));
  }
  AddNamesOfCodes(scopes, headers, result);
  return result;
}

}  // namespace catgen
