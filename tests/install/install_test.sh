#!/usr/bin/env bash
# Installs the build tree into a fresh temporary prefix, then checks that the programs, their
# manual pages, the desktop entry, the icon, the file types, the AppStream metainfo and the license
# are there, are valid, and fit together: every type the mime package defines is offered by the
# desktop entry, and the updated databases map the measurement file names to the viewer. Needs no
# display.
# Usage: install_test.sh <cmake> <build dir> [program ...]   (programs whose targets exist)
set -euo pipefail

cmake=$1
build=$2
shift 2
programs=("$@")

trap 'echo "FAIL: unexpected error at line $LINENO" >&2' ERR
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# A "." in the prefix's name, as in many install folders, changes nothing.
prefix=$(mktemp -d /tmp/vexal.install-XXXXXX)
trap 'rm -rf "$prefix"' EXIT
share=$prefix/share

if ! log=$("$cmake" --install "$build" --prefix "$prefix" 2>&1); then
  echo "$log" >&2
  echo "FAIL: cmake --install failed (build the programs first)" >&2
  exit 1
fi

# Programs: each answers --help and --version on standard output without a display, and each
# has a manual page that formats without warnings.
for program in "${programs[@]}"; do
  binary=$prefix/bin/$program
  [ -x "$binary" ] || { fail "program $program is not installed in bin"; continue; }
  help=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "$binary" --help 2>&1) ||
    fail "$program --help exits with a failure"
  [[ $help == "Usage: $program "* ]] || fail "$program --help does not start with its usage"
  version=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "$binary" --version 2>&1) ||
    fail "$program --version exits with a failure"
  [[ $version == "$program "[0-9]* && $version == *GPL-3.0-or-later* ]] ||
    fail "$program --version does not give its version and license: $version"

  page=$share/man/man1/$program.1
  [ -f "$page" ] || { fail "no manual page at $page"; continue; }
  grep -q "^\.TH \"\?${program^^}\"\? \"\?1" "$page" || fail "$page has no .TH header for section 1"
  grep -q '^\.SH NAME' "$page" || fail "$page has no NAME section"
  if ! warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1) || [ -n "$warnings" ]; then
    fail "groff warns on $page: $warnings"
  fi
  if ! text=$(MANWIDTH=80 man -l "$page" 2>&1); then
    fail "man cannot show $page: $text"
  elif [[ $text != *"$program"* || $text != *--help* ]]; then
    fail "$page does not describe $program and its options"
  fi
done

# The installed renderer finds its picture part (which it opens for a zoomed picture).
if [[ " ${programs[*]} " == *" mlsvexal-render "* ]]; then
  example=$(cd "$(dirname "$0")/../../examples" && pwd)/room.mls
  picture=$prefix/room.png
  if ! report=$(env -u DISPLAY "$prefix/bin/mlsvexal-render" --zoom 2 --png "$picture" "$example" 2>&1); then
    fail "the installed mlsvexal-render cannot paint: $report"
  elif [ "$(head -c 8 "$picture" | od -An -tx1 | tr -d ' ')" != 89504e470d0a1a0a ]; then
    fail "the installed mlsvexal-render wrote no PNG"
  fi
fi

# The license text.
[ -f "$share/doc/mlsvexal/LICENSE" ] || fail "no LICENSE in $share/doc/mlsvexal"
grep -q 'GNU GENERAL PUBLIC LICENSE' "$share/doc/mlsvexal/LICENSE" 2>/dev/null ||
  fail "the installed LICENSE is not the GNU GPL"

# Desktop entry: valid, starts the viewer with the chosen file, names an installed icon.
desktop=$share/applications/mlsvexal.desktop
[ -f "$desktop" ] || { fail "no desktop entry at $desktop"; exit 1; }
if ! report=$(desktop-file-validate "$desktop" 2>&1); then
  fail "desktop-file-validate rejects the entry: $report"
