// The parts of the forms layer that both back ends share.
#include "platform/forms.h"
#include "platform/system.h"
#include "platform/version.h"

namespace forms {

SystemServices& NativeSys();  // each back end's own

namespace {
SystemServices* g_services = nullptr;
}

SystemServices& Sys() { return g_services ? *g_services : NativeSys(); }

SystemServices* SetSys(SystemServices* services) {
  SystemServices* previous = g_services;
  g_services = services;
  return previous;
}

Control::Control(Form& form, ControlKind kind, ControlArgs args)
    : form_(form), kind_(kind), args_(std::move(args)) {
  form.controls_.push_back(this);
}

Application& App() {
  static Application app{L"" QUORVEX_TITLE, QUORVEX_MAJOR, QUORVEX_MINOR, QUORVEX_REVISION};
  return app;
}

void MsgBox(const std::wstring& prompt, const std::wstring& title) {
  Sys().MsgBox(prompt, title.empty() ? App().Title : title);
}

}  // namespace forms
