// The task port over the Task Scheduler 2.0 object model (ITaskService), reached through
// CoCreateInstance: the program imports nothing of taskschd.dll.
//
// Wine 8's object model answers neither a folder's tasks (the collection's count and items
// are E_NOTIMPL) nor a task's actions, and its get_Xml writes the definition again from what
// it parsed, without the Exec actions its reader skips. Where the object model answers
// E_NOTIMPL, the port reads what that scheduler keeps: one XML file per task under
// %SystemRoot%\System32\Tasks, by the task's full name. Windows never takes that path.
#include <windows.h>
#include <oleauto.h>
#include <taskschd.h>

#include "platform/win32/handles.h"
#include "platform/win32/whole_file.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace brenvik {
namespace {

// Folders deeper than this are not walked: no scheduler nests so far, a loop still ends.
constexpr int kMaxFolderDepth = 32;
// A task definition is a few kilobytes; anything this large is none.
constexpr std::uint64_t kMaxTaskFileBytes = 1 << 20;

struct BstrTraits {
    static BSTR empty() { return nullptr; }
    static void close(BSTR text) { SysFreeString(text); }
};
using UniqueBstr = UniqueResource<BSTR, BstrTraits>;

// A Win32 error carried in an HRESULT as itself; any other failure as the HRESULT.
Status TaskStatusOf(HRESULT result) {
    if (SUCCEEDED(result))
        return kErrorSuccess;
    if (HRESULT_FACILITY(result) == FACILITY_WIN32)
        return static_cast<Status>(HRESULT_CODE(result));
    return static_cast<Status>(result);
}

UniqueBstr Bstr(const std::string& text) {
    return UniqueBstr(SysAllocString(Utf8ToWide(text).c_str()));
}

std::string TextOf(const UniqueBstr& text) {
    return text ? WideToUtf8(text.get(), SysStringLen(text.get())) : std::string();
}

VARIANT Empty() {
    VARIANT empty = {};
    empty.vt = VT_EMPTY;
    return empty;
}

VARIANT Index(LONG index) {
    VARIANT variant = {};
    variant.vt = VT_I4;
    variant.lVal = index;
    return variant;
}

// "\Folder\Name" to "\Folder" and "Name"; "\Name" to "\" and "Name".
void SplitTaskName(const std::string& name, std::string* folder, std::string* leaf) {
    const std::size_t slash = name.rfind('\\');
    if (slash == std::string::npos) {
        *folder = "\\";
        *leaf = name;
        return;
    }
    *folder = slash == 0 ? std::string("\\") : name.substr(0, slash);
    *leaf = name.substr(slash + 1);
}

// The scheduler of this machine, connected as the calling account.
Status Connect(ComPtr<ITaskService>* service) {
    CoInitialize(nullptr);  // stays initialised on this thread, as for the shortcut port
    if (Status s = TaskStatusOf(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                                 IID_ITaskService, service->put())))
        return s;
    return TaskStatusOf((*service)->Connect(Empty(), Empty(), Empty(), Empty()));
}

Status OpenFolder(ITaskService* service, const std::string& path, ComPtr<ITaskFolder>* folder) {
    const UniqueBstr wide = Bstr(path);
    if (!wide)
        return kErrorNotEnoughMemory;
    return TaskStatusOf(
        service->GetFolder(wide.get(), reinterpret_cast<ITaskFolder**>(folder->put())));
}

Status OpenTask(ITaskService* service, const std::string& name, ComPtr<ITaskFolder>* folder,
                ComPtr<IRegisteredTask>* task) {
    std::string folderPath;
    std::string leaf;
    SplitTaskName(name, &folderPath, &leaf);
    if (leaf.empty())
        return kErrorInvalidName;
    if (Status s = OpenFolder(service, folderPath, folder))
        return s;
    const UniqueBstr wide = Bstr(leaf);
    if (!wide)
        return kErrorNotEnoughMemory;
    return TaskStatusOf(
        (*folder)->GetTask(wide.get(), reinterpret_cast<IRegisteredTask**>(task->put())));
}

Status ReadXml(IRegisteredTask* task, std::string* xml) {
    UniqueBstr text;
    if (Status s = TaskStatusOf(task->get_Xml(text.put())))
        return s;
    *xml = TextOf(text);
    return kErrorSuccess;
}

