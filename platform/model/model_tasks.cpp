// ModelPlatform's scheduled tasks: a list of registered tasks by full name, with the
// Task Scheduler's answers.
#include <algorithm>

#include "engine/rules/task_xml.h"
#include "platform/model/model_state.h"
#include "platform/model/model_text.h"

namespace brenvik::model {
namespace {

std::string FolderOf(const std::string& name) {
    const std::size_t slash = name.rfind('\\');
    return slash == 0 ? std::string("\\") : name.substr(0, slash);
}

// The listing order: a folder's own tasks before its subfolders, each without letter case.
std::vector<std::string> ListingKey(const std::string& name) {
    std::vector<std::string> key;
    const std::string folder = FolderOf(name);
    if (folder != "\\") {
        for (const std::string& part : SplitFilePath(folder.substr(1)))
            key.push_back(FoldName(part));
    }
    // "\x01" sorts before any folder's name.
    key.push_back("\x01" + FoldName(name.substr(name.rfind('\\') + 1)));
    return key;
}

// The folder and each one above it, "\" excluded.
std::vector<std::string> FoldersOf(const std::string& name) {
    std::vector<std::string> folders;
    for (std::string folder = FolderOf(name); folder != "\\"; folder = FolderOf(folder))
        folders.push_back(folder);
    return folders;
}

}  // namespace

ModelTask* ModelPlatform::Impl::findTask(const std::string& name) {
    for (ModelTask& task : tasks) {
        if (EqualsNoCase(task.name, name))
            return &task;
    }
    return nullptr;
}

// ---- TaskPort ----

Status ModelPlatform::listTasks(std::vector<std::string>* names,
                                std::vector<TaskFolderError>* unlisted) {
    names->clear();
    unlisted->clear();
    if (Status s = m_impl->injected("listTasks", "\\"))
        return s;
    std::vector<const ModelTask*> sorted;
    for (const ModelTask& task : m_impl->tasks) sorted.push_back(&task);
    std::sort(sorted.begin(), sorted.end(), [](const ModelTask* a, const ModelTask* b) {
        return ListingKey(a->name) < ListingKey(b->name);
    });
    for (const ModelTask* task : sorted) {
        bool refused = false;
        for (const std::string& folder : FoldersOf(task->name)) {
            if (Status s = m_impl->injected("listTasks", folder)) {
                refused = true;
                bool named = false;
                for (const TaskFolderError& each : *unlisted)
                    named = named || EqualsNoCase(each.folder, folder);
                if (!named)
                    unlisted->push_back(TaskFolderError{folder, s});
            }
        }
        if (!refused)
            names->push_back(task->name);
    }
    return kErrorSuccess;
}

Status ModelPlatform::Impl::reachTask(const char* op, const std::string& name, ModelTask** found) {
    enterCall(op, name);
    if (Status s = injected(op, name))
        return s;
    *found = findTask(name);
    return *found == nullptr ? kErrorFileNotFound : kErrorSuccess;
}

Status ModelPlatform::readTask(const std::string& name, TaskDefinition* task) {
    *task = TaskDefinition{};
    ModelTask* found = nullptr;
    if (Status s = m_impl->reachTask("readTask", name, &found))
        return s;
    task->xml = found->xml;
    task->execActions = found->actions;
    return kErrorSuccess;
}

Status ModelPlatform::deleteTask(const std::string& name, const std::string& expectedXml) {
    ModelTask* found = nullptr;
    if (Status s = m_impl->reachTask("deleteTask", name, &found))
        return s;
    if (found->xml != expectedXml)
        return kErrorTaskChanged;
    m_impl->tasks.erase(m_impl->tasks.begin() + (found - m_impl->tasks.data()));
    return kErrorSuccess;
}

Status ModelPlatform::registerTask(const std::string& name, const std::string& xml) {
    if (Status s = m_impl->injected("registerTask", name))
        return s;
    if (!IsPlainTaskName(name))
        return kErrorInvalidName;
    if (m_impl->findTask(name) != nullptr)
        return kErrorAlreadyExists;
    if (xml.find("<Task") == std::string::npos)
        return kErrorInvalidData;
    m_impl->tasks.push_back(ModelTask{name, xml, ExecActionsInXml(xml)});
    return kErrorSuccess;
}

void ModelPlatform::putTask(const std::string& name, const std::string& xml) {
    putTask(name, xml, ExecActionsInXml(xml));
}

void ModelPlatform::putTask(const std::string& name, const std::string& xml,
                            std::vector<TaskExecAction> actions) {
    if (ModelTask* task = m_impl->findTask(name)) {
        task->xml = xml;
        task->actions = std::move(actions);
        return;
    }
    m_impl->tasks.push_back(ModelTask{name, xml, std::move(actions)});
}

std::optional<std::string> ModelPlatform::taskXml(const std::string& name) const {
    for (const ModelTask& task : m_impl->tasks) {
        if (EqualsNoCase(task.name, name))
            return task.xml;
    }
    return std::nullopt;
}

}  // namespace brenvik::model
