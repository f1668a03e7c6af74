#pragma once
// The error message table: the fixed English text of every error number, and the texts of
// operating-system error codes and of the compression library's statuses.
#include <optional>
#include <string>

// kind 1 (default): text of an error number; 2: the system's text of an operating-system
// error code; 3: the compression library's text of a status. Any other kind leaves text as
// it is. The result is cut or blank-padded to text.size().
void winfoerrormessage(int number, std::string& text, std::optional<int> kind = std::nullopt);
