#!/bin/sh
# Writes the HP-GL fixtures of conv-plt's tests. Needs Debian's pstoedit, ghostscript,
# fonts-dejavu-core, gnuplot-nox and hp2xx; the outputs are committed, so the tests need none
# of them. Run from this folder.
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Lettering in DejaVu Sans drawn by ghostscript as short strokes (pstoedit -dt, with its own
# flattening).
cat > "$tmp/text.ps" <<'PS'
%!PS
/DejaVuSans findfont 200 scalefont setfont
20 400 moveto (Sign Qe) show
showpage
PS
pstoedit -q -flat 0.2 -dt -f hpgl "$tmp/text.ps" lettering.hpgl

# A plot with device-control escapes, SC, labels and a title that spells commands.
gnuplot -e 'set terminal hpgl; set output "title.hpgl"; set title "PDPA"; set samples 20;
            plot [0:3] x*x title "PDPA PU"'

# One plot as plain HP-GL and as DXF, both through hp2xx.
gnuplot -e "set terminal hpgl; set output '$tmp/cross.hpgl'; unset key; set samples 25;
            plot [0:6] sin(x)"
hp2xx -q -m hpgl -f cross_plain.hpgl "$tmp/cross.hpgl"
hp2xx -q -m dxf -f cross.dxf "$tmp/cross.hpgl"