Status ReadExecActions(IRegisteredTask* task, std::vector<TaskExecAction>* actions) {
    ComPtr<ITaskDefinition> definition;
    if (Status s = TaskStatusOf(
            task->get_Definition(reinterpret_cast<ITaskDefinition**>(definition.put()))))
        return s;
    ComPtr<IActionCollection> collection;
    if (Status s = TaskStatusOf(
            definition->get_Actions(reinterpret_cast<IActionCollection**>(collection.put()))))
        return s;
    LONG count = 0;
    if (Status s = TaskStatusOf(collection->get_Count(&count)))
        return s;
    for (LONG i = 1; i <= count; ++i) {
        ComPtr<IAction> action;
        if (Status s =
                TaskStatusOf(collection->get_Item(i, reinterpret_cast<IAction**>(action.put()))))
            return s;
        TASK_ACTION_TYPE type = TASK_ACTION_EXEC;
        if (FAILED(action->get_Type(&type)) || type != TASK_ACTION_EXEC)
            continue;
        ComPtr<IExecAction> exec;
        if (Status s = TaskStatusOf(action->QueryInterface(IID_IExecAction, exec.put())))
            return s;
        UniqueBstr path;
        UniqueBstr arguments;
        UniqueBstr folder;
        if (Status s = TaskStatusOf(exec->get_Path(path.put())))
            return s;
        if (Status s = TaskStatusOf(exec->get_Arguments(arguments.put())))
            return s;
        exec->get_WorkingDirectory(folder.put());  // optional
        actions->push_back(TaskExecAction{TextOf(path), TextOf(arguments), TextOf(folder)});
    }
    return kErrorSuccess;
}

const Status kNotImplemented = static_cast<Status>(E_NOTIMPL);

// Where Wine's scheduler keeps the task or folder of that full name ("\" the root).
std::wstring TaskStorePath(const std::string& name) {
    wchar_t system[MAX_PATH] = L"";
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    std::wstring path = std::wstring(system, length) + L"\\Tasks";
    if (name != "\\")
        path += Utf8ToWide(name);
    return path;
}

// A task file's text as UTF-8: UTF-16 after its byte order mark, else UTF-8 (its mark
// dropped).
std::string TaskFileText(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::wstring wide((bytes.size() - 2) / 2, L'\0');
        for (std::size_t i = 0; i < wide.size(); ++i)
            wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                           static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
        return WideToUtf8(wide);
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return bytes.substr(3);
    return bytes;
}

// The task's stored definition; ERROR_FILE_NOT_FOUND when there is none.
Status ReadTaskFile(const std::string& name, std::string* xml) {
    if (!IsPlainTaskName(name))
        return kErrorInvalidName;
    const std::wstring path = TaskStorePath(name);
    if (path.empty())
        return kErrorPathNotFound;
    UniqueHfile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return static_cast<Status>(GetLastError());
    std::string bytes;
    if (Status s = ReadWholeFile(file.get(), kMaxTaskFileBytes, &bytes))
        return s;
    *xml = TaskFileText(bytes);
    return kErrorSuccess;
}

// The tasks of the folder as its stored files name them, in the listing's order.
Status ListTaskFiles(const std::string& folder, std::vector<std::string>* names) {
    if (folder != "\\" && !IsPlainTaskName(folder))
        return kErrorInvalidName;
    const std::wstring path = TaskStorePath(folder);
    if (path.empty())
        return kErrorPathNotFound;
    WIN32_FIND_DATAW data = {};
    UniqueFind find(FindFirstFileW((path + L"\\*").c_str(), &data));
    if (!find) {
        const Status s = static_cast<Status>(GetLastError());
        return s == kErrorFileNotFound ? kErrorSuccess : s;
    }
    do {
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        names->push_back((folder == "\\" ? std::string() : folder) + "\\" +
                         WideToUtf8(data.cFileName));
    } while (FindNextFileW(find.get(), &data));
    const Status s = static_cast<Status>(GetLastError());
    return s == kErrorNoMoreFiles ? kErrorSuccess : s;
}

// The task's definition: its XML and Exec actions from the object model, or where the model
// gives no actions (Wine), its stored file.
Status ReadDefinition(IRegisteredTask* task, const std::string& name, TaskDefinition* out) {
    *out = TaskDefinition{};
    const Status actions = ReadExecActions(task, &out->execActions);
    if (actions == kNotImplemented) {
        out->execActions.clear();
        return ReadTaskFile(name, &out->xml);
    }
    if (actions != kErrorSuccess)
        return actions;
    return ReadXml(task, &out->xml);
}

