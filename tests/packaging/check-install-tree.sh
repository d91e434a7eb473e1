#!/bin/sh
# Installs the build into a scratch folder as the package does and checks it:
# the file list, the desktop entry, the metainfo, the MIME type, and that an
# installed program writes only into the configuration home.
#   check-install-tree.sh BUILD-DIR EXPECTED-FILES
set -eu
export LC_ALL=C
build=$1
expected=$2
source=$(cd "$(dirname "$expected")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root

DESTDIR=$root cmake --install "$build" --prefix /usr > /dev/null
(cd "$root" && find . \( -type f -o -type l \) | sort) > "$scratch/files"
diff -u "$expected" "$scratch/files"

desktop-file-validate "$root/usr/share/applications/org.tqr716.PluManager.desktop"
grep -qx 'Exec=plu-manager %f' "$root/usr/share/applications/org.tqr716.PluManager.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.tqr716.PluManager.metainfo.xml" > "$scratch/appstream.log" \
  || { cat "$scratch/appstream.log"; exit 1; }

# A SHOP.PLU (any case) is a document of the desktop entry's type.
mkdir -p "$scratch/mime/packages"
cp "$root/usr/share/mime/packages/tqr716-plu-manager.xml" "$scratch/mime/packages/"
update-mime-database "$scratch/mime"
grep -q '^50:application/x-tqr716-plu:\*\.plu' "$scratch/mime/globs2"
grep -q 'MimeType=application/x-tqr716-plu;' "$root/usr/share/applications/org.tqr716.PluManager.desktop"

# The default settings hold the programs' own default port (COM2), so a first
# start behaves as one without a settings file.
tr -d '\r' < "$root/usr/share/tqr716-plu-manager/SYSTEM.CFG" | grep -qx 'Port=2'

# The shipped translations, as written, where Help > Language... looks for
# them; the package asks for Qt's own translations their Locale key loads.
for language in "$source"/packaging/lang/*.LNG; do
  cmp "$language" "$root/usr/share/tqr716-plu-manager/lang/$(basename "$language")"
done
grep -q 'CPACK_DEBIAN_PACKAGE_DEPENDS "[^"]*qt6-translations-l10n' "$build/CPackConfig.cmake" \
  || { echo "the package does not depend on qt6-translations-l10n"; exit 1; }

# The installed plu-cli on its first start: its settings come from the shared
# default into ~/.config/tqr716-plu-manager/, nothing lands beside it.
status=0
env -u XDG_CONFIG_HOME HOME="$scratch/home" "$root/usr/bin/plu-cli" doctor --port "$scratch/no-such-tty" \
  > "$scratch/doctor.out" 2>&1 || status=$?
if [ "$status" -ne 1 ]; then cat "$scratch/doctor.out"; echo "doctor on a missing device: exit $status, not 1"; exit 1; fi
grep -q "does not exist" "$scratch/doctor.out"
cmp "$root/usr/share/tqr716-plu-manager/SYSTEM.CFG" "$scratch/home/.config/tqr716-plu-manager/SYSTEM.CFG"
test -w "$scratch/home/.config/tqr716-plu-manager/SYSTEM.CFG"
(cd "$root" && find . \( -type f -o -type l \) | sort) | diff -u "$scratch/files" -
echo "install tree ok"
