#include "directx_texts.h"

#include <windows.h>

#include <string>

#include "message_table.h"

#ifdef QUORVEX_DXERR
extern "C" const WCHAR* WINAPI DXGetErrorString9W(HRESULT hr);
extern "C" const WCHAR* WINAPI DXGetErrorDescription9W(HRESULT hr);
#endif

namespace catgen {

namespace {

std::string Utf8(const WCHAR* wide) {
  const std::wstring text = wide ? wide : L"";
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

}  // namespace

std::vector<Described> DirectXTexts(const std::vector<std::uint32_t>& hresults) {
  std::vector<Described> texts;
#ifdef QUORVEX_DXERR
  for (std::uint32_t value : hresults) {
    const auto hr = static_cast<HRESULT>(value);
    // A code the library does not know reads "n/a", and a name for a text is no text.
    const std::string name = Utf8(DXGetErrorString9W(hr)), text = Utf8(DXGetErrorDescription9W(hr));
    if (!name.empty() && name != "Unknown" && !text.empty() && text != "n/a" && text != name)
      texts.push_back({{Family::HResult, value}, name, text});
  }
#else
  (void)hresults;
#endif
  return texts;
}

}  // namespace catgen
