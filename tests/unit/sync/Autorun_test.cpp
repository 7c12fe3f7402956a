#include <gtest/gtest.h>

#include "core/Error.h"
#include "sync/Autorun.h"
#include "tests/fixtures/FakeAutostartStore.h"

namespace velmora {
namespace {

const char* const kCommand = "/opt/velmora/velmora";

std::string ErrorOf(AutostartStore& store, bool remove) {
    try {
        SetAutorun(store, "Velmora", kCommand, remove);
    } catch (const Error& error) {
        return error.what();
    }
    return "";
}

TEST(SetAutorun, RegisteringTwiceLeavesOneValueAndOverwritesOnlyItsOwn) {
    FakeAutostartStore store;
    store.Values["Other"] = "/usr/bin/other";
    store.Values["Velmora"] = "/old/place/velmora";

    SetAutorun(store, "Velmora", kCommand, false);
    SetAutorun(store, "Velmora", kCommand, false);

    EXPECT_EQ(store.SetCalls, 2);
    ASSERT_EQ(store.Values.size(), 2u);
    EXPECT_EQ(store.Values["Velmora"], kCommand);
    EXPECT_EQ(store.Values["Other"], "/usr/bin/other");
}

TEST(SetAutorun, RemovingDeletesOnlyItsValueAndAnAbsentOneIsNoError) {
    FakeAutostartStore store;
    store.Values["Other"] = "/usr/bin/other";
    store.Values["Velmora"] = kCommand;

    EXPECT_EQ(ErrorOf(store, true), "");
    EXPECT_EQ(ErrorOf(store, true), "");

    EXPECT_EQ(store.Values.count("Velmora"), 0u);
    EXPECT_EQ(store.Values.count("Other"), 1u);
}

TEST(SetAutorun, StoreThatCannotBeCreatedRaisesWithItsPathAndWritesNothing) {
    FakeAutostartStore store;
    store.Path = "/nowhere/autostart";
    store.FailCreate = true;

    EXPECT_EQ(ErrorOf(store, false), "Failed to create key /nowhere/autostart");
    EXPECT_EQ(store.SetCalls, 0);
    // Removal never raises, even when the store is not there at all.
    EXPECT_EQ(ErrorOf(store, true), "");
    EXPECT_EQ(store.DeleteCalls, 0);
}

TEST(SetAutorun, StoreThatCannotBeOpenedRaisesOnRegisteringOnly) {
    FakeAutostartStore store;
    store.FailOpen = true;

    EXPECT_EQ(ErrorOf(store, false), "Failed to create key /etc/xdg/autostart");
    EXPECT_EQ(ErrorOf(store, true), "");
    EXPECT_EQ(store.SetCalls, 0);
    EXPECT_EQ(store.DeleteCalls, 0);
}

TEST(SetAutorun, RefusedWriteRaisesWithTheValueName) {
    FakeAutostartStore store;
    store.FailSet = true;

    EXPECT_EQ(ErrorOf(store, false), "Failed to set data for 'Velmora'");
}

}  // namespace
}  // namespace velmora
