// Writing the JSON report where the command line was told to, without letting a link or a
// folder that others can change turn the write into one of another file.
#pragma once

#include <string>

namespace brenvik {

// Writes bytes to path (UTF-8, relative to the current folder or absolute) unless the rule
// refuses it; on failure why says, in a few words, what was wrong. The rule:
// - the folder is opened without following a reparse point and held (it cannot be renamed
//   while the report is written); it must not be a reparse point;
// - the folder's owner must be SYSTEM, Administrators, TrustedInstaller or the running user,
//   and no allow entry may let any other account add, change or remove what it holds or
//   change its list, unless the running user owns the folder (a place of their own, named on
//   the command line by themselves);
// - the file is opened or created without following a reparse point and without truncation
//   by name, then refused through its handle when it is a reparse point or has more than one
//   name; only then is it cut to nothing, written and flushed;
// - %ProgramData%\Brenvik\Reports is the program's own: it is made (or given back) with the
//   data folder's list, Administrators and SYSTEM only, before that check.
bool WriteReportFile(const std::string& path, const std::string& bytes, std::string* why);

}  // namespace brenvik
