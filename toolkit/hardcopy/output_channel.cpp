// The hardcopy output channel over the platform's raw file services.
#include "toolkit/hardcopy/output_channel.h"

#include <array>
#include <string>

#include "platform/os.h"
#include "toolkit/text/errors.h"
#include "toolkit/text/strings.h"

namespace {

std::array<int, 2> unithandle = {-1, -1};

int* slot(int unit) {
  if (unit < 1 || unit > 2) return nullptr;
  return &unithandle[static_cast<std::size_t>(unit - 1)];
}

void fail(int number, int status) {
  tessar.error.ERRDETAIL = status;
  tessar.error.ERRDETAILKIND = 2;
  tessar.hardcopy.printer.OUTPUTERROR = 1;
  yyerror(number, "YYPROU");
}

void writeall(int unit, const char* bytes, int count) {
  int* handle = slot(unit);
  if (handle == nullptr || count < 0) {
    fail(2, win::ERROR_INVALID_HANDLE);
    return;
  }
  int written = 0, status = 0;
  win::yywritc(*handle, bytes, count, written, status);
  if (written != count) fail(2, status);
}

}  // namespace

void yyprop(int unit) {
  const std::string& name9 = tessar.files.HCCURRENT;
  int* handle = slot(unit);
  const int length = lentrim(name9);
  if (handle == nullptr || ilocatechar(name9) == 0) {
    tessar.hardcopy.printer.OUTPUTERROR = 1;
    yyerror(1, "YYPROU");
    return;
  }
  const std::string name = name9.substr(0, static_cast<std::size_t>(length));
  tessar.hardcopy.printer.OUTPUTERROR = 0;
  int status = 0;
  win::yyopen(name.c_str(), 1, *handle, status);
  if (status != 0) fail(1, status);
}

void yyprou(int unit, std::span<const char> bytes, int count) {
  if (count > static_cast<int>(bytes.size())) count = static_cast<int>(bytes.size());
  writeall(unit, bytes.data(), count);
}

void yyprwl(int unit, std::string_view text, int length) {
  if (length < 0) length = 0;
  if (length > static_cast<int>(text.size())) length = static_cast<int>(text.size());
  std::string line(text.substr(0, static_cast<std::size_t>(length)));
  line += "\r\n";
  writeall(unit, line.data(), static_cast<int>(line.size()));
}

void yyprcl(int unit) {
  int* handle = slot(unit);
  if (handle == nullptr || *handle < 0) return;
  win::yyclos(*handle);
  *handle = -1;
}

void yyprfh(int unit, int& handle) {
  const int* h = slot(unit);
  handle = h == nullptr ? -1 : *h;
}
