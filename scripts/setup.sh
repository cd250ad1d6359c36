#!/usr/bin/env bash
# Installs the Debian packages the build needs, only when some are missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  lld  # links in a fraction of the default linker's time
  libgtest-dev libgmock-dev
  libpixman-1-dev libpng-dev zlib1g-dev
  libgsf-1-dev  # the compound-file reader under platform/win32/ole
  libgsf-bin  # another writer of compound files, for the readers' tests
  libjpeg-dev libtiff-dev libgif-dev  # the imaging toolkit's JPEG, TIFF and GIF codecs
  libusb-1.0-0-dev  # USB cutters without a device node, in PcutLib.so and summausb.so
  fonts-liberation
  librecad-data  # drawings of another DXF writer, read by conv-dxf's tests
  netpbm  # another BMP reader, which rasterkit's tests read our files back with
  # Other readers and writers of the raster formats, which the imaging tests exchange files with
  imagemagick libjpeg-turbo-progs libtiff-tools ghostscript
  libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-urw-base35
  fonts-dejavu-extra  # the user-interface face of windows and controls (DejaVu Sans Condensed)
  fonts-dancingscript  # a script face whose joined letters the weld tests unite
  locales
  # the display backend (libsdxcb.so) and its tests under Xvfb
  libxcb1-dev libxcb-shm0-dev libxcb-xkb-dev libxkbcommon-x11-dev libxcb-icccm4-dev
  libxcb-ewmh-dev libxcb-xfixes0-dev libxcb-cursor-dev libxcb-xtest0-dev
  xvfb xclip openbox xauth x11-xkb-utils
  # the system's print queues: libcups for the spooler and printer contexts, cairo for their PDF pages
  libcups2-dev libcairo2-dev
  # a private print service and the PDF tools the printer-context tests read their jobs with
  cups-daemon cups-client qpdf poppler-utils
  xdg-utils  # the desktop's viewer (xdg-open) through which the help control shows the help file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, so that the tests that check numbers ignore the process
# locale run instead of skipping.
if ! locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$'; then
  echo "Generating the locale de_DE.UTF-8"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
