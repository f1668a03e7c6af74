// The steps the vector file drivers share.
#include "toolkit/hcdrivers/driver_common.h"

#include <string>

#include "toolkit/graphics/devices.h"
#include "toolkit/hardcopy/output_channel.h"
#include "toolkit/raster/image_load.h"
#include "toolkit/state/tessar.h"
#include "toolkit/text/strings.h"

bool yyhcquery(int device) {
  DeviceOperands& op = tessar.graphics.operands;
  if (op.IOPER2 != -999) return false;
  op.IOPER2 = device;
  return true;
}

bool yyhcopen() {
  ErrorState& es = tessar.error;
  const int saved = es.LASTERROR;
  es.LASTERROR = 0;
  yyprop(2);
  if (es.LASTERROR != 0) {
    tessar.graphics.attributes.HARDCOPYON = 0;
    return false;
  }
  es.LASTERROR = saved;
  return true;
}

void yyhcdescribe(std::string_view caps, float textlimit, int truecolour, int gradient, int devtext,
                  int textback) {
  DeviceDescription& dd = tessar.graphics.description;
  dd.HCCAPS = caps;
  dd.HCTEXTLIMIT = textlimit;
  dd.HCTEXTANGLES = 360;
  dd.HCPLATFORM = 2;
  dd.HCTRUECOLOUR = truecolour;
  dd.HCGRADIENT = gradient;
  dd.HCDEVTEXT = devtext;
  dd.HCTEXTBACK = textback;
}

void yyhcclipbox(float& x1, float& y1, float& x2, float& y2) {
  const GraphicsArea& ar = tessar.graphics.area;
  if (x1 <= ar.XMIN) x1 = ar.XMIN;
  if (y1 <= ar.YMIN) y1 = ar.YMIN;
  if (x2 > ar.XMAX) x2 = ar.XMAX;
  if (y2 > ar.YMAX) y2 = ar.YMAX;
}

int yyhcmodelcolour(int slot) {
  const GraphicsAttributes& at = tessar.graphics.attributes;
  const int pair = at.COLOURMODEL == 2 ? PAIRRGB : PAIRINDEX;
  return at.COLOURS[static_cast<std::size_t>(pair)][static_cast<std::size_t>(slot)];
}

int yyhcloadimage(std::vector<int>& pixels, int width, int height) {
  DeviceOperands& operands = tessar.graphics.operands;
  const std::string& name = tessar.files.HCCURRENT;
  DecodedImage image;
  int syserror = 0;
  int error = yydecodeimage(std::string_view(name).substr(0, static_cast<std::size_t>(lentrim(name))), image, syserror);
  // The picture the graphics layer placed must be the one decoded.
  if (error == 0 && (image.width != width || image.height != height)) error = 27;
  if (error != 0) {
    ErrorState& es = tessar.error;
    es.LASTERROR = error;
    es.ERRDETAIL = syserror;
    operands.IOPER1 = error;
    operands.IOPER2 = syserror;
    return error;
  }
  if (image.bits <= 8)
    for (std::size_t k = 0; k < image.values.size(); ++k) image.values[k] = image.colour(k);
  pixels = std::move(image.values);
  return 0;
}

std::string yyhcplaintext(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32 || u == 127) c = ' ';
  }
  return out;
}
