#!/usr/bin/env bash
# `cmake --install` into a temporary prefix: exactly the expected files, pictures of the right
# sizes, and a desktop entry, AppStream metadata and file type that the desktop's own tools accept.
# Usage: check_install_tree.sh CMAKE BUILD_DIR APP_ID
set -euo pipefail
cmake=$1 build=$2 id=$3

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

expected=(
  bin/zub
  libexec/zub/zub-metafile-reader
  share/applications/$id.desktop
  share/metainfo/$id.metainfo.xml
  share/mime/packages/$id.xml
  share/icons/hicolor/scalable/apps/$id.svg
)
for size in 16 32 48 128 256; do expected+=("share/icons/hicolor/${size}x$size/apps/$id.png"); done
diff -u <(printf '%s\n' "${expected[@]}" | sort) \
        <(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort) ||
  fail "the installed files differ from the expected ones (- expected, + installed)"

[ -x "$prefix/bin/zub" ] || fail "bin/zub is not executable"
# The metafile reader, where the installed program looks for it, draws a metafile without a
# display: a 96 × 48 picture comes back as its size and then 4 bytes a pixel.
reader=$prefix/bin/../libexec/zub/zub-metafile-reader
seed=$(dirname "$0")/../fuzz/corpus/wmf_reader/rectangle.wmf
bytes=$(env -u DISPLAY "$reader" <"$seed" | wc -c) || fail "the metafile reader failed"
[ "$bytes" -eq $((8 + 96 * 48 * 4)) ] || fail "the metafile reader gave $bytes bytes"
for size in 16 32 48 128 256; do
  png=$prefix/share/icons/hicolor/${size}x$size/apps/$id.png
  file -b "$png" | grep -q "^PNG image data, $size x $size," || fail "$png: $(file -b "$png")"
done

desktop=$prefix/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
field() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(field Name)" = "Zub剪贴板" ] || fail "Name=$(field Name)"
[ "$(field Exec)" = "zub %f" ] || fail "Exec=$(field Exec)"
[ "$(field Icon)" = "$id" ] || fail "Icon=$(field Icon)"
[ "$(field StartupWMClass)" = zub ] || fail "StartupWMClass=$(field StartupWMClass)"
[[ "$(field Categories)" == *Utility\;* ]] || fail "Categories=$(field Categories)"
[[ "$(field MimeType)" == *application/x-zub\;* ]] || fail "MimeType=$(field MimeType)"

metainfo=$prefix/share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >/dev/null || {
  appstreamcli validate --no-net "$metainfo" >&2
  fail "appstreamcli rejects $metainfo"
}
grep -q "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metadata does not launch $id.desktop"
grep -q '<screenshot type="default">' "$metainfo" || fail "the metadata has no screenshot"
grep -q '<mediatype>application/x-zub</mediatype>' "$metainfo" || fail "no media type provided"

# The file type as the desktop sees it once its database is built from the installed file.
update-mime-database "$prefix/share/mime" 2>/dev/null
grep -qx '50:application/x-zub:\*\.zub' "$prefix/share/mime/globs2" ||
  fail "*.zub is not application/x-zub in the built database"
grep -qx 'application/x-zub text/plain' "$prefix/share/mime/subclasses" ||
  fail "application/x-zub is not a kind of text/plain"

# The installed program answers without a display.
version=$(env -u DISPLAY "$prefix/bin/zub" --version) || fail "bin/zub --version failed"
[[ "$version" == "Zub剪贴板 "* ]] || fail "bin/zub --version printed: $version"
echo "install tree OK"
