#!/usr/bin/env bash
# Renders the configuration window's artwork (our own: flat colours and plain captions)
# into <images folder>: one subfolder per language ID, plus the assignment-page
# background directly in the folder. Needs ImageMagick's `convert` and the font
# WenQuanYi Micro Hei (Chinese captions). Usage: tools/render-images.sh <images folder>
#
# Every picture is a flat background with a caption; the pixel at (2,2) is always the
# background, so checks can tell the pictures and the languages apart by sampling it:
#   background = language base colour + 12 x (row number below) on the green channel
#   language base:  0409 #143C8C   0804 #8C141E   0404 #147838
#    0 OKCANCELAPPLY-N.png   1 OKCANCELAPPLY-O.png   2 BTNOK-D.png   3 BTNCANCEL-D.png
#    4 BTNAPPLY-D.png        5 ImageProductTitle.png 6 ImageProductSubTitle.png
#    7 ImageCompnayLogo.png  8 ImageCopyRightText.png 9 ImageSoftwareVersion.png
#   button-assign-page-clear9.png: #202830
#   ImageMouse.png (260 x 420, the same in every language): the mouse seen from above on a
#   transparent background, body #3A3F4C; the badges of the main window sit on its
#   buttons (left, right, wheel, then the two side buttons at the left edge)
set -euo pipefail

out=${1:?usage: render-images.sh <images folder>}
font=WenQuanYi-Micro-Hei
command -v convert >/dev/null || { echo "render-images.sh: ImageMagick's convert is missing" >&2; exit 1; }

# colour <base RRGGBB> <row>: the background of picture <row> in that language.
colour() {
  local r=$((16#${1:0:2})) g=$((16#${1:2:2})) b=$((16#${1:4:2}))
  printf '#%02X%02X%02X' "$r" $(((g + 12 * $2) % 256)) "$b"
}

# label <file> <w>x<h> <background> <point size> <caption>
label() {
  convert -size "$2" "xc:$3" -font "$font" -pointsize "$4" -fill white -gravity center \
    -annotate +0+0 "$5" -strip "PNG32:$1"
}

# strip <file> <background> <highlighted button 0..2 or -1> <OK> <CANCEL> <APPLY>
# The OK/CANCEL/APPLY strip, 290 x 45: three 86 x 37 buttons, the pressed one lighter.
strip() {
  local args=() i x captions=("$4" "$5" "$6")
  for i in 0 1 2; do
    x=$((8 + i * 94))
    local fill="#FFFFFF30"
    [ "$i" = "$3" ] && fill="#FFFFFF90"
    args+=(-fill "$fill" -draw "roundrectangle $x,4 $((x + 85)),40 6,6")
    args+=(-fill white -annotate "+$((x + 43 - 145))+0" "${captions[$i]}")
  done
  convert -size 290x45 "xc:$2" -font "$font" -pointsize 14 -gravity center "${args[@]}" \
    -strip "PNG32:$1"
}

render_language() {
  local id=$1 base=$2 ok=$3 cancel=$4 apply=$5 title=$6 subtitle=$7 copyright=$8 version=$9
  local dir="$out/$id"
  mkdir -p "$dir"
  strip "$dir/OKCANCELAPPLY-N.png" "$(colour "$base" 0)" -1 "$ok" "$cancel" "$apply"
  strip "$dir/OKCANCELAPPLY-O.png" "$(colour "$base" 1)" -1 "$ok" "$cancel" "$apply"
  strip "$dir/BTNOK-D.png" "$(colour "$base" 2)" 0 "$ok" "$cancel" "$apply"
  strip "$dir/BTNCANCEL-D.png" "$(colour "$base" 3)" 1 "$ok" "$cancel" "$apply"
  strip "$dir/BTNAPPLY-D.png" "$(colour "$base" 4)" 2 "$ok" "$cancel" "$apply"
  label "$dir/ImageProductTitle.png" 360x40 "$(colour "$base" 5)" 22 "$title"
  label "$dir/ImageProductSubTitle.png" 300x24 "$(colour "$base" 6)" 13 "$subtitle"
  label "$dir/ImageCompnayLogo.png" 160x60 "$(colour "$base" 7)" 28 "QUARN"
  label "$dir/ImageCopyRightText.png" 300x18 "$(colour "$base" 8)" 10 "$copyright"
  label "$dir/ImageSoftwareVersion.png" 160x18 "$(colour "$base" 9)" 10 "$version"
}

mkdir -p "$out"
render_language 0409 143C8C "OK" "CANCEL" "APPLY" "QUARN Gaming Mouse" "Configuration" \
  "(c) QUARN. All rights reserved." "Version 1.0"
render_language 0804 8C141E "确定" "取消" "应用" "QUARN 游戏鼠标" "设置程序" \
  "(c) QUARN 版权所有" "版本 1.0"
render_language 0404 147838 "確定" "取消" "套用" "QUARN 遊戲滑鼠" "設定程式" \
  "(c) QUARN 版權所有" "版本 1.0"
convert -size 300x380 "xc:#202830" -strip "PNG32:$out/button-assign-page-clear9.png"
convert -size 260x420 xc:none -fill '#3A3F4C' -stroke '#8A94AC' -strokewidth 3 \
  -draw "roundrectangle 30,20 230,400 100,100" -draw "line 130,24 130,160" \
  -draw "line 34,160 226,160" -stroke none -fill '#C82832' \
  -draw "roundrectangle 120,60 140,120 8,8" -fill '#505868' \
  -draw "roundrectangle 24,165 40,205 5,5" -draw "roundrectangle 24,215 40,255 5,5" \
  -strip "PNG32:$out/ImageMouse.png"
