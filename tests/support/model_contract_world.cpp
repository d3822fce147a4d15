// The contract world over ModelPlatform; it also checks that every key and listing was closed.
#include <gtest/gtest.h>

#include "platform/model/model_platform.h"
#include "tests/support/contract_world.h"

namespace brenvik::test {
namespace {

class ModelContractWorld final : public ContractWorld {
public:
    // The known folders where a fresh profile has them, each an existing folder.
    ModelContractWorld() {
        const std::pair<KnownFolder, const char*> folders[] = {
            {KnownFolder::Desktop, "C:\\Users\\u\\Desktop"},
            {KnownFolder::PublicDesktop, "C:\\Users\\Public\\Desktop"},
            {KnownFolder::QuickLaunch,
             "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch"},
            {KnownFolder::StartMenu,
             "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"},
            {KnownFolder::CommonStartMenu, "C:\\ProgramData\\Microsoft\\Windows\\Start Menu"},
            {KnownFolder::Startup,
             "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
            {KnownFolder::CommonStartup,
             "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
            {KnownFolder::RoamingAppData, "C:\\Users\\u\\AppData\\Roaming"},
            {KnownFolder::LocalAppData, "C:\\Users\\u\\AppData\\Local"},
            {KnownFolder::Temp, "C:\\Users\\u\\AppData\\Local\\Temp"},
        };
        for (const auto& folder : folders) {
            m_model.setKnownFolder(folder.first, folder.second);
            m_model.addFolder(folder.second);
        }
    }
    ~ModelContractWorld() override {
        EXPECT_EQ(0u, m_model.openKeyCount()) << "a key was left open";
        EXPECT_EQ(0u, m_model.openFindCount()) << "a listing was left open";
    }

    RegistryPort& registry() override { return m_model; }
    FilePort& files() override { return m_model; }
    ShortcutPort& shortcuts() override { return m_model; }
    AccessPort& access() override { return m_model; }
    FileSecurityPort& fileSecurity() override { return m_model; }
    StorePort& store() override { return m_model; }
    KnownFolderPort& knownFolders() override { return m_model; }
    Ports ports() override { return m_model.ports(); }

    std::string scratchKey(RegKey root) override {
        const std::string path = "Software\\BrenvikTest\\" + std::to_string(++m_serial);
        m_model.addKey(root, path);
        return path;
    }
    std::string scratchFolder() override {
        const std::string path = "C:\\scratch\\" + std::to_string(++m_serial);
        m_model.addFolder(path);
        return path;
    }
    void makeFolder(const std::string& path) override { m_model.addFolder(path); }
    void makeFile(const std::string& path, std::uint32_t attributes) override {
        m_model.addFile(path, attributes);
    }
    void makeShortcut(const std::string& path, const std::string& target,
                      const std::string& arguments) override {
        m_model.addShortcut(path, target, arguments);
    }
    void setShortcutIcon(const std::string& path, const std::string& iconPath) override {
        m_model.setShortcutIcon(path, iconPath);
    }
    void makeTextFile(const std::string& path, const std::string& bytes) override {
        m_model.addTextFile(path, bytes);
    }
    std::string shortcutTarget(const std::string& path) override {
        return m_model.shortcutTarget(path).value_or("");
    }
    std::string existingProgram() override {
        const std::string program = "C:\\Windows\\notepad.exe";
        m_model.addFile(program);
        return program;
    }
    void putText(RegKey root, const std::string& path, const std::string& name,
                 const std::string& text) override {
        m_model.putString(root, path, name, text);
    }
    void makeKeyLink(RegKey root, const std::string& path, const std::string& targetPath) override {
        m_model.addKeyLink(root, path, root, targetPath);
    }
    bool underWine() const override { return false; }

private:
    model::ModelPlatform m_model;
    int m_serial = 0;
};

}  // namespace

std::unique_ptr<ContractWorld> MakeContractWorld() {
    return std::make_unique<ModelContractWorld>();
}

}  // namespace brenvik::test
