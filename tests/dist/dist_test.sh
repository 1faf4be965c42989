#!/bin/sh
# The Windows release end to end: two `scripts/dist` runs in build trees at
# different paths give the same zip byte for byte; it holds exactly the four
# modules, each a PE of its architecture exporting only ENTRYPOINT, and the
# text files, and its SHA256SUMS match what it holds.
#   dist_test.sh SOURCE_DIR WORK_DIR
set -eu
src=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$src/scripts/dist" --out "$work/one" --build "$work/build-one" >"$work/one.txt"
"$src/scripts/dist" --out "$work/two" --build "$work/second-build" >"$work/two.txt"
zip=$(cat "$work/one.txt")
[ -f "$zip" ] || fail "no zip at '$zip'"
version=$(sed -n 's/^project(velk VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
[ "$(basename "$zip")" = "velk-$version-windows.zip" ] || fail "zip named $(basename "$zip"), version $version"
cmp "$zip" "$(cat "$work/two.txt")" || fail "two runs gave different zips"

expected="INSTALL.txt
LICENSE.txt
SHA256SUMS
Win32/velk2000.8bf
Win32/velk3d.8bf
Win64/velk2000.8bf
Win64/velk3d.8bf"
listed=$(unzip -Z1 "$zip" | LC_ALL=C sort)
[ "$listed" = "$expected" ] || fail "the zip holds: $listed"

mkdir "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$zip" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS"
[ "$(wc -l <"$work/unpacked/SHA256SUMS")" -eq 6 ] || fail "SHA256SUMS does not list six files"
grep -q "Velk $version for Windows" "$work/unpacked/INSTALL.txt" || fail "INSTALL.txt lacks the version"

for arch in Win64 Win32; do
    case $arch in
        Win64) objdump=x86_64-w64-mingw32-objdump; format=pei-x86-64 ;;
        Win32) objdump=i686-w64-mingw32-objdump; format=pei-i386 ;;
    esac
    for module in velk3d velk2000; do
        file=$work/unpacked/$arch/$module.8bf
        $objdump -f "$file" | grep -q "file format $format" || fail "$arch/$module.8bf is not $format"
        exports=$($objdump -p "$file" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep '^\s*\[ *[0-9]')
        [ "$(echo "$exports" | sed 's/.*\] //')" = "ENTRYPOINT" ] ||
            fail "$arch/$module.8bf exports: $exports"
        ! $objdump -h "$file" | grep -q '\.debug' || fail "$arch/$module.8bf carries debug sections"
    done
done
echo "release zip checked: $(basename "$zip")"
