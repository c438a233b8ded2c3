#!/usr/bin/env bash
# Installs into a temporary DESTDIR, validates the desktop files there and starts the installed
# program headless on a picture: it must find its plug-ins and its help from where it lies.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
[[ -n ${LUNETTA_KEEP:-} ]] || trap 'rm -rf "$work"' EXIT
prefix=/usr
dest=$work/dest

DESTDIR=$dest cmake --install "$build" --prefix "$prefix" >/dev/null
root=$dest$prefix
for f in bin/lunetta share/applications/lunetta.desktop \
         share/metainfo/io.github.lunetta.Lunetta.metainfo.xml \
         share/icons/hicolor/scalable/apps/lunetta.svg share/icons/hicolor/48x48/apps/lunetta.png \
         share/lunetta/help/index.html share/man/man1/lunetta.1.gz; do
    [[ -e $root/$f ]] || { echo "not installed: $f" >&2; exit 1; }
done
ls "$root"/lib*/lunetta/plugins/*.spi >/dev/null 2>&1 \
    || ls "$root"/lib/*/lunetta/plugins/*.spi >/dev/null \
    || { echo "no plug-ins installed" >&2; exit 1; }
# The HEIF, AVIF and JPEG XL plug-ins load their decoders from codecs/ on the first picture.
for codec in heif avif jxl; do
    compgen -G "$root/lib*/lunetta/plugins/codecs/$codec.so" >/dev/null \
        || compgen -G "$root/lib/*/lunetta/plugins/codecs/$codec.so" >/dev/null \
        || { echo "decoder of the $codec plug-in not installed" >&2; exit 1; }
done

# Movies and sound play through the media module, loaded from beside the program's libraries.
compgen -G "$root/lib*/lunetta/lunetta-media.so" >/dev/null \
    || compgen -G "$root/lib/*/lunetta/lunetta-media.so" >/dev/null \
    || { echo "the media module is not installed" >&2; exit 1; }

desktop-file-validate "$root/share/applications/lunetta.desktop"
appstreamcli validate --no-net --no-color \
    "$root/share/metainfo/io.github.lunetta.Lunetta.metainfo.xml" >/dev/null

# The desktop's browser is a stand-in that records what it was asked to open.
mkdir -p "$work/path"
cat > "$work/path/xdg-open" <<'OPEN'
#!/bin/sh
printf '%s\n' "$1" >> "$LUNETTA_OPENED"
OPEN
chmod +x "$work/path/xdg-open"
export PATH=$work/path:$PATH LUNETTA_OPENED=$work/opened XDG_CURRENT_DESKTOP=X-Generic
export LUNETTA_CONFIG_DIR=$work/config LUNETTA_MESSAGE_LOG=$work/messages.log
export QT_QPA_PLATFORM=xcb
unset DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID

# Runs the installed program under a virtual display with a window manager; "$1" is the
# argument, "$2" the title of the window to wait for, "$3" the keys pressed in that window.
run_installed() {
    xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
        # The window manager, started again when it could not open the display: on a busy
        # machine the fresh server now and then refuses it ("Failed to open the display").
        for i in $(seq 10); do
            openbox >/dev/null 2>&1 & wm=$!
            for j in $(seq 100); do
                xdotool get_desktop >/dev/null 2>&1 && break
                kill -0 $wm 2>/dev/null || break
                sleep 0.2
            done
            kill -0 $wm 2>/dev/null && break
            echo "window manager gone at once (try $i)"
        done
        "$0" ${1:+"$1"} & pid=$!
        # Every wait is for a condition, with a deadline a busy machine keeps (a start took 27 s
        # on one). Only mapped windows: Qt also owns an unmapped window whose name ends in
        # "lunetta", and activating that one waits for a map that never comes.
        for i in $(seq 600); do
            w=$(xdotool search --onlyvisible --name "^$2\$" 2>/dev/null | head -1)
            [ -n "$w" ] && break
            sleep 0.2
        done
        echo "window $2: ${w:-none}"
        if [ -z "$w" ]; then
            # Why: the program gone (and how), or which windows it did map.
            if kill -0 $pid 2>/dev/null; then
                echo "still running; its windows:"
                for x in $(xdotool search --class lunetta 2>/dev/null); do
                    echo "  $x \"$(xdotool getwindowname $x 2>/dev/null)\""
                done
            else
                wait $pid; echo "exited with $?"
            fi
        fi
        if [ -n "$3" ] && [ -n "$w" ]; then
            # The keys go to the active window: make it so, then press them and wait for
            # what they open; a press the busy window missed is tried again.
            for try in $(seq 6); do
                for i in $(seq 150); do
                    [ "$(xdotool getactivewindow 2>/dev/null)" = "$w" ] && break
                    xdotool windowactivate "$w" 2>/dev/null; sleep 0.2
                done
                echo "active window: $(xdotool getactivewindow 2>/dev/null) (try $try)"
                for k in $3; do
                    xdotool key "$k"
                    # The menu opened by the first key must be mapped before the next one.
                    for i in $(seq 25); do
                        [ "$(xdotool getactivewindow 2>/dev/null)" != "$w" ] && break
                        xdotool search --onlyvisible --class lunetta 2>/dev/null \
                            | grep -qv "^$w\$" && break
                        sleep 0.2
                    done
                done
                for i in $(seq 50); do [ -s "$LUNETTA_OPENED" ] && break; sleep 0.2; done
                [ -s "$LUNETTA_OPENED" ] && break
                xdotool key Escape Escape 2>/dev/null
            done
        elif [ -n "$w" ]; then
            # The picture is on screen once its window is; the settings are written at the end.
            sleep 0.5
        fi
        [ -n "${LUNETTA_KEEP:-}" ] && import -window root "$LUNETTA_KEEP-$(date +%s%N).png"
        kill $pid; wait $pid || true; kill $wm 2>/dev/null || true' "$root/bin/lunetta" "$1" "$2" "$3" >>"$work/run.log" 2>&1 \
        || { echo "the run on \"$1\" failed:" >&2; cat "$work/run.log" >&2; exit 1; }
}

# A GIF, which only a plug-in decodes, shown at once; then 目次 from the Help menu.
run_installed "$source/share/samples/10-lamp.gif" "10-lamp.gif" ""
run_installed "" "Lunetta" "alt+h c"
# A movie, which only the media module plays: its name is the viewer's title once it is open.
run_installed "$source/tests/data/media/clip.mp4" "clip.mp4" ""
grep -q "^window clip.mp4: [0-9]" "$work/run.log" \
    || { echo "the installed program did not play a movie:" >&2; cat "$work/run.log" >&2; exit 1; }

ini=$LUNETTA_CONFIG_DIR/Lunetta.ini
grep -q "$root/lib.*/lunetta/plugins/gif.spi" "$ini" \
    || { echo "the installed program did not find its plug-ins:" >&2; cat "$ini" >&2; exit 1; }
grep -qx "file://$root/share/lunetta/help/index.html" "$work/opened" \
    || { echo "目次 did not open the installed help:" >&2
         cat "$work/opened" "$LUNETTA_MESSAGE_LOG" "$work/run.log" >&2 2>/dev/null; exit 1; }
if grep -q "ファイルを指定しての起動に失敗" "$LUNETTA_MESSAGE_LOG" 2>/dev/null; then
    echo "the picture was not shown:" >&2; cat "$LUNETTA_MESSAGE_LOG" >&2; exit 1
fi
echo "installed under $root: plug-ins and help found"
