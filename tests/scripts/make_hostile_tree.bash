#!/usr/bin/env bash
# Makes a tree of awkward names under DIR: markup and URL characters, blanks, controls, bytes
# that are not UTF-8, a long name, case twins, a double dot, a scheme-like name and names
# holding a backslash, as files and folders, pictures and direct entries (htm, mp3).
# Usage: make_hostile_tree.bash DIR
set -euo pipefail
root=$1
mkdir -p "$root"
cd "$root"
file() { printf '%s' "$2" > "$1"; }

long=$(printf 'L%.0s' $(seq 1 246)).jpg  # 250 bytes
names=(
  'q"uote.jpg' "apo'strophe.jpg" 'a<b>c.jpg' 'and&amp.jpg' 'hash#1.jpg' 'what?.jpg'
  'pct%.jpg' 'sp%20ace.jpg' ' lead.jpg' 'trailext.jpg ' 'in ner.jpg' $'tab\there.jpg'
  $'new\nline.jpg' $'bad\xff\xfebyte.jpg' $'latin\xe9.jpg' 'àccènto.jpg' "$long" 'Twin.jpg'
  'twin.JPG' 'x..jpg' 'javascript:alert(1).jpg' 'back\slash.jpg' 'plain.gif'
)
for n in "${names[@]}"; do file "$n" "picture $n"; done

# Direct entries: pages and sounds with the same awkward names.
for n in 'javascript:x.htm' 'q"uote&<tag>.htm' $'tab\tpage.htm' 'hash#page.htm' \
         $'bad\xffpage.htm' 'back\page.htm' 'song 1#.mp3' $'new\nsong.mp3'; do
  file "$n" "direct $n"
done

# Folders with such names, each with a picture and a direct entry.
for d in 'fold "q" <b>' 'fold#?%' $'fold\ttab' $'fold\xff' 'javascript:fold' 'Case' 'case2' \
         'x\..\..\outside'; do
  mkdir -p "$d"
  file "$d/inside.jpg" "picture $d/inside.jpg"
  file "$d/inside page.htm" "direct $d/inside page.htm"
done
