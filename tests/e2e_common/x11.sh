# Probes of X windows shared by the Linux and Windows end-to-end scripts.
# Needs DISPLAY and PET_CHECK (tests/e2e_common/pet_check.py).

window_size() { xwininfo -id "$1" | awk '/^  Width:/{w=$2} /^  Height:/{h=$2} END{print w "x" h}'; }
window_position() { xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}'; }

# A screen point inside the pet's shape: the middle of its largest rectangle.
pet_point() { python3 "$PET_CHECK" --display "$DISPLAY" --window "$1" --point; }
