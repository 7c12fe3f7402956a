// Which control of the main window shows what the controller tells, over a fake window.

#include "ui/common/MainWindowView.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/fixtures/FakeTrayIcon.h"
#include "ui/common/MainHourForm.h"

namespace velmora {
namespace {

class FakeMainWindowView : public MainWindowView {
  public:
    std::map<int, std::string> texts;
    std::vector<int> settings;
    std::string fieldTip;
    std::vector<bool> cursors;
    FakeTrayIcon tray;

  private:
    std::string ControlText(int id) const override {
        const auto found = texts.find(id);
        return found == texts.end() ? "" : found->second;
    }
    void SetControlText(int id, const std::string& text) override {
        texts[id] = text;
        settings.push_back(id);
    }
    void SetServerFieldTip(const std::string& text) override { fieldTip = text; }
    void ShowBusyCursor(bool on) override { cursors.push_back(on); }
    const TrayIconRules& Tray() const override { return tray; }
    void SetWindowMinimized() override {}
    void ShowHelp() override {}
    void ShowHistory() override {}
    void EndProgram() override {}
    void CloseWindow() override {}
    void SetWindowNormal() override {}
    bool ModalOpen() const override { return false; }
    bool AskYesNo(const std::string&) override { return false; }
};

TEST(MainWindowView, EachTextGoesToItsControlAndACaptionOnlyWhenItChanges) {
    FakeMainWindowView view;
    view.SetLocalTimeText("local");
    view.SetServerTimeText("server");
    view.SetStatusText("status");
    view.SetTimeCaptions("Current time", "Atomic clock time");
    view.SetTimeCaptions("Current time", "Atomic clock time (GMT)");
    EXPECT_EQ(view.texts, (std::map<int, std::string>{{kLocalPCEditId, "local"},
                                                      {kTimeServerEditId, "server"},
                                                      {kStatusBar1Id, "status"},
                                                      {kLabel1Id, "Current time"},
                                                      {kLabel2Id, "Atomic clock time (GMT)"}}));
    EXPECT_EQ(view.settings, (std::vector<int>{kLocalPCEditId, kTimeServerEditId, kStatusBar1Id,
                                               kLabel1Id, kLabel2Id, kLabel2Id}));
    EXPECT_EQ(view.ServerTimeText(), "server");
}

TEST(MainWindowView, TheStatusLinesAndNotificationsGoThroughTheTrayAndTheCursorChangesOnlyOnce) {
    FakeMainWindowView view;
    view.tray.SetHint("Velmora");
    view.SetTimeStatus({"first", "second"});
    EXPECT_EQ(view.fieldTip, "first\nsecond");
    EXPECT_EQ(view.tray.TipText(), "Velmora\nfirst\nsecond");

    for (const bool on : {true, true, false, false, true}) {
        view.SetBusyCursor(on);
        EXPECT_EQ(view.BusyCursor(), on);
    }
    EXPECT_EQ(view.cursors, (std::vector<bool>{true, false, true}));

    view.ShowNotification("Velmora cannot get the time", "text");
    EXPECT_EQ(view.tray.calls, std::vector<std::string>{"message Velmora cannot get the time"});
    view.tray.ownerVisible = false;
    EXPECT_FALSE(view.WindowVisible());
}

}  // namespace
}  // namespace velmora
