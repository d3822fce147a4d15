// Scheduled tasks that open an address at every logon: each hijack beside its legitimate
// twin, the repair that deletes the task, the restore that registers its definition again,
// and what a changed, refused or unreadable task gives.
#include <gtest/gtest.h>

#include "engine/backup/backup_manifest.h"
#include "engine/backup/backup_restore.h"
#include "engine/commands/command_line.h"
#include "engine/commands/commands.h"
#include "engine/rules/task_xml.h"
#include "engine/vectors/task_vector.h"
#include "tests/engine/browser_world.h"
#include "tests/support/logon_task.h"

namespace brenvik {
namespace {

using testing::BrowserWorld;

const std::string kChrome = testing::kChrome;
const std::string kEdge = testing::kEdge;

// A logon task with one Exec action, as the scheduler writes its definition.
std::string ExecTask(const std::string& command, const std::string& arguments) {
    return test::LogonTask(command, arguments, "UTF-16");
}

constexpr const char* kComHandlerTask =
    "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">"
    "<Actions Context=\"Author\"><ComHandler><ClassId>{11111111-2222-3333-4444-555555555555}"
    "</ClassId><Data><![CDATA[http://not.a.command/]]></Data></ComHandler></Actions></Task>";

struct TaskWorld : BrowserWorld {
    CommandHost commands{ports};

    TaskWorld() {
        // Hijacks: a launcher that opens an address, a browser given one, script through the
        // HTML host, and one whose object model gives no actions (Wine's) but whose XML does.
        platform.putTask("\\Shop", ExecTask("cmd", "/c start http://shop.example/"));
        platform.putTask("\\Promo\\Chrome Start", ExecTask(kChrome, "http://promo.example/"));
        platform.putTask("\\Hta Task", ExecTask("mshta.exe", "javascript:open('http://x/')"));
        platform.putTask("\\Wine Form", ExecTask("explorer.exe", "http://wine.example/"), {});
        // Twins: a browser's own updater and logon start, another program, a COM handler.
        platform.putTask("\\GoogleUpdateTaskMachineUA",
                         ExecTask("C:\\Program Files (x86)\\Google\\Update\\GoogleUpdate.exe",
                                  "/ua /installsource scheduler"));
        platform.putTask("\\Edge Launch",
                         ExecTask(kEdge, "--no-startup-window --win-session-start"));
        platform.putTask("\\Promo\\Sync", ExecTask("C:\\Sync\\sync.exe", "/background"));
        platform.putTask("\\ComHandler", kComHandlerTask);
    }

