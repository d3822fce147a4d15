// The private state of ModelPlatform: key and file trees, open handles and injected faults.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/model/model_platform.h"
#include "platform/model/model_text.h"

namespace brenvik::model {

struct KeyNode {
    std::string name;
    std::vector<std::shared_ptr<KeyNode>> subkeys;
    // In creation order, which is the enumeration order; change them through setValue and
    // eraseValue only, which keep the index.
    std::vector<std::pair<std::string, ModelValue>> values;
    std::map<std::string, std::size_t> valueIndex;  // FoldName of a value's name -> its place
    AccessList access = DefaultAccessList();
    // Set when the key is deleted; handles still open on it then fail with ERROR_KEY_DELETED.
    bool deleted = false;
    // A registry link (REG_OPTION_CREATE_LINK) leads to linkPath under linkRoot.
    RegKey linkRoot = kNoKey;
    std::string linkPath;

    bool isLink() const { return linkRoot != kNoKey; }

    std::shared_ptr<KeyNode> subkey(const std::string& childName) const;
    // Windows keeps subkeys sorted by their upper-cased names, not in creation order.
    std::shared_ptr<KeyNode> addSubkey(const std::string& childName);
    // The value of that name in any case, as Windows finds it; null when there is none.
    ModelValue* value(const std::string& valueName);
    // An existing value keeps its place in the enumeration order; a new one goes last.
    void setValue(const std::string& valueName, ModelValue value);
    // False when there is no such value.
    bool eraseValue(const std::string& valueName);
};

struct OpenKeyRecord {
    std::shared_ptr<KeyNode> node;
    std::string objectName;  // "MACHINE\..." as the access port names the key
    std::uint32_t granted = 0;
};

struct Shortcut {
    std::string target;
    std::string arguments;
    std::string iconPath{};
    std::string workingFolder{};
};

struct FileNode {
    std::string name;
    bool folder = false;
    std::uint32_t attributes = 0;  // as set; reported through ReportedAttributes
    std::optional<Shortcut> shortcut;
    std::optional<std::string> text;  // the bytes of a plain file that has any
    AccessList access = DefaultAccessList();
    std::uint32_t links = 1;
    // A junction: a folder whose name leads to another folder (canonical path) wherever a path
    // is resolved through it; opened as itself only with FILE_OPEN_REPARSE_POINT.
    std::optional<std::string> junctionTarget;
    bool vanishAfterListing = false;
    std::vector<std::shared_ptr<FileNode>> children;                // in listing (creation) order
    std::map<std::string, std::shared_ptr<FileNode>> byFoldedName;  // the same, for look-ups

    std::shared_ptr<FileNode> child(const std::string& childName) const;
    void adopt(const std::shared_ptr<FileNode>& node);
    bool remove(const FileNode* node);
    void clearChildren();
};

// GetFileAttributesW's view: folders carry FILE_ATTRIBUTE_DIRECTORY, a file with no
// attributes at all reports FILE_ATTRIBUTE_NORMAL.
std::uint32_t ReportedAttributes(const FileNode& node);

struct ListedEntry {
    FindEntry entry;
    std::shared_ptr<FileNode> node;  // null for "." and ".."
};

struct Listing {
    std::string object;  // canonical pattern, for injected faults
    std::shared_ptr<FileNode> folder;
    std::vector<ListedEntry> entries;
    std::size_t next = 0;
};

struct Fault {
    std::string op;
    std::string object;
    Status code;
};

// An object open through the file security port: the node (whatever later happens to its
// name), the folder it was opened in, its path then and the rights the open granted.
struct OpenFile {
    std::shared_ptr<FileNode> node;
    std::string canonical;
    std::shared_ptr<FileNode> parent;  // null for a place folder
    std::uint32_t granted = 0;
    bool backup = false;  // opened with backup intent while the privileges were enabled

