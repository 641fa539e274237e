#!/usr/bin/env bash
# The script runner end to end through the real executable: exit status, transcript, errors,
# options, and the program folder found beside the executable.
# Usage: script_runner_cli.sh VORTENA_EXECUTABLE SOURCE_DIR
set -uo pipefail
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check.bash"

mkdir -p "$work/c/foto/sub" "$work/c/album"
printf 'a' > "$work/c/foto/Uno.JPG"
printf 'b' > "$work/c/foto/sub/due.gif"
printf 'c' > "$work/c/foto/note.txt"

# A whole build from a script file, with the program folder beside the executable.
cat > "$work/build.script" <<'END'
set txtPATH_RICERCA C:\foto
set txtNOME_FILE_HTM C:\album\index.htm
click cmdCONFERMA_Tutti
answer yes
launch fail
click Command1
END
out=$("$exe" --script "$work/build.script" --drive "C=$work/c" 2>"$work/err")
status=$?
check "build exits 0" 0 "$status"
check "build transcript" 'pointer hourglass
beep
pointer default
pointer hourglass
pointer default
beep
question "Visualizzo la pagina creata c:\\album\\index.htm (S/N) " -> yes
launch "START /max /w index.htm" -> failed
launch "CMD /C index.htm" -> ok' "$out"
check "build writes nothing on stderr" "" "$(cat "$work/err")"
check "source renamed to the build's case" "uno.jpg" "$(ls "$work/c/foto" | grep -i uno)"
check "entry folder made" "img_001.jpg img_002.gif menu.htm puls_dx3.jpg puls_su3.jpg puls_sx3.jpg sfondo_1.gif sfondo_2.gif" \
  "$(ls "$work/c/album/dir_0001" | tr '\n' ' ' | sed 's/ $//')"
check "assets installed" "yes" "$([ -s "$work/c/album/pulsante.jpg" ] && [ -s "$work/c/album/intestaz.htm" ] && echo yes)"

# Standard input, a bad line: status 2, the lines before it ran, the message names the line.
out=$(printf 'click Command1\n\nclick Nessuno\ndump\n' | "$exe" --script - --drive "C=$work/c" 2>"$work/err")
status=$?
check "bad line exits 2" 2 "$status"
check "lines before the bad one ran" "disabled Command1" "$out"
check "error names the line" "line 3:" "$(cut -c1-7 "$work/err")"

# The end button stops the run with status 0.
out=$(printf 'click cmdFINE\ndump\n' | "$exe" --script - 2>&1)
check "end button" "0:end" "$?:$out"

# Options: screen width, and a missing program folder asks for the templates.
out=$(printf 'dump\n' | "$exe" --script - --screen-width 640 | grep txtMAX_PER_RIGA)
check "narrow screen" 'control txtMAX_PER_RIGA enabled "4"' "$out"
out=$(printf 'set txtNOME_FILE_HTM C:\\album\\x.htm\ndialog C:\\foto\\uno.jpg\nclick cmdIns_File\nclick Command1\n' |
  "$exe" --script - --drive "C=$work/c" --program-dir "$work/none" | grep -c "Manca il file")
check "missing program folder" 1 "$out"

# Unknown options are refused.
"$exe" --script - --frobnicate </dev/null >/dev/null 2>&1
check "unknown option exits 2" 2 "$?"
"$exe" --script "$work/no-such-script" >/dev/null 2>&1
check "unreadable script exits 2" 2 "$?"

finish