    // Every task's name and XML, in listing order.
    std::vector<std::string> tasks() {
        std::vector<std::string> names;
        std::vector<TaskFolderError> unlisted;
        EXPECT_EQ(platform.listTasks(&names, &unlisted), kErrorSuccess);
        std::vector<std::string> all;
        for (const std::string& name : names) all.push_back(name + "=" + *platform.taskXml(name));
        return all;
    }
};

std::vector<std::string> Rows(const CommandReport& report) {
    std::vector<std::string> rows;
    for (const ResultRecord& r : report.records)
        rows.push_back(r.location + "|" + r.rule + "|" + r.site + "|" + r.path + "|" +
                       OutcomeName(r.result) + "|" + r.action + "|" + r.error);
    return rows;
}

std::string Row(const std::string& site, const std::string& name, const char* result,
                const std::string& error = "") {
    return std::string("Scheduled Task|startup|") + site + "|" + name + "|" + result +
           "|delete task|" + error;
}

const std::string kShopRow = "cmd /c start http://shop.example/";
const std::string kHtaRow = "mshta.exe javascript:open('http://x/')";
const std::string kWineRow = "explorer.exe http://wine.example/";
const std::string kPromoRow = "\"" + kChrome + "\" http://promo.example/";

// Each task once, in the scheduler's order (a folder's tasks before its subfolders'), the
// site the command line of the offending action; no twin.
TEST(TaskVector, EachHijackingTaskOnceAndNoTwin) {
    TaskWorld world;
    EXPECT_EQ(Rows(ScanCommand(world.commands)),
              (std::vector<std::string>{
                  Row(kHtaRow, "\\Hta Task", "found"),
                  Row(kShopRow, "\\Shop", "found"),
                  Row(kWineRow, "\\Wine Form", "found"),
                  Row(kPromoRow, "\\Promo\\Chrome Start", "found"),
              }));
}

// The repair deletes the hijacking tasks alone; the restore registers each again from the
// definition its backup kept, byte for byte, and a second restore finds them back already.
TEST(TaskVector, FixDeletesTheTasksAndRestoreRegistersTheirDefinitionAgain) {
    TaskWorld world;
    const std::vector<std::string> before = world.tasks();
    const CommandReport fixed = FixCommand(world.commands);
    EXPECT_EQ(Rows(fixed), (std::vector<std::string>{
                               Row(kHtaRow, "\\Hta Task", "fixed"),
                               Row(kShopRow, "\\Shop", "fixed"),
                               Row(kWineRow, "\\Wine Form", "fixed"),
                               Row(kPromoRow, "\\Promo\\Chrome Start", "fixed"),
                           }));
    EXPECT_EQ(world.tasks(),
              (std::vector<std::string>{
                  "\\ComHandler=" + std::string(kComHandlerTask),
                  "\\Edge Launch=" + ExecTask(kEdge, "--no-startup-window --win-session-start"),
                  "\\GoogleUpdateTaskMachineUA=" +
                      ExecTask("C:\\Program Files (x86)\\Google\\Update\\GoogleUpdate.exe",
                               "/ua /installsource scheduler"),
                  "\\Promo\\Sync=" + ExecTask("C:\\Sync\\sync.exe", "/background"),
              }));
    EXPECT_TRUE(Rows(ScanCommand(world.commands)).empty());

    bool found = false;
    const CommandReport restored = RestoreCommand(world.commands, fixed.backup, &found);
    ASSERT_TRUE(found);
    ASSERT_EQ(restored.records.size(), 4u);
    for (const ResultRecord& record : restored.records) {
        EXPECT_EQ(record.result, Outcome::Restored) << record.path << " " << record.error;
        EXPECT_EQ(record.location, kTaskLabel);
        EXPECT_EQ(record.action, "restore");
    }
    std::vector<std::string> after = world.tasks();
    EXPECT_EQ(after, before);
    ScanCommand(world.commands);
    const CommandReport again = RestoreCommand(world.commands, fixed.backup, &found);
    for (const ResultRecord& record : again.records)
        EXPECT_EQ(record.action, "none: as before the repair") << record.path;
}

// What a repair meets instead of the task it judged: each is failed and says why, and the
// task is left as it is.
TEST(TaskVector, ATaskChangedOrRefusedIsLeftAndSaysWhy) {
    const std::string benign = ExecTask("C:\\Sync\\sync.exe", "");
    const struct {
        const char* why;
        std::function<void(TaskWorld&)> arrange;
        const char* error;
        std::string left;  // the task's XML afterwards
        // A restore puts back the kept task over the one there now, which registering
        // cannot do: it stays. One as kept is back already.
        const char* restored;
    } cases[] = {
        {"rewritten between the scan and the repair",
         [&benign](TaskWorld& world) {
             world.platform.setCallHook(
                 [&world, &benign](const std::string& op, const std::string& object) {
                     if (op == "deleteTask" && object == "\\Shop")
                         world.platform.putTask("\\Shop", benign);
                 });
         },
         "changed since the scan", benign, "failed: already exists"},
        {"refused by the scheduler",
         [](TaskWorld& world) {
             world.platform.injectFailure("deleteTask", "\\Shop", kErrorAccessDenied);
         },
         "access denied", ExecTask("cmd", "/c start http://shop.example/"), "restored: none"},
    };
    for (const auto& c : cases) {
        TaskWorld world;
        c.arrange(world);
        const CommandReport fixed = FixCommand(world.commands);
        ASSERT_EQ(fixed.records.size(), 4u) << c.why;
        EXPECT_EQ(Rows(fixed)[1], Row(kShopRow, "\\Shop", "failed", c.error)) << c.why;
        EXPECT_EQ(world.platform.taskXml("\\Shop"), c.left) << c.why;
        EXPECT_FALSE(world.platform.taskXml("\\Hta Task")) << c.why << ": the others go";
        bool found = false;
        for (const ResultRecord& record :
             RestoreCommand(world.commands, fixed.backup, &found).records) {
            if (record.path != "\\Shop")
                continue;
            const std::string restored =
                std::string(OutcomeName(record.result)) + ": " +
                (record.error.empty() ? record.action.substr(0, 4) : record.error);
            EXPECT_EQ(restored, c.restored) << c.why;
        }
        EXPECT_EQ(world.platform.taskXml("\\Shop"), c.left) << c.why;
    }
}

// A scheduler that writes a registered definition anew without its actions (as Wine's does):
// the task is back under its name, and the restore says it is not as kept.
TEST(TaskVector, ARestoreThatLosesTheActionsSaysSo) {
    TaskWorld world;
    const CommandReport fixed = FixCommand(world.commands);
    const std::string rewritten = "<Task><Actions><Exec/></Actions></Task>";
    world.platform.setCallHook(
        [&world, &rewritten](const std::string& op, const std::string& object) {
            if (op == "readTask" && object == "\\Shop" && world.platform.taskXml("\\Shop") &&
                *world.platform.taskXml("\\Shop") != rewritten)
                world.platform.putTask("\\Shop", rewritten);
        });
    bool found = false;
    const CommandReport restored = RestoreCommand(world.commands, fixed.backup, &found);
    int failed = 0;
    for (const ResultRecord& record : restored.records) {
        if (record.result != Outcome::Failed)
            continue;
        ++failed;
        EXPECT_EQ(record.path, "\\Shop");
        EXPECT_EQ(record.error, "registered without its actions");
    }
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(world.platform.taskXml("\\Shop"), rewritten);
    EXPECT_EQ(ExitCode(LineCommand::Restore, Summarize(restored.records)), 2);
}

// A task, a folder or the whole scheduler that cannot be read is a skipped row, never
// silence; what can be read is still reported.
TEST(TaskVector, WhatCannotBeReadIsSkipped) {
    const struct {
        const char* op;
        const char* object;
        std::vector<std::string> rows;
    } cases[] = {
        {"readTask",
         "\\Shop",
         {Row(kHtaRow, "\\Hta Task", "found"), Row(kWineRow, "\\Wine Form", "found"),
          Row(kPromoRow, "\\Promo\\Chrome Start", "found"),
          "Scheduled Task|||\\Shop|skipped||cannot be read: access denied"}},
        {"listTasks",
         "\\Promo",
         {Row(kHtaRow, "\\Hta Task", "found"), Row(kShopRow, "\\Shop", "found"),
          Row(kWineRow, "\\Wine Form", "found"),
          "Scheduled Task|||\\Promo|skipped||cannot be listed: access denied"}},
        {"listTasks", "\\", {"Scheduled Task|||\\|skipped||cannot be listed: access denied"}},
    };
    for (const auto& c : cases) {
        TaskWorld world;
        world.platform.injectFailure(c.op, c.object, kErrorAccessDenied);
        EXPECT_EQ(Rows(ScanCommand(world.commands)), c.rows) << c.op << " " << c.object;
    }
}

// A task that is back when the restore comes: as kept, it is left; rewritten, a conflict.
TEST(TaskVector, ARestoreLeavesATaskThatIsThereAgain) {
    const std::string kept = ExecTask("cmd", "/c start http://shop.example/");
    const struct {
        std::string now;
        Outcome result;
        const char* action;
    } cases[] = {
        {kept, Outcome::Restored, "none: as before the repair"},
        {ExecTask("cmd", "/c start http://other.example/"), Outcome::Conflict, "restore"},
    };
    for (const auto& c : cases) {
        TaskWorld world;
        const CommandReport fixed = FixCommand(world.commands);
        world.platform.putTask("\\Shop", c.now);
        bool found = false;
        const CommandReport restored = RestoreCommand(world.commands, fixed.backup, &found);
        bool seen = false;
        for (const ResultRecord& record : restored.records) {
            if (record.path != "\\Shop")
                continue;
            seen = true;
            EXPECT_EQ(record.result, c.result) << record.error;
            EXPECT_EQ(record.action, c.action);
        }
        EXPECT_TRUE(seen);
        EXPECT_EQ(world.platform.taskXml("\\Shop"), c.now);
    }
}

// A task is registered again only by a name under the declared task folders with plain parts:
// a record naming anything else is refused, whoever wrote it.
TEST(TaskPlaces, OnlyPlainNamesBelowADeclaredFolder) {
    WorkPlaces every;
    every.tasks = {"\\"};
    WorkPlaces one;
    one.tasks = {"\\Vendor"};
    const std::vector<const char*> belowVendor = {"\\Vendor\\Update", "\\vendor\\sub\\Update"};
    const std::vector<const char*> belowRoot = {"\\Shop", "\\VendorX\\Update", "\\Vendor"};
    for (const char* name : belowVendor) EXPECT_TRUE(IsTaskPlace(name, one)) << name;
    for (const char* name : belowRoot) EXPECT_FALSE(IsTaskPlace(name, one)) << name;
    for (const auto* names : {&belowVendor, &belowRoot}) {
        for (const char* name : *names) {
            EXPECT_TRUE(IsTaskPlace(name, every)) << name;
            EXPECT_FALSE(IsTaskPlace(name, WorkPlaces{})) << name;
        }
    }
    for (const char* name : {"\\", "", "Shop", "\\..\\Shop", "\\Vendor\\..\\Shop",
                             "\\Vendor\\\\Shop", "\\Vendor\\.", "\\a/b"}) {
        EXPECT_FALSE(IsTaskPlace(name, every)) << name;
        EXPECT_FALSE(IsTaskPlace(name, one)) << name;
    }
}

// A task's record keeps its whole definition apart and reads back as a task; a record of an
// older version (kinds "file" and "key") still reads.
TEST(TaskBackup, ATaskRecordRoundTripsBesideOlderKinds) {
    ObjectRecord record;
    record.object = ChangedObject{ChangedObject::Kind::Task, kNoKey, "\\Promo\\Chrome Start"};
    record.action = "delete task";
    record.fileBefore.present = true;
    record.beforeContent = KeptContent{"3.before", 120};
    ObjectRecord read;
    ASSERT_TRUE(ParseObjectRecord(FormatObjectRecord(record), &read));
    EXPECT_EQ(read.object.kind, ChangedObject::Kind::Task);
    EXPECT_EQ(read.object.path, "\\Promo\\Chrome Start");
    EXPECT_EQ(read.action, "delete task");
    EXPECT_EQ(read.beforeContent.name, "3.before");
    EXPECT_EQ(FormatObjectIdentity(record.object),
              "{\"kind\":\"task\",\"path\":\"\\\\Promo\\\\Chrome Start\"}");
    ResultRecordOfObject result;
    result.error = kErrorTaskChanged;
    ResultRecordOfObject back;
    ASSERT_TRUE(ParseObjectResult(FormatObjectResult(ChangedObject::Kind::Task, result),
                                  ChangedObject::Kind::Task, &back));
    EXPECT_EQ(back.error, kErrorTaskChanged);
    EXPECT_FALSE(back.fileAfter.present);

    ASSERT_TRUE(
        ParseObjectRecord("{\"kind\":\"file\",\"path\":\"C:\\\\a.lnk\",\"action\":\"delete file\","
                          "\"before\":{\"present\":false}}",
                          &read));
    EXPECT_EQ(read.object.kind, ChangedObject::Kind::File);
    EXPECT_FALSE(
        ParseObjectRecord("{\"kind\":\"job\",\"path\":\"\\\\x\",\"action\":\"delete task\","
                          "\"before\":{\"present\":false}}",
                          &read));
}

// The Exec actions of a definition as the scheduler reads its XML: entities and CDATA
// decoded, a namespace prefix allowed, comments and other actions passed over.
TEST(TaskXml, ExecActionsAsTheSchedulerReadsThem) {
    using Actions = std::vector<TaskExecAction>;
    const struct {
        const char* why;
        std::string xml;
        Actions actions;
    } cases[] = {
        {"entities",
         ExecTask("C:\\A & B\\a.exe", "\"http://e.example/?a=1&b=2\""),
         {{"C:\\A & B\\a.exe", "\"http://e.example/?a=1&b=2\"", ""}}},
        {"character references and a working folder",
         "<Task><Actions><Exec><Command>cmd</Command><Arguments>/c start "
         "http&#58;//c.example/&#x2F;</Arguments><WorkingDirectory>C:\\W</WorkingDirectory>"
         "</Exec></Actions></Task>",
         {{"cmd", "/c start http://c.example//", "C:\\W"}}},
        {"CDATA, a prefix and a comment",
         "<t:Task xmlns:t=\"x\"><!-- <Exec><Command>no</Command></Exec> --><t:Actions>"
         "<t:Exec><t:Command><![CDATA[mshta]]></t:Command><t:Arguments><![CDATA[a<b>]]>"
         "</t:Arguments></t:Exec></t:Actions></t:Task>",
         {{"mshta", "a<b>", ""}}},
        {"two actions, one empty",
         "<Task><Actions><Exec/><Exec><Command>b</Command></Exec>"
         "</Actions></Task>",
         {{"", "", ""}, {"b", "", ""}}},
        {"an Exec outside the actions",
         "<Task><Data><Exec><Command>x</Command></Exec></Data>"
         "</Task>",
         {}},
        {"a COM handler", kComHandlerTask, {}},
        {"an attribute holding a '>'",
         "<Task a=\"1>2\"><Actions><Exec><Command>c</Command></Exec></Actions></Task>",
         {{"c", "", ""}}},
        {"broken after the first action",
         "<Task><Actions><Exec><Command>a</Command></Exec><Exec><Command>&bogus;</Command>",
         {{"a", "", ""}, {"", "", ""}}},
        {"mismatched tags",
         "<Task><Actions><Exec><Command>a</Arguments></Exec></Actions></Task>",
         {{"a", "", ""}}},
        {"not XML", "cmd /c start http://x/", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ExecActionsInXml(c.xml), c.actions) << c.why;

    EXPECT_EQ(ExecCommandLine({"C:\\Program Files\\a.exe", "-x", ""}),
              "\"C:\\Program Files\\a.exe\" -x");
    EXPECT_EQ(ExecCommandLine({"\"C:\\P Q\\a.exe\"", "", ""}), "\"C:\\P Q\\a.exe\"");
    EXPECT_EQ(ExecCommandLine({"", "http://bare.example/", ""}), "http://bare.example/");
}

}  // namespace
}  // namespace brenvik
