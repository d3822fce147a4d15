// The Exec actions a task's XML definition holds, read from the text itself: the scheduler's
// object model on Wine 8 gives none for a task read from its file (its reader of Actions is
// a stub), and a definition is attacker-written text either way.
#pragma once

#include <string>
#include <vector>

#include "engine/ports/task_port.h"

namespace brenvik {

// Each Exec element under Task/Actions, in order, with its Command, Arguments and
// WorkingDirectory text (entities and CDATA decoded, names compared without their namespace
// prefix). Text that is no well-formed XML gives the actions found before the fault.
std::vector<TaskExecAction> ExecActionsInXml(const std::string& xml);

// The command line an Exec action runs: the path, quoted when it holds a blank and is not
// quoted already, then the arguments.
std::string ExecCommandLine(const TaskExecAction& action);

}  // namespace brenvik
