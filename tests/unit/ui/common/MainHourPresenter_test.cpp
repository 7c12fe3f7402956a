// The main window's rules over a fake front end and the controller over fakes: the command map,
// activation and its loss, the questions, and the save policy on each way out.

#include "ui/common/MainHourPresenter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fixtures/FakeMainWindow.h"
#include "tests/fixtures/FakeTrayIcon.h"
#include "ui/common/MainHourForm.h"

namespace velmora {
namespace {

class FakeMainWindowFrontEnd : public MainWindowFrontEnd {
  public:
    void ShowHelp() override { calls.push_back("help"); }
    void ShowHistory() override { calls.push_back("history"); }
    void EndProgram() override { calls.push_back("end"); }
    void CloseWindow() override { calls.push_back("close"); }
    void RestoreFromTray() override {
        calls.push_back("restore");
        visible = true;
    }
    void HideIntoTray() override { calls.push_back("hide"); }
    void SetWindowNormal() override { calls.push_back("normal"); }
    bool WindowVisible() const override { return visible; }
    bool ModalOpen() const override { return modal; }
    void SetStatusText(const std::string& text) override { status = text; }
    bool AskYesNo(const std::string& question) override {
        calls.push_back(visible ? "asked" : "asked over nothing");
        return question == "yes?";
    }
    ErrorHandlers Handlers() {
        return {[this](const std::function<void()>& action) { Report("box", action); },
                [this](const std::function<void()>& action) { Report("stderr", action); }};
    }

    std::vector<std::string> calls;
    std::vector<std::string> reports;
    std::string status;
    bool visible = true;
    bool modal = false;

  private:
    void Report(const char* where, const std::function<void()>& action) {
        try {
            action();
        } catch (const std::exception& e) {
            reports.push_back(std::string(where) + ": " + e.what());
        }
    }
};

class MainHourPresenterTest : public testing::Test {
  protected:
    FakeMainWindow w;
    FakeMainWindowFrontEnd form;
    MainHourPresenter presenter{form, w.Controller, form.Handlers()};
};

TEST_F(MainHourPresenterTest, EachButtonAndMenuItemHasItsCommand) {
    struct Case {
        int id;
        std::vector<std::string> calls;
        bool userEnded;
    };
    const Case cases[] = {
        {kSpeedButton3Id, {"help"}, false},       {kHistory1Id, {"history"}, false},
        {kRestoreprogram1Id, {"restore"}, false}, {kExitprogram1Id, {"close"}, false},
        {kSpeedButton1Id, {"end"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        MainHourPresenter fresh(form, w.Controller, form.Handlers());
        form.calls.clear();
        EXPECT_TRUE(fresh.Command(c.id));
        EXPECT_EQ(form.calls, c.calls);
        EXPECT_EQ(fresh.UserEnded(), c.userEnded) << "only the exit button ends it as the user's";
    }
    EXPECT_TRUE(presenter.Command(kSpeedButton2Id));
    EXPECT_EQ(w.OptionsLog.Shown, 1) << "Properties opens the options";
    EXPECT_FALSE(presenter.Command(kBevel1Id));
}

TEST_F(MainHourPresenterTest, LosingActivationHidesOnlyAWindowThatWasActiveWithoutAModalOne) {
    struct Case {
        bool active, modal, hidden;
    };
    for (const Case& c :
         {Case{true, false, true}, Case{true, true, false}, Case{false, false, false}}) {
        form.calls.clear();
        form.modal = c.modal;
        presenter.Shown();
        if (c.active) {
            presenter.BecameActive();
        }
        presenter.ApplicationEvents1Deactivate();
        EXPECT_EQ(form.calls,
                  c.hidden ? std::vector<std::string>{"hide"} : std::vector<std::string>{});
    }
    form.calls.clear();
    presenter.ApplicationEvents1Activate();
    EXPECT_EQ(form.calls, std::vector<std::string>{"normal"});
    EXPECT_TRUE(w.UpdateTimer.Enabled()) << "activation starts the display refresh";
}

TEST_F(MainHourPresenterTest, TheTrayIconAsTheWindowWantsIt) {
    FakeTrayIcon icon;
    presenter.SetUpTrayIcon(icon);
    EXPECT_EQ(icon.Hint(), "Velmora");
    EXPECT_TRUE(icon.MinimizeToTray);
    icon.Clicked(TrayGesture::Restore);
    EXPECT_EQ(form.calls, (std::vector<std::string>{"restore"}));
}

TEST_F(MainHourPresenterTest, AQuestionBringsTheWindowOutOfTheTrayFirst) {
    form.visible = false;
    EXPECT_TRUE(presenter.AskYesNo("yes?"));
    EXPECT_EQ(form.calls, (std::vector<std::string>{"restore", "asked"}));
    presenter.Pointed("TimeServerEdit");
    EXPECT_EQ(form.status, "Time information retreived from the atomic clock...");
    presenter.Pointed("Bevel1");
    EXPECT_EQ(form.status, "Time information retreived from the atomic clock...")
        << "a control without a text leaves the line";
}

TEST_F(MainHourPresenterTest, SettingsAreSavedOnceAndAFailureGoesWhereSomeoneReadsIt) {
    struct Case {
        bool userEnded;
        const char* where;
    };
    for (const Case& c : {Case{true, "box"}, Case{false, "stderr"}}) {
        FakeMainWindow fresh;
        fresh.Controller.FormCreate();
        fresh.Profile.FailWrites = true;
        form.reports.clear();
        MainHourPresenter p(form, fresh.Controller, form.Handlers());
        if (c.userEnded) {
            p.UserEnds();
        }
        int saved = 0;
        p.FormDestroy([&] { ++saved; });
        p.FormDestroy([&] { ++saved; });
        p.FormDestroyAtExit();
        EXPECT_EQ(saved, 2) << "the caller goes on either way";
        ASSERT_EQ(form.reports.size(), 1u) << "one save, one report";
        EXPECT_EQ(form.reports[0].rfind(c.where, 0), 0u) << form.reports[0];
    }
    FakeMainWindow last;
    last.Controller.FormCreate();
    MainHourPresenter p(form, last.Controller, form.Handlers());
    p.FormDestroyAtExit();
    last.Profile.FailWrites = true;
    form.reports.clear();
    p.FormDestroy();
    EXPECT_TRUE(form.reports.empty()) << "the save at exit counts as the one save";
}

}  // namespace
}  // namespace velmora
