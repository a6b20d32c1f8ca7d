#!/usr/bin/env bash
# Renders the built-in images from their SVG sources in assets/src to assets/images (PNG, at
# their exact pixel sizes, optimised losslessly) and the program's icon to assets/netmend.ico.
# The results are committed: the build itself needs none of these tools. Run it after editing
# a source, look at the pictures, commit sources and results together.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
src=$root/assets/src
out=$root/assets/images

# Debian packages: the renderer, the optimisers, the icon writer and the font of the texts
# (Noto Sans CJK, SIL Open Font License: the rendered glyphs may be embedded).
source "$root/scripts/debian-packages.sh"
install_missing render-assets librsvg2-bin optipng zopfli icoutils fonts-noto-cjk
# Without the font the renderer would quietly fall back to another one.
if ! fc-list : family | grep -q 'Noto Sans CJK SC'; then
  echo "render-assets: the font Noto Sans CJK SC is not installed" >&2
  exit 1
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

# render SOURCE.svg NAME WIDTH HEIGHT: optipng drops the ancillary chunks (no gamma for GDI+ to
# apply) and reduces the colour type; zopflipng then finds the smallest deflate stream.
render() {
  rsvg-convert --width "$3" --height "$4" --format png -o "$tmp/$2.png" "$1"
  optipng -quiet -o5 -strip all "$tmp/$2.png"
  zopflipng -y -m "$tmp/$2.png" "$out/$2.png" >/dev/null
}

render "$src/background1.svg" background1 800 580
render "$src/background2.svg" background2 800 580
for n in 1 2 3; do render "$src/button_start$n.svg" "button_start$n" 214 56; done
render "$src/button_repair.svg" button_repair 214 56
render "$src/button_end1.svg" button_end1 214 56
render "$src/button_end2.svg" button_end2 215 56
render "$src/button_end3.svg" button_end3 215 56
render "$src/close_b.svg" close_b 37 29
render "$src/close_a.svg" close_a 37 29

# The progress frames: the ring fills in twelve even steps over thirteen frames; frames 3 and
# 4 are one picture (the program shows progress03.png twice), so there is no progress04.png.
# The signal's arcs turn from pale to the accent colour at steps 4, 8 and 12.
circumference=603.19
accent='#1F6FEB'
pale='#C9D8F2'
step=0
for frame in 01 02 03 05 06 07 08 09 10 11 12 13; do
  step=$((step + 1))
  arc=$(awk -v c=$circumference -v k=$step 'BEGIN { printf "%.2f", c * k / 12 }')
  arc1=$pale arc2=$pale arc3=$pale
  ((step >= 4)) && arc1=$accent
  ((step >= 8)) && arc2=$accent
  ((step >= 12)) && arc3=$accent
  sed -e "s/stroke-dasharray=\"ARC /stroke-dasharray=\"$arc /" \
      -e "s/\"ARC1\"/\"$arc1\"/" -e "s/\"ARC2\"/\"$arc2\"/" -e "s/\"ARC3\"/\"$arc3\"/" \
      "$src/progress.svg" >"$tmp/progress$frame.svg"
  render "$tmp/progress$frame.svg" "progress$frame" 258 255
done

# The icon: every size Windows picks from. Up to 64 pixels as bitmaps, which Windows XP reads;
# 128 and 256 as PNG inside the .ico (Vista and later), which keeps the program small.
rsvg-convert --width 16 --height 16 -o "$tmp/icon16.png" "$src/icon-small.svg"
icons=("$tmp/icon16.png")
for s in 24 32 48 64; do
  rsvg-convert --width "$s" --height "$s" -o "$tmp/icon$s.png" "$src/icon.svg"
  icons+=("$tmp/icon$s.png")
done
for s in 128 256; do
  rsvg-convert --width "$s" --height "$s" -o "$tmp/icon$s.png" "$src/icon.svg"
  optipng -quiet -o5 -strip all "$tmp/icon$s.png"
  zopflipng -y -m "$tmp/icon$s.png" "$tmp/icon$s.png" >/dev/null
  icons+=(--raw="$tmp/icon$s.png")
done
icotool --create --output="$root/assets/netmend.ico" "${icons[@]}"

for f in "$out"/*.png "$root/assets/netmend.ico"; do
  printf '%8d  %s\n' "$(stat -c %s "$f")" "${f#"$root"/}"
done