    // The fault name of the path call that does what a handle call does ("deleteFile" for
    // deleteOpenFile), with "ForBackup" for a handle opened with backup intent: a fault
    // injected for deleting a file refuses it whichever call shape deletes.
    std::string pathOp(const char* op) const { return backup ? std::string(op) + "ForBackup" : op; }
};

// A file path resolved against the tree: the folder that holds it and the node, if any.
struct FileLookup {
    Status status = kErrorSuccess;  // ERROR_PATH_NOT_FOUND when a parent is missing
    std::shared_ptr<FileNode> parent;
    std::shared_ptr<FileNode> node;
    std::string canonical;
};

// The access port's name of a key below an open key's name.
std::string ChildObject(const std::string& parent, const std::vector<std::string>& parts);

// A key path below an open key, as a registry call reaches it.
struct KeyPath {
    OpenKeyRecord from;
    std::vector<std::string> parts;
    std::string object;  // the access port's name of the key the path names
};

// A registered task: its XML as registered and the Exec actions its definition gives.
struct ModelTask {
    std::string name;
    std::string xml;
    std::vector<TaskExecAction> actions;
};

struct ModelPlatform::Impl {
    std::shared_ptr<KeyNode> machine = std::make_shared<KeyNode>();
    std::shared_ptr<KeyNode> currentUser = std::make_shared<KeyNode>();
    std::shared_ptr<KeyNode> classesRoot = std::make_shared<KeyNode>();
    // What GetTokenInformation(TokenUser) answers; currentUser is that account's hive.
    std::string tokenUser = kModelUserSid;
    // HKEY_USERS by FoldName of the SID: the hives of the accounts run as before (the token
    // user's own is currentUser).
    std::map<std::string, std::shared_ptr<KeyNode>> userHives;
    std::map<RegKey, OpenKeyRecord> keys;
    RegKey nextKey = 0x1000;

    std::shared_ptr<FileNode> drives = std::make_shared<FileNode>();  // children "C:", ...
    std::map<FindHandle, Listing> finds;
    FindHandle nextFind = 0x100;

    std::map<FileHandle, OpenFile> files;
    std::function<void(const std::string&, const std::string&)> callHook;
    mutable bool inHook = false;
    FileHandle nextFile = 0x100;

    bool holdsBackupPrivileges = true;
    bool backupPrivilegesEnabled = false;
    std::map<std::string, std::string> store;  // file path to bytes
    std::map<std::string, StoreFlaw> storeFileFlaws;
    std::set<std::string> storeFolders;
    std::map<std::string, StoreFlaw> foreignStoreFolders;
    int storeFoldersMovedAside = 0;

    std::map<KnownFolder, std::string> knownFolders;

    std::vector<ModelTask> tasks;  // in registration order
    // The task of that full name (letter case aside), or null.
    ModelTask* findTask(const std::string& name);
    // A call on the task of that name: the hook and the injected failure first, then
    // ERROR_FILE_NOT_FOUND when there is no such task.
    Status reachTask(const char* op, const std::string& name, ModelTask** found);

    std::vector<Fault> faults;
    std::vector<std::pair<std::string, AccessList>> accessWrites;
    std::vector<std::string> securityCalls;

    // Registry.
    std::shared_ptr<KeyNode> rootNode(RegKey root) const;
    // The key a handle stands for; ERROR_INVALID_HANDLE or ERROR_KEY_DELETED otherwise.
    Status resolveKey(RegKey key, OpenKeyRecord* record) const;
    // Follows every link on the way, and the last part's too unless followLast is false
    // (REG_OPTION_OPEN_LINK).
    std::shared_ptr<KeyNode> findKey(const std::shared_ptr<KeyNode>& from,
                                     const std::vector<std::string>& parts,
                                     bool followLast = true) const;
    // Where a link leads (null when nowhere); any other key as it is.
    std::shared_ptr<KeyNode> followLink(std::shared_ptr<KeyNode> node) const;
    std::shared_ptr<KeyNode> makeKey(RegKey root, const std::string& path);
    RegKey addHandle(std::shared_ptr<KeyNode> node, std::string objectName, std::uint32_t granted);
    void eraseKey(const std::shared_ptr<KeyNode>& holder, const std::shared_ptr<KeyNode>& target);
    // RegDeleteKey as op, asking the key's list for DELETE unless checkList is false.
    Status deleteKey(RegKey parent, const std::string& path, const char* op, bool checkList);
    // The open key as the registry call op reaches it through its handle: resolved, with right
    // granted (ERROR_ACCESS_DENIED otherwise), then op's injected fault.
    Status reachKey(RegKey key, std::uint32_t right, const char* op, OpenKeyRecord* record) const;
    // The last two steps of that, for a call that checks its arguments in between.
    Status admitKey(const OpenKeyRecord& record, std::uint32_t right, const char* op) const;
    // The path below parent as the registry call op reaches it: the parent's handle resolved,
    // then op's injected fault on the key's name.
    Status reachKeyPath(RegKey parent, const std::string& path, const char* op,
                        KeyPath* reached) const;
    // "MACHINE\Software\x" to the root's node and the parts below it.
    Status parseKeyObject(const std::string& objectName, std::shared_ptr<KeyNode>* node) const;

