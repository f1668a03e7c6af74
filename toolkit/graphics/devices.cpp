// Device dispatch: the two sides every request goes to.
#include "toolkit/graphics/devices.h"

#include "toolkit/state/tessar.h"

GraphicsServices graphicsservices;

void yygdrv(int code) {
  const DeviceRoutine side =
      tessar.graphics.target.CGMRECORD == 0 ? graphicsservices.yygapi : graphicsservices.yygcgm;
  if (side != nullptr) side(code);
}

void yyhdrv(int code) {
  if (tessar.graphics.attributes.HARDCOPYON > 0) xxhcif(code);
}

void xxhcif(int code) {
  if (graphicsservices.xxhcif != nullptr) graphicsservices.xxhcif(code);
}

void yysend(int code) {
  const GraphicsAttributes& at = tessar.graphics.attributes;
  if (at.SCREENON > 0) yygdrv(code);
  if (at.HARDCOPYON > 0) yyhdrv(code);
}
