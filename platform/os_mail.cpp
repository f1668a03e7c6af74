// platform/os_mail.cpp: e-mail handed to the desktop's mail composer (xdg-email), which
// opens a new message for the user to complete and send.
//
// The recipient and attachment tables exist once per process. An index outside a table is
// ignored rather than written past its end.
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/os.h"

namespace win {

namespace {

struct Recipient {
  int recipientclass = 0;  // 1 To, 2 Cc, 3 Bcc; 0 not yet set (sent as To)
  std::string name, address;
};

struct MailState {
  std::vector<Recipient> recipients;
  int recipientcount = 0;
  std::vector<std::string> attachments;
};

MailState& mail() {
  static MailState m;
  return m;
}

std::string shellWord(const std::string& text) {
  std::string word = "'";
  for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return word + "'";
}

Recipient* recipient(int index) {
  MailState& m = mail();
  if (index < 0 || index >= static_cast<int>(m.recipients.size())) return nullptr;
  return &m.recipients[static_cast<std::size_t>(index)];
}

}  // namespace

void yyemailclearrecip(int count) {
  MailState& m = mail();
  m.recipients.assign(static_cast<std::size_t>(count > 1 ? count : 1), Recipient{});
  m.recipients[0].recipientclass = 1;
  m.recipientcount = count > 0 ? count : 0;
}

void yyemailaddaddress(int index, const char* address) {
  if (Recipient* r = recipient(index)) r->address = address ? address : "";
}

void yyemailaddname(int index, const char* name) {
  if (Recipient* r = recipient(index)) r->name = name ? name : "";
}

void yyemailaddtype(int index, int type) {
  if (Recipient* r = recipient(index)) r->recipientclass = type == 2 ? 2 : type == 3 ? 3 : 1;
}

void yyemailclearattach(int count) {
  mail().attachments.assign(static_cast<std::size_t>(count > 0 ? count : 0), std::string());
}

void yyemailaddattachfile(int index, const char* path) {
  auto& a = mail().attachments;
  if (index >= 0 && index < static_cast<int>(a.size()))
    a[static_cast<std::size_t>(index)] = path ? path : "";
}

void yyemailsend(int flags, int& status, int& mailerror, const char* subject,
                 const char* text) {
  mailerror = 0;
  std::string composer;
  if (!findprogram("xdg-email", composer)) {
    status = -1;
    return;
  }
  // The composer may change the current directory; it is put back afterwards.
  std::vector<char> cwd(4096, '\0');
  const bool remembered = getcwd(cwd.data(), cwd.size()) != nullptr;

  const MailState& m = mail();
  std::string command = shellWord(composer) + " --utf8";
  if (subject && *subject) command += " --subject " + shellWord(subject);
  if (text && *text) command += " --body " + shellWord(text);
  std::string to;
  for (int i = 0; i < m.recipientcount && i < static_cast<int>(m.recipients.size()); ++i) {
    const Recipient& r = m.recipients[static_cast<std::size_t>(i)];
    std::string who = r.address;
    if (!r.name.empty()) who = r.address.empty() ? r.name : r.name + " <" + r.address + ">";
    if (who.empty()) continue;
    if (r.recipientclass == 2)
      command += " --cc " + shellWord(who);
    else if (r.recipientclass == 3)
      command += " --bcc " + shellWord(who);
    else
      to.append(" ").append(shellWord(who));
  }
  for (const std::string& path : m.attachments)
    if (!path.empty()) command += " --attach " + shellWord(path);
  command += to;

  int started = 0, exitcode = 0;
  yyrun(command.c_str(), started, exitcode);
  if (started == 0 && exitcode == 0) {
    status = 0;
  } else {
    status = -2;
    mailerror = started != 0 ? started : exitcode;
  }
  if (remembered && chdir(cwd.data()) != 0) {
    // The directory has gone; there is nothing to return to.
  }
}

}  // namespace win
