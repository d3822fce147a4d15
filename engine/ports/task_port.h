// The Task Scheduler (2.0) as the engine sees it: every registered task by its full name, its
// definition as XML and its Exec actions, and the deletion and registration of a task.
#pragma once

#include <string>
#include <vector>

#include "engine/base/text_rules.h"
#include "engine/ports/win_status.h"

namespace brenvik {

// ERROR_ALREADY_EXISTS: registerTask of a name that is taken.
constexpr Status kErrorAlreadyExists = 183;
// ERROR_REVISION_MISMATCH: deleteTask of a task whose definition is not the one expected.
constexpr Status kErrorTaskChanged = 1306;
// ERROR_UNKNOWN_REVISION: a task registered again reads back with other Exec actions than
// the definition registered (Wine's scheduler drops their Command and Arguments).
constexpr Status kErrorTaskNotAsKept = 1305;

// One Exec action (IExecAction): the program, its arguments and its working folder (UTF-8).
struct TaskExecAction {
    std::string path;
    std::string arguments;
    std::string workingDirectory;

    bool operator==(const TaskExecAction& o) const {
        return path == o.path && arguments == o.arguments && workingDirectory == o.workingDirectory;
    }
};

// A task as it is registered: its whole definition (IRegisteredTask::get_Xml, UTF-8) and its
// Exec actions as the scheduler's object model gives them (get_Definition); actions of other
// kinds are not listed.
struct TaskDefinition {
    std::string xml;
    std::vector<TaskExecAction> execActions;
};

// A folder whose tasks or subfolders could not be listed.
struct TaskFolderError {
    std::string folder;  // "\" or "\Folder\Sub"
    Status error = kErrorSuccess;
};

// A full name that stays in the task folder: "\" and then parts that are not empty, "." or
// "..", and hold no '/'. The scheduler refuses any other (ERROR_INVALID_NAME).
inline bool IsPlainTaskName(const std::string& name) {
    std::vector<std::string> parts;
    return name.size() >= 2 && name[0] == '\\' && name.find('/') == std::string::npos &&
           SplitPlainParts(name, 1, &parts);
}

// Full names are "\Name" or "\Folder\...\Name", as IRegisteredTask::get_Path gives them.
class TaskReader {
public:
    virtual ~TaskReader() = default;

    // Every task of every folder, hidden ones included (TASK_ENUM_HIDDEN): a folder's own
    // tasks, then each subfolder's, depth first, in the scheduler's order. A folder that
    // cannot be listed is named in unlisted and passed over; the status is the connection's
    // (the service not reachable), and then nothing is listed.
    virtual Status listTasks(std::vector<std::string>* names,
                             std::vector<TaskFolderError>* unlisted) = 0;
    // The task's definition; ERROR_FILE_NOT_FOUND when no task has that name.
    virtual Status readTask(const std::string& name, TaskDefinition* task) = 0;
};

class TaskPort : public TaskReader {
public:
    // ITaskFolder::DeleteTask, only while the task's XML read just before is expectedXml
    // (kErrorTaskChanged otherwise, the task left as it is): what was judged is what goes.
    virtual Status deleteTask(const std::string& name, const std::string& expectedXml) = 0;
    // ITaskFolder::RegisterTask(TASK_CREATE) of the XML under the name, its folder created
    // when missing; kErrorAlreadyExists when a task has the name.
    virtual Status registerTask(const std::string& name, const std::string& xml) = 0;
};

}  // namespace brenvik
