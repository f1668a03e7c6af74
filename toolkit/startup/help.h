#pragma once
// Help: a help file, or a topic in it, opened with the viewer its name chooses: web
// addresses, ".htm"/".html" and ".pdf" files through the desktop's opener (xdg-open),
// ".chm"/".col" files and "ms-its:" topic addresses through a compiled-help viewer (xchm);
// ".hlp" files have no viewer here. A blank name closes the viewers help started.
#include <optional>
#include <string_view>

// topic: -1 (default) none; popup 1 shows the topic as a popup where the viewer can.
// Errors under "WHelpFile": 1 file not found, 1030 viewer failed, 1031 not a help file
// name, 1081 no compiled-help viewer.
void WHelpFile(std::string_view file, std::optional<int> topic = std::nullopt,
               std::optional<int> popup = std::nullopt);

// The worker: classifies the name, finds the file and starts the viewer. keyword 1 opens
// the file or topic; any other value asks for a keyword lookup of topictext.
void yyhelp(std::string_view file, int topic, std::string_view topictext, int popup,
            int keyword);

// Viewer routines on NUL-terminated texts; status 0 or an error number.
void yyhelphlp(int mode, int popup, int topic, int& status, const char* file,
               const char* keyword);
void yyhelpchm(int mode, int popup, int topic, int& status, const char* file,
               const char* keyword);
void yyhelphtm(int mode, int topic, int& status, const char* file, const char* topictext,
               const char* webaddress);
void yyhelppdf(int& status, const char* file);
void yyhelpclose();
