#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, once.
# Safe to run again: it only installs packages that are missing.
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

pkgs=(wine wine32:i386 wine64 g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
      g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
      cmake ninja-build xvfb xauth googletest libz-mingw-w64-dev fonts-liberation
      x11-apps imagemagick xdotool
      cups printer-driver-cups-pdf libcups2:i386 poppler-utils pngcheck unrtf
      python3-fonttools python3-munkres fonts-liberation2 fonts-dejavu-core fonts-wine hershey-fonts-data
      clang-14 libclang-rt-14-dev llvm-14 zlib1g-dev
      emf2svg printemf libwmf-bin librsvg2-bin libxml2-utils
      ghostscript hp2xx python3-ezdxf libreoffice-draw plotutils
      xclip python3
      libreoffice-impress unzip
      netpbm python3-pil libreoffice-calc)

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  updated=0
else
  updated=1
fi
for p in "${pkgs[@]}"; do have "$p" || need+=("$p"); done
if [ ${#need[@]} -gt 0 ] || [ "$updated" = 0 ]; then
  echo "Installing: ${need[*]:-(package lists)}" >&2
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq >/dev/null
  if [ ${#need[@]} -gt 0 ]; then
    $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
  fi
fi
