#!/usr/bin/env bash
# Builds and runs every test: the native unit tests, a check of the shipped
# exe's format, and the end-to-end suite against the real program under Wine.
# Quiet when all is well apart from the suites' summaries; exits non-zero if
# anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
QV_PROG='test'
. scripts/wine-env.sh

failed=()

bash scripts/setup.sh
qv_choose_arch

# Native: the windows' code on the in-memory back end, under the sanitizers.
if qv_build build/native -DQUORVEX_WERROR=ON; then
  qv_ctest native build/native -j2 || failed+=("native tests")
else
  failed+=("native build")
fi

# The Windows builds: the product, and the build whose e2e suite Wine runs.
if ! qv_build_windows ON -DQUORVEX_WERROR=ON; then
  failed+=("$QV_FAILED_BUILD")
fi
if [ -z "$QV_FAILED_BUILD" ]; then
  if exe=$(qv_product_exe build/win32); then
    bash scripts/check-pe.sh "${exe#"$QV_ROOT"/}" || failed+=("exe format")
    bash scripts/check-package.sh build/win32 || failed+=("release package")
  else
    failed+=("exe format")
  fi
fi

# End to end: the real exe under Wine on a private X server. One test at a
# time: they share the screen and the focus.
e2e_built=yes
case $QUORVEX_WINE_ARCH/$QV_FAILED_BUILD in
  win32/?*|win64/"x86_64 build") e2e_built=no ;;
esac
if [ $e2e_built = yes ]; then
  WINEPREFIX=$QV_ROOT/build/wineprefix-$QUORVEX_WINE_ARCH
  qv_wine_use "$QUORVEX_WINE_ARCH"
  qv_install_cleanup
  if qv_xvfb_start && qv_prefix_prepare && qv_server_start headless; then
    qv_ctest "e2e ($QUORVEX_WINE_ARCH)" "$QV_E2E_BUILD" || failed+=("e2e tests")
  else
    failed+=("Wine/Xvfb start")
  fi
  qv_cleanup
fi

if [ ${#failed[@]} -gt 0 ]; then
  qv_err "FAILED: $(printf '%s, ' "${failed[@]}" | sed 's/, $//')"
  exit 1
fi
qv_say "all passed"
