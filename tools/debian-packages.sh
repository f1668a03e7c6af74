# Sourced by run.sh, test.sh and fuzz/run.sh: the one list of the Debian packages TarnWalker
# builds with, runs with, and checks its results against, and tw_need, which installs the
# missing ones in one apt-get run. Tests never install anything: they ask for a tool through
# tests/support/tools.h, which fails naming the package when it is missing or not listed here
# (the test PackageList.EveryToolATestAsksForIsOnTheList checks the literal asks too).
TW_BUILD_PACKAGES="build-essential cmake ninja-build pkg-config ccache libgtest-dev libgmock-dev
  libbenchmark-dev zlib1g-dev libeigen3-dev libcairo2-dev libfontconfig-dev libfreetype-dev
  libgtk-3-dev libcups2-dev fonts-liberation fonts-dejavu-core fonts-urw-base35 hershey-fonts-data
  fp-utils"
# fp-utils brings chmcmd, which compiles the help pages into the program's CHM help file (and
# chmls, which the tests read it back with).
# What the running program opens its help file with.
TW_RUN_PACKAGES="xchm"
# Independent tools the tests check our results against, and the X server for the GUI tests:
# gfortran's formatted input and output, R's lm, Pillow, pngcheck; Xvfb with xdotool, xwd
# (x11-apps), setxkbmap (x11-xkb-utils) and ImageMagick to drive and photograph it.
TW_TEST_PACKAGES="gfortran python3 python3-pil pngcheck r-base-core xvfb xdotool x11-apps x11-xkb-utils imagemagick"
# ezdxf reads back the numbers the DXF writers put out.
TW_TEST_PACKAGES="$TW_TEST_PACKAGES python3-ezdxf"
# Ghostscript, xmllint and rsvg-convert read and render the PostScript, EPS and SVG files.
TW_TEST_PACKAGES="$TW_TEST_PACKAGES ghostscript libxml2-utils librsvg2-bin"
# pdfimages and pdftotext read what is in the PDFs we make (the user manual, printed pages).
TW_TEST_PACKAGES="$TW_TEST_PACKAGES poppler-utils"
# hp2xx reads and renders the HP-GL files.
TW_TEST_PACKAGES="$TW_TEST_PACKAGES hp2xx"
# wmf2gd and wmf2svg (libwmf) draw the Windows metafiles we write.
TW_TEST_PACKAGES="$TW_TEST_PACKAGES libwmf-bin"
# pandoc reads back the RTF the rich-edit control writes.
TW_TEST_PACKAGES="$TW_TEST_PACKAGES pandoc"
# libwmf's wmf2svg and wmf2gd, and emf2svg-conv, render the Windows and enhanced metafiles.
TW_TEST_PACKAGES="$TW_TEST_PACKAGES libwmf-bin emf2svg"
# A real print job: a private CUPS scheduler with the cups-pdf printer.
TW_TEST_PACKAGES="$TW_TEST_PACKAGES cups printer-driver-cups-pdf"
# LibreOffice reads the grid's CSV (Calc) and the CGM pictures (Impress, drawn through Draw);
# each is a package of its own, though Calc alone already brings soffice.
TW_TEST_PACKAGES="$TW_TEST_PACKAGES libreoffice-calc-nogui libreoffice-draw-nogui libreoffice-impress-nogui"
# tidy checks the grid's HTML; xclip is the other program on the desktop's clipboard.
TW_TEST_PACKAGES="$TW_TEST_PACKAGES tidy xclip"
# The fuzz targets (fuzz/run.sh): clang with libFuzzer and the sanitizers' runtime.
TW_FUZZ_PACKAGES="clang-14 libclang-rt-14-dev"

tw_need() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing Debian packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
