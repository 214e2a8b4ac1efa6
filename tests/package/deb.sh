#!/usr/bin/env bash
# The Debian package as a user gets it: its control fields, its files,
# lintian's verdict, and the program unpacked from it starting on a private
# Xvfb, showing the pet and leaving from its menu.
DORRABEE=/usr/games/dorrabee  # where the package puts it
. "$(dirname "$0")/../e2e_linux/lib.sh" none
: "${PACKAGES:?}" "${VERSION:?}" "${SOURCE:?}"
debs=("$PACKAGES"/dorrabee_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "expected one dorrabee_*.deb in $PACKAGES: run scripts/package.sh deb" >&2
    exit 2
fi
deb=${debs[0]}

# ---- control fields; the libraries come from the binary itself (shlibdeps)
field() { dpkg-deb -f "$deb" "$1"; }
check "Package is dorrabee" test "$(field Package)" = dorrabee
check "Version is the project's ($VERSION)" test "$(field Version)" = "$VERSION"
check "Architecture is this machine's" test "$(field Architecture)" = "$(dpkg --print-architecture)"
check "Section is games" test "$(field Section)" = games
depends=$(field Depends)
echo "Depends: $depends"
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libxcb1 libxcb-shape0 libxcb-shm0; do
    check "Depends names $library" grep -qw -- "$library" <<<"$depends"
done

# ---- exactly these files (and the pets, when the source has any)
expected="./usr/games/dorrabee
./usr/games/dorrabee-sim
./usr/share/applications/dorrabee.desktop
./usr/share/doc/dorrabee/changelog.gz
./usr/share/doc/dorrabee/copyright
./usr/share/icons/hicolor/256x256/apps/dorrabee.png
./usr/share/icons/hicolor/48x48/apps/dorrabee.png
./usr/share/man/man6/dorrabee-sim.6.gz
./usr/share/man/man6/dorrabee.6.gz"
pets=""
[ -d "$SOURCE/pets" ] && pets=$(cd "$SOURCE/pets" && find . -type f | sed 's|^\.|./usr/share/dorrabee/pets|')
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
check "the package holds exactly the program, its pet checker, desktop entry, icons, manual pages, copyright and changelog" \
    diff <(printf '%s\n%s\n' "$expected" "$pets" | sed '/^$/d' | sort) <(echo "$files")

lint=0
lintian --fail-on error "$deb" || lint=$?
check "lintian reports no errors" test "$lint" = 0

# ---- unpacked, the program runs from where it lies
root=$WORK/root
dpkg-deb -x "$deb" "$root"
check "--version prints the project's version" test "$("$root$DORRABEE" --version)" = "dorrabee $VERSION"
pet_report=$(cd "$WORK" && "$root/usr/games/dorrabee-sim" --check "$root/usr/share/dorrabee/pets/domino" --out "$WORK/check")
check "the packaged checker passes the packaged pet ($pet_report)" test -f "$WORK/check/contact.png"
desktop=$root/usr/share/applications/dorrabee.desktop
check "the desktop entry starts the packaged program" test -x "$root/usr/games/$(sed -n 's/^Exec=//p' "$desktop")"
check "the desktop entry's icon is packaged" \
    test -f "$root/usr/share/icons/hicolor/256x256/apps/$(sed -n 's/^Icon=//p' "$desktop").png"

start_display
start_pet() {
    (cd "$WORK" && exec env QT_QPA_PLATFORM= HOME="$WORK" XDG_CONFIG_HOME= "$root$DORRABEE" >"$WORK/pet.log" 2>&1) &
    PET_PID=$!
}
start_pet
pet=$(pet_window) || { cat "$WORK/pet.log" >&2; fail "the unpacked program shows no pet window"; finish; }
if shows=$(pet_shows "$pet"); then pass "the pet shows $shows"; else fail "$shows"; fi
shot pet
open_menu_item "$pet" e
wait_pet_exit
check "Exit from its menu ends the program with code 0 (got $PET_EXIT)" test "$PET_EXIT" = 0
finish
