#!/usr/bin/env bash
# Installs a build folder with cmake --install (prefix /usr) into a temporary
# DESTDIR and checks what lands there: the files, the desktop entry, the
# AppStream data, the manual pages, and quillon --version without a display.
#   validate-install.sh BUILD_DIR
set -euo pipefail

build="${1:?usage: validate-install.sh BUILD_DIR}"
app_id=org.ashgrove.Quillon
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (bash tools/install-deps.sh installs it)" >&2; exit 1; }
done

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
usr="$root/usr"

expected=(
  bin/quillon
  bin/quillon-gateway
  "share/applications/$app_id.desktop"
  "share/icons/hicolor/scalable/apps/$app_id.svg"
  "share/metainfo/$app_id.metainfo.xml"
  share/man/man1/quillon.1
  share/man/man1/quillon-gateway.1
)
for f in "${expected[@]}"; do
  [ -f "$usr/$f" ] || fail "not installed: /usr/$f"
done
# Nothing else under /usr: no benchmark or test programs, no stray files.
unexpected="$(cd "$usr" && find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))"
[ -z "$unexpected" ] || fail "installed but not expected: $unexpected"
for b in quillon quillon-gateway; do
  [ -x "$usr/bin/$b" ] || fail "not executable: /usr/bin/$b"
done

desktop-file-validate "$usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$usr/share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"

# The manual pages render without groff warnings.
if command -v groff >/dev/null; then
  for page in quillon quillon-gateway; do
    warnings="$(groff -man -Tutf8 -ww -z "$usr/share/man/man1/$page.1" 2>&1)" || fail "groff cannot render $page.1"
    [ -z "$warnings" ] || fail "groff warns about $page.1: $warnings"
  done
fi

# --version needs no display and no platform plugin.
version="$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$usr/bin/quillon" --version 2>&1)" || fail "quillon --version exited with $?"
[ "$version" = "Quillon 2.2" ] || fail "quillon --version printed: $version"
help="$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$usr/bin/quillon" --help 2>&1)" || fail "quillon --help exited with $?"
grep -q "Quillon 2.2" <<<"$help" || fail "quillon --help printed: $help"
"$usr/bin/quillon-gateway" --help >/dev/null || fail "quillon-gateway --help exited with $?"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "install tree valid"
