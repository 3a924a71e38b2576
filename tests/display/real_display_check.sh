#!/usr/bin/env bash
# Drives orvik on a real X display (Xvfb under openbox) as a user would: adds
# a tree, finds a file, opens its details, asks the details window's three
# message boxes, chooses a printer font and prints to PDF. Checks that every
# box and dialog is painted (not black, not the window beneath it) and
# centred on the window that asked, that the PDF is in the chosen font and
# that the settings keep it. The screenshots stay in SHOTS_DIR to be looked at.
#   real_display_check.sh ORVIK ORVIK_CLI SHOTS_DIR
# Exits 77 (skipped) when Xvfb, openbox, xdotool, ImageMagick, xwininfo or
# pdffonts is missing.
set -euo pipefail
orvik=$1
cli=$2
shots=$3

for tool in Xvfb openbox xdotool import convert xwininfo xprop pdffonts; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (packages xvfb openbox xdotool imagemagick" \
            "x11-utils poppler-utils)"
        exit 77
    fi
done
if [ -z "$(fc-list 'DejaVu Sans Mono' 2>/dev/null)" ]; then
    echo "SKIP: the font DejaVu Sans Mono is not installed"
    exit 77
fi

work=$(mktemp -d)
home=$work/home
disc=$work/disc
mkdir -p "$home" "$disc" "$shots"
rm -f "$shots"/*.png
pids=()
mounted=
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    [ -z "$mounted" ] || umount "$disc"
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -z "${DISPLAY:-}" ] || import -window root "$shots/failed.png" || true
    [ ! -s "$work/orvik.log" ] || sed 's/^/orvik: /' "$work/orvik.log" >&2
    [ -z "${orvik_pid:-}" ] || running "$orvik_pid" || echo "orvik has ended" >&2
    exit 1
}
running() { # the process has not ended (an ended child stays a zombie until waited for)
    [ -e "/proc/$1/stat" ] && [ "$(awk '{print $3}' "/proc/$1/stat")" != Z ]
}
step=0
shot() { # NAME: a screenshot of the whole screen, kept
    step=$((step + 1))
    import -window root "$shots/$(printf %02d $step)-$1.png"
}

# The display: Xvfb picks a free number and tells it once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=("$!")
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY
openbox >"$work/openbox.log" 2>&1 &
pids+=("$!")
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "openbox did not start"

# Waits for a visible window whose title matches the pattern; prints its id.
# Searches again until the time is up: a search fails, rather than waits, when
# a window it was looking at is destroyed under it.
window() {
    local id deadline=$((SECONDS + 20))
    while :; do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) || true
        [ -z "$id" ] || { echo "$id"; return; }
        [ "$SECONDS" -lt "$deadline" ] || fail "no window \"$1\" within 20 s"
        sleep 0.1
    done
}
gone() { # PATTERN: waits until no visible window matches
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window \"$1\" stayed open: $(xdotool search --onlyvisible --name "$1" | tr "\n" " ")"
}
# The window's client area as "X Y WIDTH HEIGHT" on the screen.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^  Width/ {w = $NF} /^  Height/ {h = $NF} END {print x, y, w, h}'
}
# Keys and text for a window, typed once it has the keyboard: the window
# manager's active window may change before the focus does, and a key sent to
# a window that lacks the focus is dropped or lands elsewhere.
focus() {
    timeout 10 xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    for _ in $(seq 100); do
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && return
        sleep 0.1
    done
    fail "window $1 ($(xdotool getwindowname "$1")) did not get the focus"
}
keys() {
    focus "$1"
    shift
    xdotool key --delay 30 "$@"
}
typed() {
    focus "$1"
    xdotool type --delay 20 "$2"
}
# Answers a box or dialog with a key; the window is gone before the key is up.
answer() {
    local id
    id=$(window "$1")
    keys "$id" "$2"
    gone "$1"
}
click() { # WINDOW X Y [REPEAT]: a left click at a point of the window's client area
    xdotool mousemove --window "$1" "$2" "$3" click --repeat "${4:-1}" --delay 120 1
}

# A dialog or box that comes up over OWNER: painted within 10 s (its region
# neither black nor still what was there before it came) and centred on its
# owner. BEFORE is the screenshot taken before the box was asked for.
check_dialog() {
    local name=$1 pattern=$2 owner=$3 before=$4 id x y w h ox oy ow oh mean change
    id=$(window "$pattern")
    read -r x y w h < <(geometry "$id")
    read -r ox oy ow oh < <(geometry "$owner")
    for _ in $(seq 40); do
        import -window root "$work/now.png"
        convert "$work/now.png" -crop "${w}x$h+$x+$y" +repage "$work/box.png"
        convert "$before" -crop "${w}x$h+$x+$y" +repage "$work/under.png"
        mean=$(convert "$work/box.png" -format '%[fx:mean]' info:)
        change=$(convert "$work/box.png" "$work/under.png" -compose difference -composite \
            -format '%[fx:mean]' info:)
        if awk -v m="$mean" -v c="$change" 'BEGIN {exit !(m > 0.3 && c > 0.01)}'; then
            break
        fi
        sleep 0.25
    done
    shot "$name"
    awk -v m="$mean" -v c="$change" 'BEGIN {exit !(m > 0.3 && c > 0.01)}' ||
        fail "\"$name\" is not painted (brightness $mean, change $change)"
    local dx=$(((x + w / 2) - (ox + ow / 2))) dy=$(((y + h / 2) - (oy + oh / 2)))
    [ "${dx#-}" -le 40 ] && [ "${dy#-}" -le 40 ] ||
        fail "\"$name\" at ${w}x$h+$x+$y is not centred on its window ${ow}x$oh+$ox+$oy"
    echo "ok: \"$name\" painted (brightness $mean) and centred on its window ($dx, $dy)"
}
before() { # a screenshot of the screen as it is before a box is asked for
    import -window root "$work/before.png"
    echo "$work/before.png"
}

# The disc: a file at its root (the volume's first record) and a folder of 60
# more, so a print-out of them asks whether to print them all. As root it is
# a file system of its own, which the main window offers as a drive;
# otherwise orvik-cli adds it.
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=4m tmpfs "$disc" 2>/dev/null; then
    mounted=yes
fi
echo hello >"$disc/readme.txt"
mkdir "$disc/many"
for i in $(seq -w 1 60); do echo "$i" >"$disc/many/f$i.txt"; done

export ORVIK_HOME=$home # a fresh start, for orvik and orvik-cli alike
HOME=$home XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb "$orvik" >"$work/orvik.log" 2>&1 &
orvik_pid=$!
pids+=("$orvik_pid")
search=$(window '^Orvik - Search')
xdotool windowmove --sync "$search" 60 60
shot search-window

if [ -n "$mounted" ]; then
    keys "$search" alt+a # "&Add CD to Catalogue"
    main=$(window '^Orvik - Add to catalogue')
    xdotool windowmove --sync "$main" 700 80
    typed "$main" "Display check" # the description box has the focus
    click "$main" 100 40  # the drive list, top left
    sleep 0.5
    typed "$main" "$disc"
    keys "$main" Return
    sleep 0.5
    shot drive-chosen
    keys "$main" alt+c # "Add files to &Catalogue"
    for _ in $(seq 100); do
        "$cli" volumes 2>/dev/null | grep -q 'DISPLAY CHECK' && break
        sleep 0.2
    done
    "$cli" volumes 2>/dev/null | grep -q 'DISPLAY CHECK' || fail "the add wrote no volume"
    shot added
    b=$(before)
    keys "$main" alt+a # "&About"
    check_dialog about-from-main '^ORVIK$' "$main" "$b"
    answer '^ORVIK$' Return
    keys "$main" alt+q # "&Query Catalogue"
    search=$(window '^Orvik - Search')
    xdotool windowmove --sync "$search" 60 60 # shown again, the window manager places it anew
else
    echo "note: not root, or no tmpfs: orvik-cli adds the tree instead of the main window"
    "$cli" add "$disc" --description "Display check" >/dev/null
fi

# Find the file at the disc's root and open its details.
keys "$search" End shift+Home
typed "$search" readme
keys "$search" Return
sleep 0.5
click "$search" 100 108 2 # the first line of the result list
details=$(window '^Orvik - File details')
shot details

# "&Add/Update Keywords" with other keywords: the warning for the whole volume.
click "$details" 400 133 # the keywords box
keys "$details" End
typed "$details" " x"
b=$(before)
keys "$details" alt+a
check_dialog keywords-warning '^ORVIK$' "$details" "$b"
answer '^ORVIK$' Return

# "&Update Description" with the description cleared.
click "$details" 400 106 # the description box
keys "$details" End shift+Home BackSpace
b=$(before)
keys "$details" alt+u
check_dialog description-refused '^ORVIK$' "$details" "$b"
answer '^ORVIK$' Return

# "&Launch File" while the file is no longer on the disc.
rm "$disc/readme.txt"
b=$(before)
keys "$details" alt+l
check_dialog launch-error '^ORVIK$' "$details" "$b"
answer '^ORVIK$' Return
keys "$details" alt+d # "&Done"
gone '^Orvik - File details'

# "Set &Font": a bold italic font of size 11, then the print-out of 60 lines.
b=$(before)
keys "$search" alt+p f
check_dialog font-dialog '^Font Settings$' "$search" "$b"
font=$(window '^Font Settings$')
typed "$font" "DejaVu Sans Mono"
keys "$font" Tab
typed "$font" "Bold Oblique"
keys "$font" Tab
typed "$font" 11
answer '^Font Settings$' Return
keys "$search" End shift+Home
typed "$search" .txt
keys "$search" Return
sleep 0.5
b=$(before)
keys "$search" alt+p p
check_dialog printing '^Printing \.\.\.$' "$search" "$b"
b=$(before)
answer '^Printing \.\.\.$' Return
check_dialog print-warning '^Print warning$' "$search" "$b"
b=$(before)
answer '^Print warning$' Return
check_dialog pdf-file-dialog '^Print to PDF$' "$search" "$b"
pdf_dialog=$(window '^Print to PDF$')
typed "$pdf_dialog" "$work/results.pdf"
answer '^Print to PDF$' Return
for _ in $(seq 100); do
    pdffonts "$work/results.pdf" >/dev/null 2>&1 && break
    sleep 0.2
done
shot printed
fonts=$(pdffonts "$work/results.pdf" 2>&1) || fail "no PDF printed: $fonts"
grep -q 'DejaVuSansMono-BoldOblique' <<<"$fonts" || fail "the PDF is not in the chosen font: $fonts"
echo "ok: the PDF is printed in DejaVu Sans Mono Bold Oblique"

# Closing the window ends the program ("E&xit" has lost its key to the query,
# which leaves the caption "Exit").
keys "$search" alt+F4
for _ in $(seq 100); do
    running "$orvik_pid" || break
    sleep 0.1
done
! running "$orvik_pid" || fail "orvik did not end when its window was closed"
for setting in PrnFontName=DejaVu\ Sans\ Mono PrnFontSize=11 PrnFontBold=True PrnFontItalic=True; do
    grep -qx "$setting" "$home/Orvik.ini" || fail "the settings do not keep $setting"
done
echo "ok: the settings keep the chosen font"
