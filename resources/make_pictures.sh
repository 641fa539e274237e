#!/bin/bash
# Draws the pictures of the program folder and the window's icon with ImageMagick.
# The results are committed, so building the program does not need ImageMagick; run this only
# to change a picture:  bash resources/make_pictures.sh
set -euo pipefail
cd "$(dirname "$0")"

# Metadata and timestamps are left out, so that running the script again gives the same bytes.
strip_opts=(-strip -define png:exclude-chunks=date,time)

# The menu button: a rounded, lit bar of 130 x 30 that the page's link text sits on.
convert -size 130x30 gradient:'#f7e9b0-#c99a2e' \
  \( -size 130x30 xc:none -fill none -stroke '#7a5410' -strokewidth 2 \
     -draw 'roundrectangle 1,1 128,28 8,8' \) -composite \
  \( -size 130x30 xc:none -fill '#ffffff60' -draw 'roundrectangle 4,3 125,13 6,6' \) -composite \
  -strip -quality 92 pulsante.jpg

# Page backgrounds: a large soft texture and a small tile.
convert -seed 7 -size 400x400 plasma:fractal -blur 0x4 -modulate 100,0 -type TrueColor \
  +level-colors '#15273a,#2f5470' -strip -quality 85 sfondo1g.jpg
convert -size 64x64 pattern:checkerboard +level-colors "#22364a,#2a4156" \
  -blur 0x1 -strip -quality 85 sfondo1p.jpg

# Slideshow backgrounds: two tiles for the page and the frame around the picture.
convert -size 48x48 xc:'#141414' -fill '#1f1f1f' -draw 'rectangle 0,0 23,23' \
  -draw 'rectangle 24,24 47,47' -strip sfondo_1.gif
convert -size 32x32 xc:'#2a2218' -fill '#30271c' -draw 'circle 16,16 16,4' -strip sfondo_2.gif

# The three navigation buttons: previous, up (the album page), next.
nav() {  # name polygon
  convert -size 48x48 radial-gradient:'#f3d27a-#9c6c12' \
    \( -size 48x48 xc:black -fill white -draw 'circle 24,24 24,1' \) \
    -alpha off -compose CopyOpacity -composite -compose Over -background '#141414' -flatten \
    -fill none -stroke '#5a3c06' -strokewidth 2 -draw 'circle 24,24 24,2' \
    -fill '#3a2604' -stroke none -draw "polygon $2" \
    -strip -quality 92 "$1"
}
nav puls_sx3.jpg '30,12 14,24 30,36'
nav puls_su3.jpg '12,30 24,14 36,30'
nav puls_dx3.jpg '18,12 34,24 18,36'

# Kind pictures for the legend of the album page: slideshow, film, photo, web page, music.
icon_base() { convert -size 40x40 xc:'#fdf6dc' -fill none -stroke '#7a5410' -strokewidth 2 \
  -draw 'roundrectangle 1,1 38,38 5,5' "$@"; }
icon_base -fill '#6f9fd8' -stroke '#31527a' -draw 'rectangle 9,9 31,27' \
  -fill '#fdf6dc' -draw 'rectangle 13,13 27,23' -fill '#31527a' -draw 'rectangle 17,28 23,33' \
  -strip -quality 92 diaposit.jpg
icon_base -fill '#333333' -stroke none -draw 'rectangle 7,8 33,32' -fill '#fdf6dc' \
  -draw 'rectangle 9,10 11,12' -draw 'rectangle 9,16 11,18' -draw 'rectangle 9,22 11,24' \
  -draw 'rectangle 9,28 11,30' -draw 'rectangle 29,10 31,12' -draw 'rectangle 29,16 31,18' \
  -draw 'rectangle 29,22 31,24' -draw 'rectangle 29,28 31,30' -fill '#8fb3e0' \
  -draw 'rectangle 14,11 26,29' -strip -quality 92 film-1a.jpg
icon_base -fill '#8fc7f0' -stroke none -draw 'rectangle 6,8 33,31' -fill '#3c8a3c' \
  -draw 'polygon 6,31 15,17 22,26 26,21 33,31' -fill '#f2c230' -draw 'circle 27,13 27,16' \
  -strip -quality 92 foto-1a.jpg
icon_base -fill '#ffffff' -stroke '#31527a' -strokewidth 1 -draw 'rectangle 8,7 31,33' \
  -fill '#31527a' -stroke none -draw 'rectangle 8,7 31,11' -fill '#6f9fd8' \
  -draw 'rectangle 11,15 28,16' -draw 'rectangle 11,19 25,20' -draw 'rectangle 11,23 28,24' \
  -draw 'rectangle 11,27 22,28' -strip -quality 92 htm-1a.jpg
icon_base -fill '#5a3c06' -stroke '#5a3c06' -strokewidth 2 -draw 'line 17,10 17,28' \
  -draw 'line 29,8 29,26' -draw 'line 17,10 29,8' -stroke none -draw 'ellipse 14,29 4,3 0,360' \
  -draw 'ellipse 26,27 4,3 0,360' -strip -quality 92 music-1a.jpg

# The window's icon: a framed picture (hills and sun) on a slide mount, 16 colours.
for size in 32 16; do
  convert -size 32x32 xc:'#c99a2e' -fill '#fdf6dc' -draw 'rectangle 2,2 29,29' \
    -fill '#8fc7f0' -draw 'rectangle 5,5 26,26' -fill '#3c8a3c' \
    -draw 'polygon 5,26 12,14 18,21 21,17 26,26' -fill '#f2c230' -draw 'circle 21,10 21,13' \
    -resize "${size}x${size}" -colors 16 "${strip_opts[@]}" "PNG8:vortena-$size.png"
done