void ListFolder(ITaskFolder* folder, const std::string& path, int depth,
                std::vector<std::string>* names, std::vector<TaskFolderError>* unlisted) {
    ComPtr<IRegisteredTaskCollection> tasks;
    LONG count = 0;
    Status s = TaskStatusOf(folder->GetTasks(
        TASK_ENUM_HIDDEN, reinterpret_cast<IRegisteredTaskCollection**>(tasks.put())));
    if (s == kErrorSuccess)
        s = TaskStatusOf(tasks->get_Count(&count));
    if (s == kNotImplemented) {
        s = ListTaskFiles(path, names);
        count = 0;
    }
    for (LONG i = 1; s == kErrorSuccess && i <= count; ++i) {
        ComPtr<IRegisteredTask> task;
        UniqueBstr name;
        s = TaskStatusOf(
            tasks->get_Item(Index(i), reinterpret_cast<IRegisteredTask**>(task.put())));
        if (s == kErrorSuccess)
            s = TaskStatusOf(task->get_Path(name.put()));
        if (s == kErrorSuccess)
            names->push_back(TextOf(name));
    }
    if (s != kErrorSuccess)
        unlisted->push_back(TaskFolderError{path, s});
    if (depth >= kMaxFolderDepth)
        return;
    ComPtr<ITaskFolderCollection> folders;
    count = 0;
    s = TaskStatusOf(
        folder->GetFolders(0, reinterpret_cast<ITaskFolderCollection**>(folders.put())));
    if (s == kErrorSuccess)
        s = TaskStatusOf(folders->get_Count(&count));
    if (s != kErrorSuccess) {
        unlisted->push_back(TaskFolderError{path, s});
        return;
    }
    for (LONG i = 1; i <= count; ++i) {
        ComPtr<ITaskFolder> sub;
        UniqueBstr subPath;
        s = TaskStatusOf(folders->get_Item(Index(i), reinterpret_cast<ITaskFolder**>(sub.put())));
        if (s == kErrorSuccess)
            s = TaskStatusOf(sub->get_Path(subPath.put()));
        if (s != kErrorSuccess) {
            unlisted->push_back(TaskFolderError{path, s});
            continue;
        }
        ListFolder(sub.get(), TextOf(subPath), depth + 1, names, unlisted);
    }
}

// A task of a full name with its folder, through a connection of its own.
struct ReachedTask {
    ComPtr<ITaskService> service;
    ComPtr<ITaskFolder> folder;
    ComPtr<IRegisteredTask> registered;

    Status reach(const std::string& name) {
        if (Status s = Connect(&service))
            return s;
        return OpenTask(service.get(), name, &folder, &registered);
    }
};

}  // namespace

Status Win32Platform::listTasks(std::vector<std::string>* names,
                                std::vector<TaskFolderError>* unlisted) {
    names->clear();
    unlisted->clear();
    ComPtr<ITaskService> service;
    if (Status s = Connect(&service))
        return s;
    ComPtr<ITaskFolder> root;
    if (Status s = OpenFolder(service.get(), "\\", &root))
        return s;
    ListFolder(root.get(), "\\", 0, names, unlisted);
    return kErrorSuccess;
}

Status Win32Platform::readTask(const std::string& name, TaskDefinition* task) {
    *task = TaskDefinition{};
    ReachedTask reached;
    if (Status s = reached.reach(name))
        return s;
    return ReadDefinition(reached.registered.get(), name, task);
}

Status Win32Platform::deleteTask(const std::string& name, const std::string& expectedXml) {
    ReachedTask reached;
    if (Status s = reached.reach(name))
        return s;
    TaskDefinition now;
    if (Status s = ReadDefinition(reached.registered.get(), name, &now))
        return s;
    if (now.xml != expectedXml)
        return kErrorTaskChanged;
    std::string folderPath;
    std::string leaf;
    SplitTaskName(name, &folderPath, &leaf);
    const UniqueBstr wide = Bstr(leaf);
    if (!wide)
        return kErrorNotEnoughMemory;
    return TaskStatusOf(reached.folder->DeleteTask(wide.get(), 0));
}

Status Win32Platform::registerTask(const std::string& name, const std::string& xml) {
    ComPtr<ITaskService> service;
    if (Status s = Connect(&service))
        return s;
    std::string folderPath;
    std::string leaf;
    SplitTaskName(name, &folderPath, &leaf);
    if (leaf.empty())
        return kErrorInvalidName;
    ComPtr<ITaskFolder> folder;
    Status s = OpenFolder(service.get(), folderPath, &folder);
    if (s == kErrorFileNotFound || s == kErrorPathNotFound) {
        ComPtr<ITaskFolder> root;
        if (Status r = OpenFolder(service.get(), "\\", &root))
            return r;
        const UniqueBstr wideFolder = Bstr(folderPath);
        if (!wideFolder)
            return kErrorNotEnoughMemory;
        s = TaskStatusOf(root->CreateFolder(wideFolder.get(), Empty(),
                                            reinterpret_cast<ITaskFolder**>(folder.put())));
    }
    if (s != kErrorSuccess)
        return s;
    const UniqueBstr wideLeaf = Bstr(leaf);
    const UniqueBstr wideXml = Bstr(xml);
    if (!wideLeaf || !wideXml)
        return kErrorNotEnoughMemory;
    ComPtr<IRegisteredTask> registered;
    // TASK_LOGON_NONE: the logon the XML's own principal names.
    return TaskStatusOf(folder->RegisterTask(
        wideLeaf.get(), wideXml.get(), TASK_CREATE, Empty(), Empty(), TASK_LOGON_NONE, Empty(),
        reinterpret_cast<IRegisteredTask**>(registered.put())));
}

}  // namespace brenvik
