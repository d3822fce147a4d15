// What the task port must do, on the model and on Win32 (the Task Scheduler under Wine) alike.
#include <string>
#include <vector>

#include "engine/rules/task_xml.h"
#include "tests/contract/contract_test_base.h"

namespace brenvik::test {
namespace {

using TaskContract = ContractTest;

// A logon task that runs command with arguments.
std::string TaskXml(const std::string& command, const std::string& arguments) {
    return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
           "<Task version=\"1.2\" "
           "xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
           "  <RegistrationInfo>\n    <Description>contract</Description>\n"
           "  </RegistrationInfo>\n"
           "  <Triggers>\n    <LogonTrigger>\n      <Enabled>true</Enabled>\n"
           "    </LogonTrigger>\n  </Triggers>\n"
           "  <Settings>\n    <Enabled>true</Enabled>\n  </Settings>\n"
           "  <Actions Context=\"Author\">\n    <Exec>\n      <Command>" +
           command + "</Command>\n      <Arguments>" + arguments +
           "</Arguments>\n    </Exec>\n  </Actions>\n</Task>\n";
}

// A folder of its own per test, its tasks deleted at the end.
class ScratchTasks {
public:
    explicit ScratchTasks(TaskPort& tasks) : m_tasks(tasks) {
        static int next = 0;
        m_folder = "\\BrenvikContract" + std::to_string(++next);
    }
    ~ScratchTasks() {
        for (const std::string& name : m_names) remove(name);
    }
    // A name of its own, rid of what a run that died before its end left there.
    std::string name(const std::string& leaf) {
        m_names.push_back(m_folder + "\\" + leaf);
        remove(m_names.back());
        return m_names.back();
    }

private:
    void remove(const std::string& name) {
        TaskDefinition task;
        if (m_tasks.readTask(name, &task) == kErrorSuccess)
            m_tasks.deleteTask(name, task.xml);
    }

