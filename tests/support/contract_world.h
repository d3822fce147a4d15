// A scratch world for the port contract tests, so that one set of test bodies runs on the
// in-memory model and on the real Win32 platform.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/ports/ports.h"

namespace brenvik::test {

class ContractWorld {
public:
    virtual ~ContractWorld() = default;

    virtual RegistryPort& registry() = 0;
    virtual FilePort& files() = 0;
    virtual ShortcutPort& shortcuts() = 0;
    virtual AccessPort& access() = 0;
    virtual FileSecurityPort& fileSecurity() = 0;
    virtual StorePort& store() = 0;
    virtual KnownFolderPort& knownFolders() = 0;
    // Every port of the world, as the commands take them.
    virtual Ports ports() = 0;

    // A fresh, empty key below root (kHKeyCurrentUser or kHKeyLocalMachine), deleted with
    // everything under it when the world ends. The path is relative to root.
    virtual std::string scratchKey(RegKey root) = 0;
    // A fresh, empty folder (absolute path without a closing backslash), removed at the end.
    virtual std::string scratchFolder() = 0;

    virtual void makeFolder(const std::string& path) = 0;
    virtual void makeFile(const std::string& path, std::uint32_t attributes) = 0;
    // A real shortcut to target carrying arguments.
    virtual void makeShortcut(const std::string& path, const std::string& target,
                              const std::string& arguments) = 0;
    // Sets the icon of the shortcut at path, without the ports.
    virtual void setShortcutIcon(const std::string& path, const std::string& iconPath) = 0;
    // A file holding exactly these bytes.
    virtual void makeTextFile(const std::string& path, const std::string& bytes) = 0;
    // The target path of the shortcut at path, read without the port.
    virtual std::string shortcutTarget(const std::string& path) = 0;
    // A program file that exists, to be a shortcut's target.
    virtual std::string existingProgram() = 0;
    // Stores root\path's REG_SZ value name holding the UTF-8 text, as a program writing
    // Unicode would (the port's own setValue takes text in the ANSI code page).
    virtual void putText(RegKey root, const std::string& path, const std::string& name,
                         const std::string& text) = 0;

    // A registry link at root\path (REG_OPTION_CREATE_LINK) leading to root\targetPath, below
    // a scratch key; the world removes the link itself at the end, never what it leads to.
    virtual void makeKeyLink(RegKey root, const std::string& path,
                             const std::string& targetPath) = 0;

    // Wine deviates from Windows in a few documented places; tests skip just those checks.
    virtual bool underWine() const = 0;
};

// The world of this build: the model natively, the real platform in the Windows build.
std::unique_ptr<ContractWorld> MakeContractWorld();

// The access port's name of a key: "CURRENT_USER\path" or "MACHINE\path".
std::string KeyObjectName(RegKey root, const std::string& path);

}  // namespace brenvik::test
