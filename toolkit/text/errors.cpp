// toolkit/text/errors.cpp: the error recorder, its report text and the debug log.
// Sections (grep "[SECTION]"): debug log | recording and reporting
// Invariants: (1) the report text is exactly 200 characters and every write into it is
// bounded; (2) DEBUGLEVEL is 0 while a report is made, so nothing reports from inside one;
// (3) the debug log is opened at most once per process.
#include "toolkit/text/errors.h"

#include <cstdio>
#include <string>

#include "platform/message_box.h"
#include "platform/os.h"
#include "toolkit/text/errors_internal.h"
#include "toolkit/text/messages.h"
#include "toolkit/text/strings.h"

//------------------------------------------------------------------------------
// [SECTION] Debug log
// - yydebugopen(), yydebugc(), yydebug(), yydebugi(), idebug()
//------------------------------------------------------------------------------
namespace {

std::FILE* debugLog = nullptr;
bool debugOpenTried = false;

void writeLogLine(std::string_view line) {
  yydebugopen();
  if (debugLog == nullptr) return;
  std::fwrite(line.data(), 1, line.size(), debugLog);
  std::fwrite("\r\n", 1, 2, debugLog);
  std::fflush(debugLog);
}

// Up to the first NUL, as the C routines see their text.
std::string_view untilNul(std::string_view text) {
  const std::size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

}  // namespace

void yydebugopen() {
  if (debugOpenTried) return;
  debugOpenTried = true;
  for (const char* name : {"debug", "debug.txt", "debug.dat"}) {
    debugLog = std::fopen(name, "wb");
    if (debugLog != nullptr) {
      std::setvbuf(debugLog, nullptr, _IONBF, 0);
      return;
    }
  }
}

void yydebugc(const char* text) { writeLogLine(text == nullptr ? "" : text); }

void yydebug(const char* text, int /*length*/) { yydebugc(text); }

void yydebugi(const char* name, int value) {
  char line[100];
  std::snprintf(line, sizeof line, "%s=%d", name == nullptr ? "" : name, value);
  yydebugc(line);
}

void idebug(std::string_view text) { writeLogLine(untilNul(text)); }

namespace tw::test {
// Lets a test start the log afresh, as a new process run would.
void resetDebugLog() {
  if (debugLog != nullptr) std::fclose(debugLog);
  debugLog = nullptr;
  debugOpenTried = false;
}
}  // namespace tw::test

//------------------------------------------------------------------------------
// [SECTION] Recording and reporting
// - yyseterror(), idebuglevel(), yyerror(), yyreporttext()
//------------------------------------------------------------------------------
ReportServices reportservices;

namespace {

constexpr std::size_t kReportLength = 200;

// Writes value into text from 1-based position at, cut at the text's end.
void placeAt(std::string& text, std::size_t at, std::string_view value) {
  if (at < 1 || at > text.size()) return;
  const std::size_t room = text.size() - (at - 1);
  text.replace(at - 1, std::min(room, value.size()), value.substr(0, std::min(room, value.size())));
}

bool isInternalName(std::string_view name) {
  if (name.size() < 2) return false;
  const std::string_view two = name.substr(0, 2);
  return two == "YY" || two == "yy" || two == "XX" || two == "xx";
}

// The level-4 box of a program without the window layer: the box WMessageBox(1, 3, 1, ...)
// shows (OK/Cancel, exclamation, OK the default), its answer in DLGANSWER.
void platformreportbox(const std::string& text, const char* title) {
  int answer = -1;
  switch (win::MessageBox(nullptr, text.c_str(), title, win::MB_OKCANCEL | win::MB_ICONEXCLAMATION)) {
    case win::IDOK: answer = 1; break;
    case win::IDCANCEL: answer = 0; break;
    default: break;
  }
  tessar.dialog.FOCUSFIELD = 0;
  tessar.dialog.DLGANSWER = answer;
}

}  // namespace

// Builds the 200-character report of number for routine from the current error record;
// e1 and e2 (1-based) are the end of the routine name and the colon after the number.
std::string yyreporttext(int number, std::string_view routine, int& e1, int& e2) {
  const ErrorState& es = tessar.error;
  std::string report(kReportLength, ' ');
  const std::string_view name = routine.substr(0, static_cast<std::size_t>(lentrim(routine)));
  if (isInternalName(name)) {
    placeAt(report, 1, "Internal routine:");
    placeAt(report, 18, name.substr(0, 183));
  } else {
    placeAt(report, 1, "Routine:");
    placeAt(report, 9, name.substr(0, 192));
  }
  e1 = lentrim(report);
  placeAt(report, static_cast<std::size_t>(e1) + 1, " Error=    :");
  e2 = e1 + 12;

  char digits[8];
  if (number > 9999 || number < -999)
    std::snprintf(digits, sizeof digits, "****");
  else
    std::snprintf(digits, sizeof digits, "%4d", number);
  placeAt(report, static_cast<std::size_t>(e2) - 4, digits);

  if (static_cast<std::size_t>(e2) < kReportLength) {
    std::string message(kReportLength - static_cast<std::size_t>(e2), ' ');
    winfoerrormessage(number, message, 1);
    placeAt(report, static_cast<std::size_t>(e2) + 1, message);
  }

  const bool osDetail = ((number == 1 || number == 2) && es.ERRDETAILKIND == 2) || number == 13;
  if (osDetail || number == 1044) {
    const int p = lentrim(report);
    if (p < 198) {
      std::string detail(kReportLength - static_cast<std::size_t>(p) - 2, ' ');
      if (number == 1044)
        winfoerrormessage(es.ERRSTATUS, detail, 3);
      else
        winfoerrormessage(number == 13 ? es.ERRSTATUS : es.ERRDETAIL, detail, 2);
      placeAt(report, static_cast<std::size_t>(p) + 1, ":");
      placeAt(report, static_cast<std::size_t>(p) + 3, detail);
    }
  }
  return report;
}

void yyseterror(int number) { tessar.error.LASTERROR = number; }

void idebuglevel(int level) {
  if (level >= 0 && level <= 4) tessar.error.DEBUGLEVEL = level;
}

void yyerror(int number, std::string_view routine) {
  ErrorState& es = tessar.error;
  yyseterror(number);
  if (es.DEBUGLEVEL <= 0) return;
  const int level = es.DEBUGLEVEL, last = es.LASTERROR;
  es.DEBUGLEVEL = 0;

  int e1 = 0, e2 = 0;
  const std::string report = yyreporttext(number, routine, e1, e2);
  const std::string text = report.substr(0, static_cast<std::size_t>(lentrim(report)));
  switch (level) {
    case 1:
      std::fputc(' ', stdout);
      std::fwrite(text.data(), 1, text.size(), stdout);
      std::fputc('\n', stdout);
      std::fflush(stdout);
      break;
    case 2:
      idebug(text);
      break;
    case 3:
      if (reportservices.rootstatustext != nullptr) reportservices.rootstatustext(text);
      break;
    case 4: {
      // Three lines: the prefix with the name, "Error=" with the number, the message.
      std::string box = text;
      for (const int at : {e1 + 1, e2})
        if (at >= 1 && at <= static_cast<int>(box.size())) box[static_cast<std::size_t>(at) - 1] = '\r';
      if (reportservices.WMessageBox != nullptr)
        reportservices.WMessageBox(1, 3, 1, box, "Library Error");
      else
        platformreportbox(box, "Library Error");
      // The user stopped the program over an error: a failure status, not success.
      if (tessar.dialog.DLGANSWER == 0) {
        if (reportservices.iosexitprogram != nullptr) reportservices.iosexitprogram("", 1);
        win::yyexit(1);
      }
      break;
    }
    default:
      break;
  }

  es.DEBUGLEVEL = level;
  es.LASTERROR = last;
}