    TaskPort& m_tasks;
    std::string m_folder;
    std::vector<std::string> m_names;
};

bool Lists(TaskPort& tasks, const std::string& name) {
    std::vector<std::string> names;
    std::vector<TaskFolderError> unlisted;
    EXPECT_EQ(tasks.listTasks(&names, &unlisted), kErrorSuccess);
    for (const TaskFolderError& folder : unlisted)
        ADD_FAILURE() << "unlisted " << folder.folder << " " << folder.error;
    for (const std::string& each : names) {
        if (each == name)
            return true;
    }
    return false;
}

// The Exec actions a definition gives: the object model's, or where Wine's gives none, its XML's.
std::vector<TaskExecAction> ActionsOf(const TaskDefinition& task) {
    return task.execActions.empty() ? ExecActionsInXml(task.xml) : task.execActions;
}

// A task put in place with its definition as written: registered on the model; under Wine,
// whose registration drops the Exec action's Command and Arguments, as the file its scheduler
// keeps.
void SeedTask(ContractWorld& world, TaskPort& tasks, const std::string& name,
              const std::string& xml) {
    if (!world.underWine()) {
        ASSERT_EQ(tasks.registerTask(name, xml), kErrorSuccess);
        return;
    }
    const std::string file = "C:\\windows\\system32\\tasks" + name;
    world.makeFolder(file.substr(0, file.rfind('\\')));
    world.makeTextFile(file, xml);
}

// Put in place, a task is listed by its full name in its folder and reads back its
// definition with the action; registered again under the name, it is refused; deleted only
// with the definition it has, it is gone.
TEST_F(TaskContract, ATaskIsListedReadAndDeletedOnlyAsItIs) {
    TaskPort& tasks = world().ports().tasks;
    ScratchTasks scratch(tasks);
    const std::string name = scratch.name("Start Page");
    const std::string xml =
        TaskXml("C:\\Windows\\explorer.exe", "http://start.example/?a=1&amp;b=2");
    SeedTask(world(), tasks, name, xml);
    EXPECT_TRUE(Lists(tasks, name));

    TaskDefinition task;
    task.xml = "sentinel";
    ASSERT_EQ(tasks.readTask(name, &task), kErrorSuccess);
    EXPECT_EQ(task.xml, xml);
    const std::vector<TaskExecAction> expected = {
        {"C:\\Windows\\explorer.exe", "http://start.example/?a=1&b=2", ""}};
    EXPECT_EQ(ActionsOf(task), expected) << task.xml;

    EXPECT_EQ(tasks.registerTask(name, xml), kErrorAlreadyExists);
    EXPECT_EQ(tasks.deleteTask(name, task.xml + " "), kErrorTaskChanged);
    EXPECT_TRUE(Lists(tasks, name)) << "a task whose definition is not the one judged stays";
    EXPECT_EQ(tasks.deleteTask(name, task.xml), kErrorSuccess);
    EXPECT_FALSE(Lists(tasks, name));
    const Status read = tasks.readTask(name, &task);
    EXPECT_TRUE(read == kErrorFileNotFound || read == kErrorPathNotFound) << read;
    EXPECT_EQ(tasks.deleteTask(name, task.xml), read);
}

// Registered through the scheduler, a task is listed and reads back; under Wine without its
// Exec action's Command and Arguments (an empty Exec), which its registration drops.
TEST_F(TaskContract, ARegisteredTaskIsListedWithItsAction) {
    TaskPort& tasks = world().ports().tasks;
    ScratchTasks scratch(tasks);
    const std::string name = scratch.name("Updater");
    ASSERT_EQ(tasks.registerTask(name, TaskXml("C:\\Updater\\update.exe", "/silent")),
              kErrorSuccess);
    EXPECT_TRUE(Lists(tasks, name));
    TaskDefinition task;
    ASSERT_EQ(tasks.readTask(name, &task), kErrorSuccess);
    const std::vector<TaskExecAction> expected = {{"C:\\Updater\\update.exe", "/silent", ""}};
    const std::vector<TaskExecAction> wine = {{"", "", ""}};
    EXPECT_EQ(ActionsOf(task), world().underWine() ? wine : expected) << task.xml;
}

// The XML a task reads back, registered again after its deletion, reads back the same (on
// Windows and the model; Wine keeps what its parser understood).
TEST_F(TaskContract, XmlReadBackRegistersTheSameTaskAgain) {
    TaskPort& tasks = world().ports().tasks;
    ScratchTasks scratch(tasks);
    const std::string name = scratch.name("Updater");
    SeedTask(world(), tasks, name, TaskXml("C:\\Updater\\update.exe", "/silent &amp; /q"));
    TaskDefinition first;
    ASSERT_EQ(tasks.readTask(name, &first), kErrorSuccess);
    ASSERT_EQ(tasks.deleteTask(name, first.xml), kErrorSuccess);
    ASSERT_EQ(tasks.registerTask(name, first.xml), kErrorSuccess);
    TaskDefinition again;
    ASSERT_EQ(tasks.readTask(name, &again), kErrorSuccess);
    if (world().underWine()) {
        // Wine writes the definition again from what it parsed: an empty Exec.
        EXPECT_NE(again.xml.find("<Exec/>"), std::string::npos) << again.xml;
        return;
    }
    EXPECT_EQ(again.xml, first.xml);
    const std::vector<TaskExecAction> expected = {{"C:\\Updater\\update.exe", "/silent & /q", ""}};
    EXPECT_EQ(ActionsOf(again), expected) << again.xml;
}

TEST_F(TaskContract, ATaskThatIsNotThereIsNotFound) {
    TaskPort& tasks = world().ports().tasks;
    TaskDefinition task;
    const Status s = tasks.readTask("\\BrenvikContractNone\\Nothing", &task);
    EXPECT_TRUE(s == kErrorFileNotFound || s == kErrorPathNotFound) << s;
    EXPECT_TRUE(task.xml.empty());
}

}  // namespace
}  // namespace brenvik::test
