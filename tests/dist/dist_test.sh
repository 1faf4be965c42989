#!/bin/sh
# The release files end to end: two `scripts/dist` runs in build trees at
# different paths give the same zip and the same package byte for byte. The
# zip holds exactly the four modules, each a PE of its architecture
# exporting only ENTRYPOINT, and the text files, and its SHA256SUMS match what
# it holds. The package installs with dpkg and apt-get (run as root), and the
# installed velk shows its version and manual page and renders the sample as
# the build tree's velk does; it is removed again afterwards.
#   dist_test.sh SOURCE_DIR WORK_DIR
set -eu
src=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$src/scripts/dist" --out "$work/one" --build "$work/build-one" >"$work/one.txt"
"$src/scripts/dist" --out "$work/two" --build "$work/second-build" >"$work/two.txt"
zip=$(sed -n 1p "$work/one.txt")
deb=$(sed -n 2p "$work/one.txt")
[ -f "$zip" ] || fail "no zip at '$zip'"
version=$(sed -n 's/^project(velk VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
[ "$(basename "$zip")" = "velk-$version-windows.zip" ] || fail "zip named $(basename "$zip"), version $version"
cmp "$zip" "$(sed -n 1p "$work/two.txt")" || fail "two runs gave different zips"
[ "$(basename "$deb")" = "velk_${version}_amd64.deb" ] || fail "package named $(basename "$deb")"
cmp "$deb" "$(sed -n 2p "$work/two.txt")" || fail "two runs gave different packages"

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

# The package: its files, and the library packages it depends on.
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort | tr '\n' ' ')
[ "$files" = "./usr/bin/velk ./usr/lib/velk/velk_images.so ./usr/share/doc/velk/README.md ./usr/share/man/man1/velk.1.gz " ] ||
    fail "the package holds: $files"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libopenimageio2.4 libspng0 libdeflate0 zlib1g; do
    echo "$depends" | grep -q "$package" || fail "the package does not depend on $package: $depends"
done

if [ "$(id -u)" -ne 0 ] || [ "$(dpkg-query -W -f='${db:Status-Status}' velk 2>/dev/null)" = installed ]; then
    echo "release files checked; the package was not installed (not root, or a velk package is installed)"
    exit 0
fi
trap 'dpkg -P velk >/dev/null 2>&1 || true' EXIT
dpkg -i "$deb" >"$work/install.log" 2>&1 || apt-get -f install -y >>"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; fail "the package did not install"; }
[ "$(/usr/bin/velk --version)" = "velk $version" ] || fail "installed velk --version: $(/usr/bin/velk --version)"
man -w velk | grep -q "^/usr/share/man/man1/velk.1.gz$" || fail "man velk does not find the page"
MANWIDTH=80 man velk 2>/dev/null | grep -q "velk apply velk3d" || fail "man velk lacks velk apply velk3d"
built=$work/build-one/native/tools/velk/velk
/usr/bin/velk apply velk3d "$src/samples/coffee.png" "$work/installed.png" >/dev/null
"$built" apply velk3d "$src/samples/coffee.png" "$work/built.png" >/dev/null
cmp "$work/installed.png" "$work/built.png" || fail "the installed velk renders otherwise than the build's"
echo "release files checked: $(basename "$zip"), $(basename "$deb"), installed and removed"
