#!/usr/bin/env bash
# The Windows zip as a user gets it: what it holds, the exe's version
# resource, and the exe unpacked from it starting under Wine in that folder,
# showing the pet, its About box naming the version, leaving from its menu.
DORRABEE=dorrabee.exe  # inside the zip's folder
. "$(dirname "$0")/../e2e_wine/lib.sh"
: "${PACKAGES:?}" "${VERSION:?}" "${SOURCE:?}"
zips=("$PACKAGES"/dorrabee-*-windows.zip)
if [ ${#zips[@]} -ne 1 ] || [ ! -f "${zips[0]}" ]; then
    echo "expected one dorrabee-*-windows.zip in $PACKAGES: run scripts/package.sh zip" >&2
    exit 2
fi
[ -f "$INSPECT" ] || { echo "$INSPECT is missing: build the windows preset's tests" >&2; exit 2; }
zip=${zips[0]}
top=dorrabee-$VERSION-windows

# ---- exactly the exe, its note, and the pets when the source has any
pets=""
[ -d "$SOURCE/pets" ] && pets=$(cd "$SOURCE/pets" && find . -type f | sed "s|^\.|$top/pets|")
files=$(python3 -c 'import sys, zipfile
print("\n".join(n for n in zipfile.ZipFile(sys.argv[1]).namelist() if not n.endswith("/")))' "$zip" | sort)
check "the zip holds exactly dorrabee.exe, dorrabee-sim.exe and README.txt in one folder" \
    diff <(printf '%s\n%s\n%s\n%s\n' "$top/README.txt" "$top/dorrabee.exe" "$top/dorrabee-sim.exe" "$pets" |
        sed '/^$/d' | sort) <(echo "$files")

app=$WORK/unpacked/$top
python3 -m zipfile -e "$zip" "$WORK/unpacked"
IFS=. read -r major minor patch tweak <<<"$VERSION"
resource=$(cd "$app" && inspect version dorrabee.exe)
echo "$resource"
check "the version resource's numbers are the project's" \
    grep -qx "fixed=$major.$minor.${patch:-0}.${tweak:-0}" <<<"$resource"
check "its FileVersion is the project's" grep -qx "FileVersion=$VERSION" <<<"$resource"
check "its ProductVersion is the project's" grep -qx "ProductVersion=$VERSION" <<<"$resource"

pet_report=$(cd "$app" && wine dorrabee-sim.exe --check pets/domino --out check 2>/dev/null)
check "the zip's checker passes the zip's pet ($pet_report)" test -f "$app/check/contact.png"
rm -rf "$app/check"

start_display
start_pet() {
    (cd "$app" && exec wine "$PET_EXE" >"$WORK/pet.log" 2>&1) &
    PET_PID=$!
}
start_pet
pet=$(pet_window) || { fail "the unpacked exe shows no pet window"; finish; }
if shows=$(pet_shows "$pet"); then pass "the pet shows $shows"; else fail "$shows"; fi
shot pet

choose "$pet" a
for _ in $(seq 30); do inspect about | grep -q '^count=1' && break; sleep 0.2; done
texts=$(inspect about | grep '^text=' || true)
echo "$texts"
check "About names the version" grep -qF "\\n版本 $VERSION\\n" <<<"$texts"
shot about
move_dialog_away about "$pet"  # the box may cover the pet

choose "$pet" e
wait_pet_exit
check "Exit from its menu ends the program with code 0 (got $PET_EXIT)" test "$PET_EXIT" = 0
finish
