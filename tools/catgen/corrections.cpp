#include "corrections.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>

#include "families.h"

namespace catgen {

const Candidate* Meaning::Chosen() const {
  for (const Candidate& c : texts)
    if (!c.text.empty()) return &c;
  return nullptr;
}

TextBook::TextBook(std::vector<Meaning>& meanings, std::map<std::pair<Family, std::string>, std::string> referenceByName)
    : meanings_(meanings), referenceByName_(std::move(referenceByName)) {
  for (std::size_t i = 0; i < meanings_.size(); ++i)
    if (meanings_[i].main) main_.emplace(meanings_[i].code, i);
}

Meaning* TextBook::Main(Code code) {
  const auto at = main_.find(code);
  return at == main_.end() ? nullptr : &meanings_[at->second];
}

std::string TextBook::Reference(Family family, const std::string& name) const {
  const auto at = referenceByName_.find({family, name});
  return at == referenceByName_.end() ? std::string() : at->second;
}

std::vector<std::string> TextBook::References(Family family) const {
  std::vector<std::string> texts;
  for (const auto& [key, text] : referenceByName_)
    if (key.first == family && !text.empty()) texts.push_back(text);
  return texts;
}

bool OnlyInserts(const std::string& text) {
  bool inserts = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size()) {
      std::size_t j = i + 1;
      while (j < text.size() && std::strchr("-#0123456789.", text[j])) ++j;
      const bool numbered = j > i + 1;
      std::size_t k = j;
      while (k < text.size() && std::strchr("hlLwI", text[k])) ++k;
      if (k < text.size() && std::isalpha(static_cast<unsigned char>(text[k]))) {
        inserts = true;
        i = k;
        continue;
      }
      if (numbered) {
        inserts = true;
        const std::size_t close = j < text.size() && text[j] == '!' ? text.find('!', j + 1) : std::string::npos;
        i = close != std::string::npos ? close : j - 1;
        continue;
      }
    }
    if (std::isalnum(static_cast<unsigned char>(text[i]))) return false;
  }
  return inserts;
}

namespace {

// Gives a meaning another code's text, before its own.
std::size_t TakeTextOf(TextBook& book, Code to, Code from) {
  Meaning* target = book.Main(to);
  const Meaning* source = book.Main(from);
  if (!target || !source || source->Text().empty() || target->Text() == source->Text()) return 0;
  target->texts.insert(target->texts.begin(), {source->Text(), Source::Correction});
  return 1;
}

std::size_t DropNonTexts(TextBook& book) {
  std::size_t changed = 0;
  for (Meaning& m : book.Meanings())
    for (Candidate& c : m.texts)
      if (!c.text.empty() && (c.text == "No description" || OnlyInserts(c.text) ||
                              std::find(m.names.begin(), m.names.end(), c.text) != m.names.end())) {
        c.text.clear();
        ++changed;
      }
  return changed;
}

std::size_t CompleteCaptions(TextBook& book) {
  std::size_t changed = 0;
  const std::vector<std::string> statusTexts = book.References(Family::NtStatus);
  for (Meaning& m : book.Meanings()) {
    const std::string text = m.Text();
    if (text.size() < 3 || text.front() != '{' || text.find('}') != text.size() - 1) continue;
    const auto completes = [&](const std::string& whole) { return whole.size() > text.size() && whole.compare(0, text.size(), text) == 0; };
    // The status of the same name first, else the one status text that begins with the caption.
    std::string whole;
    for (const std::string& name : m.names)
      if (name.rfind("ERROR_", 0) == 0 && completes(book.Reference(Family::NtStatus, "STATUS_" + name.substr(6)))) {
        whole = book.Reference(Family::NtStatus, "STATUS_" + name.substr(6));
        break;
      }
    if (whole.empty()) {
      std::set<std::string> found;
      for (const std::string& status : statusTexts)
        if (completes(status)) found.insert(status);
      if (found.size() == 1) whole = *found.begin();
    }
    if (whole.empty()) continue;
    m.texts.insert(m.texts.begin(), {whole, Source::Correction});
    ++changed;
  }
  return changed;
}

std::size_t SetupApiTexts(TextBook& book) {
  std::size_t changed = 0;
  for (Meaning& m : book.Meanings())
    if (m.family == HeaderWords("setupapi.h") && (m.code.value & 0xFFFF0000u) == 0xE0000000u && m.Text().empty())
      changed += TakeTextOf(book, m.code, {Family::HResult, 0x800F0000u | (m.code.value & 0xFFFF)});
  return changed;
}

}  // namespace

const std::vector<Correction>& Corrections() {
  static const std::vector<Correction> corrections{
      {"A text that is only the code's own name, \"No description\", or inserts alone (\"%hs\") is no text.",
       "It describes nothing; without it the line names the code's family instead.", DropNonTexts},
      {"A text that is only a caption, such as \"{Application Error}\", takes the reference's text of the NTSTATUS "
       "code of the same name (STATUS_ for ERROR_) where that text begins with the caption, else the one NTSTATUS "
       "text that begins with it.",
       "The code stands for the NTSTATUS code, and the caption is only the first part of its message.",
       CompleteCaptions},
      {"S_OK (00000000) takes the text of Win32 code 0.",
       "HRESULT 0 is HRESULT_FROM_WIN32(ERROR_SUCCESS): both say that the operation succeeded.",
       [](TextBook& b) { return TakeTextOf(b, {Family::HResult, 0}, {Family::Win32, 0}); }},
      {"A SetupAPI code E000xxxx without a text takes the text of the HRESULT 800Fxxxx.",
       "HRESULT_FROM_SETUPAPI makes the one into the other (SPAPI_E_ names), and the reference describes those.",
       SetupApiTexts},
      {"8007000E (E_OUTOFMEMORY) and 80070032 (ERROR_NOT_SUPPORTED) take the text of Win32 codes 14 and 50.",
       "The reference gives these two wrapped Win32 codes the wording of one remote-desktop feature (\"the new "
       "channel\", \"a dynamic virtual channel\"), which is not what they mean elsewhere.",
       [](TextBook& b) {
         return TakeTextOf(b, {Family::HResult, 0x8007000Eu}, {Family::Win32, 14}) +
                TakeTextOf(b, {Family::HResult, 0x80070032u}, {Family::Win32, 50});
       }},
  };
  return corrections;
}

}  // namespace catgen
