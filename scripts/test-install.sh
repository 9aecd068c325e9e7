#!/usr/bin/env bash
# The installation check: builds the release package into build-package/
# (Debian's hardening flags), validates every installed document with its own
# tool (desktop-file-validate, appstreamcli, man, lintian), compares a DESTDIR
# install with packaging/expected-files.txt, tests the bash completion, then
# installs the package with dpkg, runs both programs from /usr/bin with the
# build tree moved away, removes the package and checks that nothing of it is
# left in /usr. Needs root (or sudo) for dpkg; leaves the system as it was.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
start=$SECONDS
scripts/deps.sh dpkg-dev lintian desktop-file-utils appstream man-db groff-base bash-completion

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
package=corvalith
build="build-package"
work=$(mktemp -d)
installed=no
moved=no
cleanup() {
    if [ "$moved" = yes ]; then mv "$build.away" "$build"; fi
    if [ "$installed" = yes ]; then "${sudo[@]}" dpkg -r "$package" >/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "test-install: $*" >&2
    exit 1
}
step() { echo "== $* ($((SECONDS - start)) s)"; }

if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    fail "$package is installed already: remove it first (dpkg -r $package)"
fi

step "build the release package"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVALITH_BENCH=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    -DCORVALITH_WERROR="${CORVALITH_WERROR:-OFF}" \
    "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j2 --target corvix corvix-cli corvix-font-check install_documents
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
app_id=$(sed -n 's/.*kApplicationId\[\] = "\(.*\)";/\1/p' "$build/generated/corvalith/version.h")
[ -n "$version" ] && [ -n "$app_id" ] || fail "no version or application id in $build"
(cd "$build" && rm -f ./*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$build"/${package}_"${version}"_*.deb)
# The window's texts are Japanese: the package must pull in a Japanese font.
depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in
    *"fonts-ipafont-gothic | fonts-noto-cjk | fonts-vlgothic"*) ;;
    *) fail "the package does not depend on a Japanese font: $depends" ;;
esac

step "validate the desktop entry, the AppStream metadata and the manual pages"
desktop-file-validate "$build/packaging/$app_id.desktop"
appstreamcli validate --no-net "$build/packaging/$app_id.metainfo.xml"
for page in corvix corvix-cli; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
        "$build/packaging/$page.1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man $page.1: $warnings"
    # Viewed as a user without a UTF-8 locale views it: the page says the
    # encoding of its source itself, and its Japanese words come out in romaji.
    warnings=$(LC_ALL=C MANWIDTH=80 man --warnings -l "$build/packaging/$page.1" 2>&1 >"$work/$page.txt")
    [ -z "$warnings" ] || fail "man $page.1 in the C locale: $warnings"
    LC_ALL=C grep -q romaji "$work/$page.txt" || fail "man $page.1 in the C locale: no romaji"
    if LC_ALL=C grep -q '[^ -~]' "$work/$page.txt"; then
        fail "man $page.1 in the C locale: characters outside ASCII"
    fi
    echo "man $page.1: no warnings, in UTF-8 or in the C locale"
done

step "compare a DESTDIR install with packaging/expected-files.txt"
DESTDIR="$work/dest" cmake --install "$build" --strip >/dev/null
(cd "$work/dest" && find . ! -type d | sed 's|^\./|/|' | LC_ALL=C sort) >"$work/files.txt"
diff -u packaging/expected-files.txt "$work/files.txt" || fail "the installed files differ from the list"
# Installed programs must not read from the source or build tree.
if grep -rlF "$root" "$work/dest"; then fail "installed files name $root"; fi
for program in corvix corvix-cli; do
    if readelf -d "$work/dest/usr/bin/$program" | grep -E 'RPATH|RUNPATH'; then
        fail "$program keeps a library search path"
    fi
done

step "bash completion"
scripts/test-completion.sh "$work/dest/usr/share/bash-completion/completions/corvix-cli" \
    "$build/bin/corvix-cli"

step "lintian"
lintian --fail-on error,warning --display-info "$deb"
echo "lintian: no errors or warnings"

step "install with dpkg and run from /usr/bin"
expected=$(cd / && "$root/$build/bin/corvix-cli" predict "$root/data/sample-history.csv")
"${sudo[@]}" dpkg -i "$deb" >/dev/null
installed=yes
mv "$build" "$build.away"
moved=yes
sample=/usr/share/doc/$package/sample-history.csv
actual=$(cd "$work" && /usr/bin/corvix-cli predict "$sample")
[ "$actual" = "$expected" ] || fail "the installed corvix-cli forecasts the sample differently"
[ "$(cd "$work" && /usr/bin/corvix-cli --version)" = "corvix-cli $version" ] ||
    fail "corvix-cli --version"
[ "$(cd "$work" && QT_QPA_PLATFORM=offscreen /usr/bin/corvix --version)" = "corvix $version" ] ||
    fail "corvix --version"
# The window comes up on the offscreen platform and stays until it is stopped.
status=0
(cd "$work" && XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen timeout 3 /usr/bin/corvix \
    >/dev/null 2>"$work/corvix.err") || status=$?
[ "$status" -eq 124 ] || fail "the installed corvix ended with status $status: $(cat "$work/corvix.err")"
[ "$(man -w corvix-cli)" = /usr/share/man/man1/corvix-cli.1.gz ] || fail "man -w corvix-cli"
# The window's font draws Japanese with the installed system's fonts; with a font set that has no Japanese
# face the same check fails, so it cannot pass by accident.
font_check=("$root/$build.away/bin/corvix-font-check")
(cd "$work" && XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen "${font_check[@]}") ||
    fail "the window's font does not draw Japanese"
mkdir -p "$work/no-japanese-fonts" "$work/fontconfig-cache"
latin=/usr/share/fonts/truetype/dejavu
[ -d "$latin" ] || latin="$work/no-japanese-fonts"
cat >"$work/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig><dir>$latin</dir><cachedir>$work/fontconfig-cache</cachedir></fontconfig>
CONF
if (cd "$work" && FONTCONFIG_FILE="$work/fonts.conf" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen \
        "${font_check[@]}" 2>/dev/null); then
    fail "the font check passes without a Japanese font"
fi
desktop-file-validate "/usr/share/applications/$app_id.desktop"
echo "installed: corvix-cli predict, both --version, the window, its Japanese font and man -w corvix-cli work"
mv "$build.away" "$build"
moved=no

step "remove with dpkg"
dpkg-query -L "$package" | LC_ALL=C sort >"$work/owned.txt"
"${sudo[@]}" dpkg -r "$package" >/dev/null
installed=no
left=()
while IFS= read -r path; do
    [ -e "$path" ] || continue
    # A directory stays when another package owns it too.
    if [ -d "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1; then continue; fi
    left+=("$path")
done <"$work/owned.txt"
mapfile -t -O "${#left[@]}" left < <(find /usr \( -iname '*corvix*' -o -iname '*corvalith*' \) -print)
[ ${#left[@]} -eq 0 ] || fail "left in /usr after dpkg -r: ${left[*]}"
echo "removed: nothing of $package is left in /usr"
step "install check passed"
