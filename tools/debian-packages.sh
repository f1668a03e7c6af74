# Sourced by run.sh and test.sh: installs the Debian packages TarnWalker needs when missing.
TW_BUILD_PACKAGES="build-essential cmake ninja-build pkg-config ccache libgtest-dev libgmock-dev
  libbenchmark-dev zlib1g-dev libeigen3-dev libcairo2-dev libfontconfig-dev libfreetype-dev
  libgtk-3-dev libcups2-dev fonts-liberation fonts-dejavu-core fonts-urw-base35 hershey-fonts-data
  fp-utils"
# fp-utils brings chmcmd, which compiles the help pages into the program's CHM help file.
# What the running program opens its help file with.
TW_RUN_PACKAGES="xchm"
# Independent tools the tests check our results against, and the X server for the GUI tests.
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
