#include "platform/windows/RegistryAutostartStore.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <tuple>

#include "core/Error.h"
#include "platform/windows/StartupApproved.h"
#include "sync/Autorun.h"

namespace velmora {
namespace {

// A registry in memory in which a root can refuse every change, as HKLM refuses a standard user.
class FakeRegistry : public Registry {
  public:
    using Key = std::tuple<RegistryRoot, std::string>;
    std::map<Key, std::map<std::string, std::vector<unsigned char>>> keys;
    std::map<RegistryRoot, bool> refuses;

    long CreateKey(RegistryRoot root, const std::string& path) override {
        if (refuses[root]) {
            return ERROR_ACCESS_DENIED;
        }
        keys[{root, path}];
        return 0;
    }
    long OpenKey(RegistryRoot root, const std::string& path) override {
        if (!keys.count({root, path})) {
            return ERROR_FILE_NOT_FOUND;
        }
        return refuses[root] ? ERROR_ACCESS_DENIED : 0;
    }
    long SetString(RegistryRoot root, const std::string& path, const std::string& name,
                   const std::string& value) override {
        return SetBinary(root, path, name, std::vector<unsigned char>(value.begin(), value.end()));
    }
    long SetBinary(RegistryRoot root, const std::string& path, const std::string& name,
                   const std::vector<unsigned char>& value) override {
        if (const long opened = OpenKey(root, path)) {
            return opened;
        }
        keys[{root, path}][name] = value;
        return 0;
    }
    long DeleteValue(RegistryRoot root, const std::string& path, const std::string& name) override {
        if (const long opened = OpenKey(root, path)) {
            return opened;
        }
        return keys[{root, path}].erase(name) ? 0 : ERROR_FILE_NOT_FOUND;
    }
    std::optional<std::vector<unsigned char>> ReadValue(RegistryRoot root, const std::string& path,
                                                        const std::string& name) const override {
        const auto key = keys.find({root, path});
        if (key == keys.end() || !key->second.count(name)) {
            return std::nullopt;
        }
        return key->second.at(name);
    }
    // The text of a value set with SetString, or "(none)".
    std::string Text(RegistryRoot root, const std::string& path, const std::string& name) const {
        const auto value = ReadValue(root, path, name);
        return value ? std::string(value->begin(), value->end()) : "(none)";
    }
};

constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;
constexpr RegistryRoot kUser = RegistryRoot::CurrentUser;
constexpr const char* kRun = RegistryAutostartStore::kRunKey;
constexpr const char* kApproved = RegistryAutostartStore::kApprovedKey;
const std::string kProgram = "C:\\Program Files\\Velmora\\velmora.exe";

// Registering as sync/Autorun does: make the store, open it, set the value.
bool Register(RegistryAutostartStore& store) {
    return store.CreateStore() && store.OpenStore() && store.SetValue("Velmora", kProgram);
}

TEST(RegistryAutostart, AnAdministratorRegistersForEveryoneInQuotes) {
    FakeRegistry registry;
    registry.keys[{kUser, kRun}]["Velmora"] = {'x'};  // from a time as a standard user
    RegistryAutostartStore store(registry);
    ASSERT_TRUE(Register(store));
    // The quotes keep C:\Program.exe from starting in its place.
    EXPECT_EQ(registry.Text(kMachine, kRun, "Velmora"),
              "\"C:\\Program Files\\Velmora\\velmora.exe\"");
    EXPECT_EQ(registry.Text(kUser, kRun, "Velmora"), "(none)");
    EXPECT_TRUE(store.IsRegistered("Velmora"));
    EXPECT_EQ(store.StorePath(), "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    RegistryAutostartStore(registry).DeleteValue("Velmora");
    EXPECT_FALSE(store.IsRegistered("Velmora"));
    EXPECT_FALSE(registry.ReadValue(kUser, kApproved, "Velmora"));
}

TEST(RegistryAutostart, AStandardUserRegistersForThemselves) {
    FakeRegistry registry;
    registry.refuses[kMachine] = true;
    registry.keys[{kMachine, kRun}]["Other"] = {'o'};
    RegistryAutostartStore store(registry);
    ASSERT_TRUE(Register(store));
    EXPECT_EQ(registry.Text(kUser, kRun, "Velmora"), "\"" + kProgram + "\"");
    EXPECT_TRUE(store.IsRegistered("Velmora"));
    RegistryAutostartStore unticked(registry);
    ASSERT_TRUE(unticked.OpenStore());
    unticked.DeleteValue("Velmora");
    EXPECT_FALSE(store.IsRegistered("Velmora"));
    EXPECT_FALSE(registry.ReadValue(kUser, kApproved, "Velmora"));
    EXPECT_EQ(registry.Text(kMachine, kRun, "Other"), "o");

    registry.refuses[kUser] = true;
    EXPECT_FALSE(RegistryAutostartStore(registry).CreateStore());
    registry.refuses[kUser] = false;
    RegistryAutostartStore refusedValue(registry);
    ASSERT_TRUE(refusedValue.CreateStore());
    registry.refuses[kUser] = true;
    EXPECT_FALSE(refusedValue.SetValue("Velmora", kProgram));
}

TEST(RegistryAutostart, AnAdministratorsEntryIsSwitchedOffForTheUserWhoUnticksIt) {
    FakeRegistry registry;
    registry.keys[{kMachine, kRun}]["Velmora"] = {'m'};
    registry.refuses[kMachine] = true;
    RegistryAutostartStore store(registry);
    EXPECT_TRUE(store.IsRegistered("Velmora"));
    ASSERT_TRUE(store.OpenStore());
    store.DeleteValue("Velmora");
    EXPECT_EQ(registry.Text(kMachine, kRun, "Velmora"), "m");
    const auto approved = registry.ReadValue(kUser, kApproved, "Velmora");
    ASSERT_TRUE(approved);
    ASSERT_EQ(approved->size(), 12u);
    EXPECT_EQ((*approved)[0], 0x03);
    EXPECT_FALSE(store.IsRegistered("Velmora"));

    // Ticked again: the administrator's entry, switched on again, and no second one.
    ASSERT_TRUE(Register(store));
    EXPECT_TRUE(store.IsRegistered("Velmora"));
    EXPECT_FALSE(registry.ReadValue(kUser, kApproved, "Velmora"));
    EXPECT_EQ(registry.Text(kUser, kRun, "Velmora"), "(none)");
}

TEST(RegistryAutostart, StartupApprovedValuesAsTaskManagerWritesThem) {
    EXPECT_EQ(StartupApprovedValue(true, 123),
              (std::vector<unsigned char>{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(
        StartupApprovedValue(false, 0x01D9C83B8D430DD4ULL),
        (std::vector<unsigned char>{3, 0, 0, 0, 0xD4, 0x0D, 0x43, 0x8D, 0x3B, 0xC8, 0xD9, 0x01}));
    const std::pair<std::optional<std::vector<unsigned char>>, bool> reads[] = {
        {std::nullopt, true},
        {std::vector<unsigned char>{}, true},
        {StartupApprovedValue(true, 0), true},
        {StartupApprovedValue(false, 1), false},
        {std::vector<unsigned char>{6, 0, 0, 0}, true},
        {std::vector<unsigned char>{7}, false},
    };
    for (const auto& [value, enabled] : reads) {
        EXPECT_EQ(StartupApprovedEnabled(value), enabled);
    }
    // An administrator switched the machine's entry off: not registered for anyone.
    FakeRegistry registry;
    registry.keys[{kMachine, kRun}]["Velmora"] = {'m'};
    registry.keys[{kMachine, kApproved}]["Velmora"] = StartupApprovedValue(false, 1);
    EXPECT_FALSE(RegistryAutostartStore(registry).IsRegistered("Velmora"));
}

// sync/Autorun over this store: what the user is told, in the design's words.
TEST(RegistryAutostart, FailuresAreToldAsTheOptionsCommandTellsThem) {
    const auto message = [](FakeRegistry& registry, bool wanted) {
        RegistryAutostartStore store(registry);
        try {
            UpdateAutorun(store, "Velmora", kProgram, wanted);
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    FakeRegistry refusing;
    refusing.refuses[kMachine] = true;
    refusing.refuses[kUser] = true;
    EXPECT_EQ(message(refusing, true),
              "Failed to create key Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    // Removal says nothing when nothing can be removed.
    EXPECT_EQ(message(refusing, false), "no error");

    FakeRegistry standard;
    standard.refuses[kMachine] = true;
    EXPECT_EQ(message(standard, true), "no error");
    EXPECT_EQ(standard.Text(kUser, kRun, "Velmora"), "\"" + kProgram + "\"");
    // Already registered: nothing is written again.
    standard.keys[{kUser, kRun}]["Velmora"] = {'k', 'e', 'p', 't'};
    EXPECT_EQ(message(standard, true), "no error");
    EXPECT_EQ(standard.Text(kUser, kRun, "Velmora"), "kept");
    EXPECT_EQ(message(standard, false), "no error");
    EXPECT_EQ(standard.Text(kUser, kRun, "Velmora"), "(none)");
}

// The real registry of Wine's prefix, under keys of this test's own; Wine lets everybody write
// HKLM, so the machine's key is the one picked.
TEST(RegistryAutostartUnderWine, TheRealCallsWriteReadAndRemoveTheQuotedCommand) {
    WindowsRegistry registry;
    const std::string base = "Software\\VelmoraTest\\" + std::to_string(GetCurrentProcessId());
    const std::string run = base + "\\Run";
    RegistryAutostartStore store(registry, run, base + "\\StartupApproved\\Run");
    const std::string program = "C:\\Users\\\xC5\x81ukasz\\Velmora\\velmora.exe";
    ASSERT_TRUE(store.CreateStore() && store.OpenStore());
    ASSERT_TRUE(store.SetValue("Velmora", program));
    const auto data = registry.ReadValue(kMachine, run, "Velmora");
    ASSERT_TRUE(data);
    EXPECT_EQ(RegistryText(*data), "\"" + program + "\"");
    // Stored as UTF-16 with its terminating NUL.
    EXPECT_EQ(data->size(), (program.size() - 1 + 2 + 1) * 2);
    EXPECT_TRUE(store.IsRegistered("Velmora"));
    store.DeleteValue("Velmora");
    EXPECT_FALSE(store.IsRegistered("Velmora"));
    EXPECT_FALSE(registry.ReadValue(kUser, base + "\\StartupApproved\\Run", "Velmora"));
    EXPECT_NE(registry.OpenKey(kMachine, base + "\\Missing"), 0);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\VelmoraTest");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VelmoraTest");
}

}  // namespace
}  // namespace velmora
