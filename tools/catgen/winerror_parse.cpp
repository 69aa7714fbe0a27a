#include "winerror_parse.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>
#include <sstream>
#include <unordered_map>

namespace catgen {

namespace {

struct Value {
  std::int64_t number = 0;
  bool hresult = false;  // made with _HRESULT_TYPEDEF_ or a cast to HRESULT, or from one
};

// Evaluates the little expressions winerror.h uses: numbers, names defined before, + - |, brackets,
// casts, __MSABI_LONG(x) and _HRESULT_TYPEDEF_(x). Anything else makes the definition no code.
class Expression {
 public:
  using Resolve = std::function<std::optional<Value>(const std::string&)>;
  Expression(std::string_view text, Resolve resolve) : text_(text), resolve_(std::move(resolve)) {}

  std::optional<Value> Evaluate() {
    auto v = Sum();
    Skip();
    if (!v || pos_ != text_.size()) return std::nullopt;
    return v;
  }

 private:
  void Skip() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }
  bool Eat(char c) {
    Skip();
    if (pos_ < text_.size() && text_[pos_] == c) return ++pos_, true;
    return false;
  }
  std::string Word() {
    Skip();
    std::size_t start = pos_;
    while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_')) ++pos_;
    return std::string(text_.substr(start, pos_ - start));
  }

  std::optional<Value> Sum() {
    auto left = Term();
    while (left) {
      if (Eat('+')) {
        auto right = Term();
        if (!right) return std::nullopt;
        left->number += right->number;
        left->hresult |= right->hresult;
      } else if (Eat('-')) {
        auto right = Term();
        if (!right) return std::nullopt;
        left->number -= right->number;
        left->hresult |= right->hresult;
      } else if (Eat('|')) {
        auto right = Term();
        if (!right) return std::nullopt;
        left->number |= right->number;
        left->hresult |= right->hresult;
      } else {
        break;
      }
    }
    return left;
  }

  std::optional<Value> Term() {
    Skip();
    if (pos_ >= text_.size()) return std::nullopt;
    if (Eat('(')) {
      const std::size_t save = pos_;
      const std::string type = Word();
      if ((type == "HRESULT" || type == "SCODE" || type == "DWORD" || type == "LONG" || type == "ULONG" ||
           type == "long") && Eat(')')) {
        auto v = Term();
        if (v && (type == "HRESULT" || type == "SCODE")) v->hresult = true;
        return v;
      }
      pos_ = save;
      auto v = Sum();
      return v && Eat(')') ? v : std::nullopt;
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
        if (word[i] != 'L' && word[i] != 'l' && word[i] != 'U' && word[i] != 'u') return std::nullopt;
      return Value{n, false};
    }
    const std::string name = Word();
    if (name.empty()) return std::nullopt;
    if (name == "__MSABI_LONG" || name == "_HRESULT_TYPEDEF_") {
      if (!Eat('(')) return std::nullopt;
      auto v = Sum();
      if (!v || !Eat(')')) return std::nullopt;
      if (name == "_HRESULT_TYPEDEF_") v->hresult = true;
      return v;
    }
    return resolve_(name);
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  Resolve resolve_;
};

bool EndsWith(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Names that hold a facility, a severity, a mask or the bounds of a range, not an error.
bool IsCode(const std::string& name) {
  if (name.empty() || name[0] == '_') return false;
  for (std::string_view head : {"FACILITY_", "SEVERITY_", "ERROR_SEVERITY_"})
    if (name.compare(0, head.size(), head) == 0) return false;
  for (std::string_view tail : {"_BASE", "BASEERR", "_FIRST", "_LAST", "_MASK", "_BIT"})
    if (EndsWith(name, tail)) return false;
  return true;
}

}  // namespace

Codes ParseWinError(std::string_view header) {
  // All definitions first: a name may stand for one defined further down.
  std::vector<std::pair<std::string, std::string>> defines;
  std::istringstream lines{std::string(header)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string hash, name;
    words >> hash;
    if (hash != "#define") continue;
    words >> name;
    if (name.empty() || name.find('(') != std::string::npos) continue;  // a macro with arguments
    std::string rest;
    std::getline(words, rest);
    if (const auto comment = rest.find("/*"); comment != std::string::npos) rest.resize(comment);
    if (const auto comment = rest.find("//"); comment != std::string::npos) rest.resize(comment);
    defines.emplace_back(name, rest);
  }
  std::unordered_map<std::string, std::string> text;
  for (const auto& [name, body] : defines) text.emplace(name, body);  // the first definition counts

  std::unordered_map<std::string, std::optional<Value>> values;
  std::function<std::optional<Value>(const std::string&)> resolve = [&](const std::string& name) -> std::optional<Value> {
    if (auto done = values.find(name); done != values.end()) return done->second;
    auto body = text.find(name);
    if (body == text.end()) return std::nullopt;
    values[name] = std::nullopt;  // a definition that refers to itself is no code
    auto value = Expression(body->second, resolve).Evaluate();
    values[name] = value;
    return value;
  };

  Codes codes;
  for (const auto& [name, body] : defines) {
    const auto value = resolve(name);
    if (!value || !IsCode(name)) continue;
    if (!value->hresult && (value->number < 0 || value->number > 0xFFFF)) continue;
    auto& names = (value->hresult ? codes.ole : codes.win32)[static_cast<std::uint32_t>(value->number)];
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return codes;
}

}  // namespace catgen
