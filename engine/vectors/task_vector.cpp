#include "engine/vectors/task_vector.h"

#include <map>
#include <set>

#include "engine/base/text_rules.h"
#include "engine/rules/launch_commands.h"
#include "engine/rules/task_xml.h"
#include "engine/vectors/labelled_vector.h"
#include "engine/views/result_record.h"

namespace brenvik {
namespace {

void SkipTask(SkippedPlaces* skipped, const std::string& name, const char* what, Status error) {
    if (error == kErrorSuccess || error == kErrorFileNotFound || error == kErrorPathNotFound)
        return;
    AddSkipped(skipped, SkippedPlace{kTaskLabel, name,
                                     std::string("cannot be ") + what + ": " + ErrorWords(error)});
}

// The actions to judge: the object model's, and the ones its XML holds that it did not give
// (Wine's model gives none; a definition the model and the text tell apart is judged by both).
std::vector<TaskExecAction> ActionsOf(const TaskDefinition& task) {
    std::vector<TaskExecAction> actions = task.execActions;
    for (TaskExecAction& action : ExecActionsInXml(task.xml)) {
        bool known = false;
        for (const TaskExecAction& given : actions) known = known || given == action;
        if (!known)
            actions.push_back(std::move(action));
    }
    return actions;
}

class TaskVector final : public LabelledVector {
public:
    TaskVector() : LabelledVector(kTaskLabel) {}

    WorkPlaces places(const PortReads&) const override {
        WorkPlaces places;
        places.tasks.push_back(kTaskRoot);
        return places;
    }

    // Every task in the scheduler's order; one finding per task, for its first Exec action
    // that a startup entry's rule judges a hijack. A task that cannot be read is skipped.
    void scan(AccessBroker& broker, VectorContext&) override {
        TaskReader& tasks = broker.reads().tasks;
        std::vector<std::string> names;
        std::vector<TaskFolderError> unlisted;
        const Status listed = tasks.listTasks(&names, &unlisted);
        if (listed != kErrorSuccess) {
            SkipTask(&m_skipped, kTaskRoot, "listed", listed);
            return;
        }
        for (const TaskFolderError& folder : unlisted)
            SkipTask(&m_skipped, folder.folder, "listed", folder.error);
        std::set<std::string> seen;  // each task once, whatever the listing repeats
        for (const std::string& name : names) {
            if (broker.stopRequested())
                return;
            std::string folded = name;
            LowercaseAscii(folded);
            if (!seen.insert(folded).second)
                continue;
            TaskDefinition task;
            if (Status s = tasks.readTask(name, &task)) {
                SkipTask(&m_skipped, name, "read", s);
                continue;
            }
            for (const TaskExecAction& action : ActionsOf(task)) {
                std::string command = ExecCommandLine(action);
                if (StartupAddress(command).empty())
                    continue;
                Finding finding{name, std::move(command), BrowserRule::Startup};
                finding.location = m_label;
                m_findings.push_back(std::move(finding));
                m_judged[name] = std::move(task.xml);
                break;
            }
        }
    }

    // Each task deleted only as the scan read it: one rewritten since is left, failed.
    void repair(AccessBroker& broker) override {
        for (const Finding& finding : m_findings) {
            if (broker.stopRequested())
                return;
            const auto judged = m_judged.find(finding.path);
            if (judged != m_judged.end())
                broker.deleteTask(finding.path, judged->second);
        }
    }

private:
    std::map<std::string, std::string> m_judged;  // full name -> the XML the finding is of
};

}  // namespace

std::unique_ptr<Vector> MakeTaskVector() {
    return std::make_unique<TaskVector>();
}

}  // namespace brenvik