    // Files. Junctions on the way are followed; the last part's only when followLast is set
    // (CreateFileW without FILE_FLAG_OPEN_REPARSE_POINT does, GetFileAttributesW does not).
    FileLookup lookupFile(const std::string& path, bool followLast = true) const;
    // The open object a handle stands for, or null.
    OpenFile* openFile(FileHandle handle);
    // The same as the handle call op reaches it: op's hook and injected fault, then those of
    // the path call pathOp does what op does through a handle (see OpenFile::pathOp), if any.
    Status reachOpenFile(FileHandle handle, const char* op, const char* pathOp, OpenFile** open);
    // Runs the test's hook, if any, as a port call op on object begins.
    void enterCall(const char* op, const std::string& object) const;
    std::shared_ptr<FileNode> makeFolder(const std::string& path);
    std::shared_ptr<FileNode> makeFile(const std::string& path);

    // The access list an object name stands for, or why there is none.
    Status findAccessList(const std::string& objectName, SecurityObjectType type,
                          AccessList** list);
    // The same as the access call op reaches it: recorded in securityCalls, then op's fault.
    Status reachAccessList(const char* op, const std::string& objectName, SecurityObjectType type,
                           AccessList** list);

    // Shortcuts.
    // The shortcut file at path as the shortcut call op reaches it: its injected fault first;
    // a change is refused on a read-only file; the list is asked for reading (and writing),
    // unless the call is one with backup intent.
    Status reachLinkFile(const std::string& path, const char* op, bool change, bool backup,
                         FileNode** node) const;
    // The shortcut open as file for rewriting through its handle.
    // pathOp names the path call whose faults apply as well (see OpenFile::pathOp).
    Status reachOpenLink(FileHandle file, const char* op, const char* pathOp, FileNode** node);
    // What the shortcut at path holds; null when there is no shortcut there.
    const Shortcut* shortcutAt(const std::string& path) const;
    // One text field of it, for the tests; nothing when there is no shortcut there.
    std::optional<std::string> shortcutField(const std::string& path,
                                             std::string Shortcut::*field) const;
    // The fields properties' mask names, read from or set on the shortcut node holds.
    Status readProperties(const FileNode& node, ShortcutProperties* properties) const;
    Status writeProperties(FileNode& node, const ShortcutProperties& properties);
    // The file at path as the read call op reaches it: op's hook and injected fault, never a
    // folder, and kFileReadData through its list when checkList is set.
    Status reachReadable(const std::string& path, const char* op, bool checkList,
                         FileLookup* found) const;
    // Writes a whole file (ContentPort); backup skips the list's checks.
    Status writeBytes(const std::string& path, const std::string& bytes, bool replace, bool backup);
    // A file's bytes to read: kFileReadData through the list unless backup is set.
    Status readText(const std::string& path, bool backup, std::string* text) const;

    // Store.
    // Why the store call op cannot reach a store file or folder: its injected fault, or a
    // folder on its way that refuses the administrators.
    Status storeReach(const char* op, const std::string& path) const;
    void moveStoreFolderAside(const std::string& folder);

    // Faults.
    Status injected(const char* op, const std::string& object) const;
};

}  // namespace brenvik::model