elif grep -qiE ': (error|warning):' <<<"$report"; then
  fail "desktop-file-validate warns: $report"
fi
entry_value() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
[ "$(entry_value Exec)" = "mlsvexal %f" ] || fail "Exec is '$(entry_value Exec)', not 'mlsvexal %f'"
[ "$(entry_value Terminal)" = "false" ] || fail "Terminal is not false"
icon=$(entry_value Icon)
[ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "icon '$icon' is not installed"

# The AppStream metainfo beside the desktop entry: valid, and launching that entry.
metainfo=$share/metainfo/org.mlsvexal.MlsVexal.metainfo.xml
if [ ! -f "$metainfo" ]; then
  fail "no metainfo at $metainfo"
elif ! report=$(appstreamcli validate --no-net "$metainfo" 2>&1); then
  fail "appstreamcli validate rejects the metainfo: $report"
else
  launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
  [ -f "$share/applications/$launchable" ] ||
    fail "the metainfo launches '$launchable', which is not installed"
fi

# Icon and mime package are well-formed XML.
mime_package=$share/mime/packages/mlsvexal-mime.xml
[ -f "$mime_package" ] || { fail "no mime package at $mime_package"; exit 1; }
xmllint --noout "$share/icons/hicolor/scalable/apps/$icon.svg" "$mime_package" ||
  fail "icon or mime package is not well-formed"

# Every type the package defines is offered by the desktop entry, and so are WAV recordings.
offered=";$(entry_value MimeType)"
mapfile -t types < <(grep -o '<mime-type type="[^"]*"' "$mime_package" | sed 's/.*type="//; s/"$//')
[ ${#types[@]} -eq 3 ] || fail "mime package defines ${#types[@]} types, expected 3"
for type in "${types[@]}" audio/x-wav; do
  [[ $offered == *";$type;"* ]] || fail "desktop entry does not offer $type"
done

# The mime database built from the package gives each measurement file name one of those types.
# update-mime-database reports bad packages on its output but still succeeds, so any output fails.
export XDG_DATA_DIRS="$share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
output=$(update-mime-database "$share/mime" 2>&1) || fail "update-mime-database failed"
[ -z "$output" ] || fail "update-mime-database reports: $output"
for type in "${types[@]}"; do
  [ -f "$share/mime/$type.xml" ] || fail "mime database has no entry for $type"
done
type_of() {  # the type whose glob matches a file name, from the generated globs2
  local weight type pattern
  while IFS=: read -r weight type pattern; do
    [[ $weight == \#* ]] && continue
    # shellcheck disable=SC2053  # the pattern is a glob on purpose
    [[ ${1,,} == ${pattern,,} ]] && { echo "$type"; return 0; }
  done <"$share/mime/globs2"
  return 0
}
for name in hall.mls hall.pcm hall.__txt HALL.MLS row7.__1; do
  type=$(type_of "$name")
  [[ " ${types[*]} " == *" $type "* ]] || fail "$name gets type '$type', not one of ours"
done
[ "$(type_of hall.mls)" = application/x-mlsvexal-spectrum ] || fail "hall.mls is not a spectrum file"
[ "$(type_of hall.pcm)" = application/x-mlsvexal-pcm ] || fail "hall.pcm is not a raw recording"
[ "$(type_of hall.__txt)" = text/x-mlsvexal-levels ] || fail "hall.__txt is not a level export"

# The desktop database built from the entry offers the viewer for each type.
output=$(update-desktop-database "$share/applications" 2>&1) || fail "update-desktop-database failed"
[ -z "$output" ] || fail "update-desktop-database reports: $output"
for type in "${types[@]}"; do
  grep -qE "^$type=(.*;)?mlsvexal\.desktop;" "$share/applications/mimeinfo.cache" ||
    fail "desktop database does not offer the viewer for $type"
done

if [ $failures -ne 0 ]; then
  echo "$failures install check(s) failed" >&2
  exit 1
fi
echo "install into $prefix: all checks passed"
