#!/usr/bin/env bash
# Checks the layering of the sources:
#  1. a file includes only from its own folder and the folders below it (the table below);
#  2. no core library links Qt Widgets, directly or through another library;
#  3. no source of a core library includes a Qt Widgets header.
#
#   check_layers.sh <src folder> <core library manifest> <QtWidgets include folder>
#
# The manifest has lines "links <library> <every library it links>" and
# "source <library> <path of a .cpp>", written when the build is configured.
set -uo pipefail
src=$1
manifest=$2
widgets_headers=$3
failures=0
fail() { echo "layering: $*" >&2; failures=$((failures + 1)); }

# What each folder may include besides itself. A folder missing here is a failure, so that a new
# folder takes its place in the layers on purpose.
declare -A allowed=(
  [text]=""
  [platform]="text"
  [platform/qt]="text platform"
  [platform/xdg]="text platform platform/qt"
  [platform/x11]="text platform platform/qt platform/xdg"
  [platform/wayland]="text platform platform/qt platform/xdg"
  [platform/win32]="text platform platform/qt"
  [platform/sim]="text platform"
  [cliplist]="text platform platform/qt"
  [images]="text platform platform/qt"
  [grab]="text platform platform/qt"
  [dialogs]="text platform platform/qt"
  [workbench]="text platform platform/qt cliplist"
  [capture]="text platform platform/qt images"
  [app]="*"
)

while IFS= read -r -d '' file; do
  relative=${file#"$src"/}
  folder=$(dirname "$relative")
  if [[ ! -v allowed[$folder] ]]; then
    fail "$relative: the folder $folder has no place in the layers"
    continue
  fi
  [[ ${allowed[$folder]} == "*" ]] && continue
  while IFS= read -r included; do
    target=$(dirname "$included")
    [[ $target == "$folder" ]] && continue
    case " ${allowed[$folder]} " in
      *" $target "*) ;;
      *) fail "$relative includes $included: $folder may not reach $target" ;;
    esac
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\/[^"]*\)".*/\1/p' "$file")
done < <(find "$src" \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

# Core libraries: their link closures and their sources' includes.
mapfile -t widgets < <(ls "$widgets_headers")
declare -A is_widgets_header=()
for header in "${widgets[@]}"; do is_widgets_header[$header]=1; done
[[ ${#widgets[@]} -gt 100 ]] || fail "found no Qt Widgets headers in $widgets_headers"

cores=0
while read -r kind library rest; do
  case $kind in
    links)
      cores=$((cores + 1))
      for linked in $rest; do
        [[ $linked == Qt6::Widgets ]] && fail "the core library $library links Qt Widgets"
      done
      ;;
    source)
      for file in "$rest" "${rest%.cpp}.h"; do
        [[ -f $file ]] || continue
        while IFS= read -r included; do
          [[ -v is_widgets_header[$included] ]] &&
            fail "${file#"$src"/} (in $library) includes the widget header <$included>"
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<\([^>]*\)>.*/\1/p' "$file")
      done
      ;;
  esac
done < "$manifest"
[[ $cores -gt 0 ]] || fail "the manifest $manifest names no core library"

if [[ $failures -gt 0 ]]; then
  echo "layering: $failures fault(s)" >&2
  exit 1
fi
echo "layering: every include points down, and no core library reaches Qt Widgets"
