#include "ui/qt/CoolTrayIcon.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QTest>
#include <memory>
#include <string>

#include "core/Error.h"
#include "tests/fixtures/ui_test_main.h"

namespace velmora {
namespace {

// The trays of the test: whether one is there, and of which kind.
struct Trays {
    bool there = true;
    TrayHost::Protocol kind = TrayHost::Protocol::XEmbed;
};

// Answers what the test's trays are whenever it is asked; a tray tells of a change only when the
// test says it does.
class FakeTrayHost : public TrayHost {
  public:
    explicit FakeTrayHost(const Trays& trays) : trays_(trays) {}

    using TrayHost::Tell;
    // The trays' own word of what they are now.
    void TellNow() {
        Tell(Protocol::StatusNotifierItem,
             trays_.there && trays_.kind == Protocol::StatusNotifierItem);
        Tell(Protocol::XEmbed, trays_.there && trays_.kind == Protocol::XEmbed);
    }
    void Look() override { TellNow(); }
    void LookAgain() override { TellNow(); }

  private:
    const Trays& trays_;
};

// The icon over the test's trays.
class TestTray : public TCoolTrayIcon {
  public:
    TestTray(QWidget* owner, const Trays& trays, Look look = Look::AtOnce)
        : TestTray(owner, std::make_unique<FakeTrayHost>(trays), look) {}
    TestTray(QWidget* owner, std::unique_ptr<FakeTrayHost> host, Look look = Look::AtOnce)
        : TCoolTrayIcon(owner, std::move(host), look) {}

    // What the platform icon would report to us.
    void Activate(QSystemTrayIcon::ActivationReason reason) {
        ASSERT_NE(Tray(), nullptr);
        emit const_cast<QSystemTrayIcon*>(Tray())->activated(reason);
    }
};

QIcon Solid(QColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QColor ColourOf(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage().pixelColor(8, 8);
}

class TrayTest : public testing::Test {
  protected:
    void SetUp() override {
        owner = std::make_unique<QWidget>();
        owner->resize(315, 151);
    }
    void TearDown() override {
        tray.reset();
        owner.reset();
    }

    void Make(bool trayThere, TrayHost::Protocol kind = TrayHost::Protocol::XEmbed) {
        trays.there = trayThere;
        trays.kind = kind;
        auto fake = std::make_unique<FakeTrayHost>(trays);
        host = fake.get();
        tray = std::make_unique<TestTray>(owner.get(), std::move(fake));
    }

    void ShowOwner() {
        owner->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(owner.get()));
    }

    Trays trays;
    FakeTrayHost* host = nullptr;
    std::unique_ptr<QWidget> owner;
    std::unique_ptr<TestTray> tray;
};

TEST_F(TrayTest, TheTipReachesThePlatformIcon) {
    Make(true);
    tray->SetHint(std::string(200, 'x'));
    EXPECT_EQ(tray->Tray()->toolTip(), QString(127, u'x'));
    tray->SetShowHint(false);
    EXPECT_EQ(tray->Tray()->toolTip(), "");
}

TEST_F(TrayTest, IconIndexFollowsTheImageList) {
    Make(true);
    auto list = std::make_unique<TImageList>();
    list->Add(Solid(Qt::red));
    list->Add(Solid(Qt::green));
    list->Add(Solid(Qt::blue));
    tray->SetIconList(list.get());
    EXPECT_EQ(ColourOf(tray->Icon()), QColor(Qt::red)) << "attaching a list selects image 0";
    tray->SetIconIndex(1);
    EXPECT_EQ(ColourOf(tray->Tray()->icon()), QColor(Qt::green));
    tray->SetIconIndex(2);
    list.reset();
    EXPECT_EQ(tray->IconList(), nullptr);
    EXPECT_EQ(tray->IconIndex(), 0);
    EXPECT_EQ(ColourOf(tray->Icon()), QColor(Qt::blue)) << "the last image copied stays";
}

TEST_F(TrayTest, ProgramPictureIsARoundFaceWithARedRim) {
    const QImage picture(kTrayImage);
    ASSERT_EQ(picture.size(), QSize(16, 16));
    EXPECT_EQ(picture.pixelColor(0, 0).alpha(), 0) << "corners are transparent";
    const QColor rim = picture.pixelColor(8, 1);
    EXPECT_GT(rim.red(), 150);
    EXPECT_LT(rim.green(), 80);
}

TEST_F(TrayTest, DoubleClickRaisesTheEvent) {
    Make(true);
    int clicks = 0;
    TrayIconRules* sender = nullptr;
    tray->OnDblClick = [&](TrayIconRules* s) {
        ++clicks;
        sender = s;
    };
    tray->Activate(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(sender, tray.get());
    tray->Activate(QSystemTrayIcon::Trigger);
    EXPECT_EQ(clicks, 1) << "single clicks do nothing";
}

TEST_F(TrayTest, DoubleClickHandlerErrorIsReportedAndTheIconGoesOn) {
    Make(true);
    int clicks = 0;
    tray->OnDblClick = [&](TrayIconRules*) {
        if (++clicks == 1) {
            throw Error("Unable to write to /nowhere/KXdefault.cfg");
        }
    };
    test::BoxCloser closer;
    tray->Activate(QSystemTrayIcon::DoubleClick);
    tray->Activate(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(closer.texts, QStringList{"Unable to write to /nowhere/KXdefault.cfg"});
}

TEST_F(TrayTest, DoubleClickRunsTheMenusDefaultItem) {
    Make(true);
    QMenu menu;
    int runs = 0;
    QAction* item = menu.addAction("Restore program", [&] { ++runs; });
    tray->PopupMenu = &menu;
    tray->Activate(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(runs, 0) << "no default item";
    menu.setDefaultAction(item);
    tray->Activate(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(runs, 1);
    TCoolTrayIcon::SetAutoPopup(&menu, false);
    tray->Activate(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(runs, 1);
}

TEST_F(TrayTest, RightButtonOpensTheMenuOnlyWhenItMay) {
    Make(true);
    auto menu = std::make_unique<QMenu>();
    menu->addAction("Exit program");
    int shown = 0;
    QObject::connect(menu.get(), &QMenu::aboutToShow, [&] { ++shown; });
    tray->Activate(QSystemTrayIcon::Context);  // no menu yet
    tray->PopupMenu = menu.get();
    tray->Activate(QSystemTrayIcon::Context);
    EXPECT_EQ(shown, 1);
    menu->hide();
    tray->Enabled = false;
    tray->Activate(QSystemTrayIcon::Context);
    tray->Enabled = true;
    TCoolTrayIcon::SetAutoPopup(menu.get(), false);
    tray->Activate(QSystemTrayIcon::Context);
    EXPECT_EQ(shown, 1);
    menu.reset();
    EXPECT_EQ(tray->PopupMenu, nullptr) << "a destroyed menu is let go";
    tray->Activate(QSystemTrayIcon::Context);
}

TEST_F(TrayTest, MinimizingGoesToTheTrayOnlyWhenThereIsOne) {
    for (bool trayThere : {true, false}) {
        SCOPED_TRACE(trayThere ? "tray" : "no tray");
        SetUp();
        Make(trayThere);
        tray->MinimizeToTray = true;
        ShowOwner();
        owner->showMinimized();
        EXPECT_TRUE(QTest::qWaitFor([&] { return owner->isVisible() != trayThere; }));
        EXPECT_TRUE(owner->isMinimized());
        EXPECT_EQ(tray->IconVisible(), trayThere);
        tray->RestoreMainWindow();
        EXPECT_TRUE(QTest::qWaitFor([&] { return owner->isVisible() && !owner->isMinimized(); }))
            << "back in the normal state";
        TearDown();
    }
}

TEST_F(TrayTest, WindowMinimizedBeforeItsFirstShowingGoesToTheTray) {
    Make(true);
    tray->MinimizeToTray = true;
    owner->setWindowState(Qt::WindowMinimized);
    QTest::qWait(20);
    owner->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !owner->isVisible(); }));
    EXPECT_TRUE(tray->IconVisible());
    tray->RestoreMainWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return owner->isVisible() && !owner->isMinimized(); }))
        << "restoring does not send it back";
}

TEST_F(TrayTest, StatusNotifierHostActivationRestoresAndTheHostGetsTheMenu) {
    Make(true, TrayHost::Protocol::StatusNotifierItem);
    QMenu menu;
    menu.addAction("Exit program");
    tray->PopupMenu = &menu;
    tray->Loaded();
    EXPECT_EQ(tray->Tray()->contextMenu(), &menu) << "the host draws the menu";
    int clicks = 0;
    tray->OnDblClick = [&](TrayIconRules*) { ++clicks; };
    tray->Activate(QSystemTrayIcon::Trigger);
    EXPECT_EQ(clicks, 1) << "a host's activation stands for the double click";

    // An XEmbed tray keeps the menu to us (it would open one of its own beside ours), and a
    // single click there does nothing.
    Make(true);
    tray->PopupMenu = &menu;
    tray->Loaded();
    EXPECT_EQ(tray->Tray()->contextMenu(), nullptr);
    tray->OnDblClick = [&](TrayIconRules*) { ++clicks; };
    tray->Activate(QSystemTrayIcon::Trigger);
    EXPECT_EQ(clicks, 1);
}

// The window comes back on the tray's own word that it went, and only then: a question to a
// busy watcher that would go unanswered (and read as no tray) is never asked meanwhile.
TEST_F(TrayTest, WindowHiddenInATrayThatGoesAwayComesBack) {
    using Protocol = TrayHost::Protocol;
    for (const Protocol kind : {Protocol::XEmbed, Protocol::StatusNotifierItem}) {
        SCOPED_TRACE(kind == Protocol::XEmbed ? "XEmbed" : "StatusNotifierItem");
        SetUp();
        Make(true, kind);
        ShowOwner();
        tray->HideMainWindow();
        ASSERT_FALSE(owner->isVisible());
        trays.there = false;
        QTest::qWait(2500);
        EXPECT_FALSE(owner->isVisible()) << "the tray has said nothing";
        host->TellNow();
        EXPECT_TRUE(QTest::qWaitFor([this] { return owner->isVisible(); }, 10000));
        EXPECT_FALSE(owner->isMinimized());
        TearDown();
    }
}

// A tray of the other kind coming or going is no news to an icon in this one, and a window its
// program has shown again is not the icon's to show.
TEST_F(TrayTest, OnlyTheIconsOwnTrayGoingBringsTheWindowBack) {
    using Protocol = TrayHost::Protocol;
    Make(true, Protocol::StatusNotifierItem);
    ShowOwner();
    tray->HideMainWindow();
    host->Tell(Protocol::XEmbed, true);
    host->Tell(Protocol::XEmbed, false);
    QTest::qWait(50);
    EXPECT_FALSE(owner->isVisible()) << "an XEmbed tray came and went";
    host->Tell(Protocol::StatusNotifierItem, false);
    EXPECT_TRUE(QTest::qWaitFor([this] { return owner->isVisible(); }, 10000));

    host->Tell(Protocol::StatusNotifierItem, true);
    tray->HideMainWindow();
    ASSERT_FALSE(owner->isVisible());
    owner->show();
    owner->hide();  // the program's own doing, on its way out say
    host->Tell(Protocol::StatusNotifierItem, false);
    QTest::qWait(50);
    EXPECT_FALSE(owner->isVisible());
}

TEST_F(TrayTest, ATrayThatComesLaterGetsTheIconAsIfItHadBeenThereFromTheStart) {
    using Protocol = TrayHost::Protocol;
    for (const Protocol kind : {Protocol::XEmbed, Protocol::StatusNotifierItem}) {
        const bool host = kind == Protocol::StatusNotifierItem;
        SCOPED_TRACE(host ? "StatusNotifierItem" : "XEmbed");
        SetUp();
        Make(false, kind);
        QMenu menu;
        menu.addAction("Restore program");
        tray->PopupMenu = &menu;
        tray->SetHint("Velmora");
        tray->SetIcon(Solid(Qt::red));
        tray->SetIconVisible(true);
        tray->MinimizeToTray = true;
        tray->OnDblClick = [this](TrayIconRules*) { tray->RestoreMainWindow(); };
        tray->Loaded();
        ShowOwner();
        EXPECT_EQ(tray->Tray(), nullptr) << "an icon made now would never reach a tray";
        tray->HideMainWindow();
        owner->showMinimized();
        QTest::qWait(50);
        EXPECT_TRUE(owner->isVisible()) << "hidden into no tray";
        owner->hide();
        QTest::qWait(1200);
        EXPECT_FALSE(owner->isVisible()) << "a window its program hides is not the icon's to show";
        owner->showMinimized();

        trays.there = true;
        ASSERT_TRUE(QTest::qWaitFor([this] { return tray->Tray() != nullptr; }, 10000));
        EXPECT_TRUE(tray->Tray()->isVisible());
        EXPECT_EQ(tray->Tray()->toolTip(), "Velmora");
        EXPECT_EQ(ColourOf(tray->Tray()->icon()), QColor(Qt::red));
        EXPECT_EQ(tray->Tray()->contextMenu(), host ? &menu : nullptr);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !owner->isVisible(); }, 10000))
            << "the minimized window goes to the tray it now has";
        tray->Activate(host ? QSystemTrayIcon::Trigger : QSystemTrayIcon::DoubleClick);
        EXPECT_TRUE(owner->isVisible());
        EXPECT_FALSE(owner->isMinimized());
        TearDown();
    }
}

// The window's first picture does not wait for the tray; a window that starts hidden in the tray
// asks for it at once.
TEST_F(TrayTest, TrayLookedForAfterTheFirstDrawOrWhenAskedFor) {
    trays.there = true;
    tray = std::make_unique<TestTray>(owner.get(), trays, TCoolTrayIcon::Look::AfterFirstDraw);
    EXPECT_EQ(tray->Tray(), nullptr);
    ShowOwner();
    QTRY_VERIFY_WITH_TIMEOUT(tray->Tray() != nullptr, 400);
    EXPECT_TRUE(tray->TrayAvailable());

    TearDown();
    SetUp();
    tray = std::make_unique<TestTray>(owner.get(), trays, TCoolTrayIcon::Look::AfterFirstDraw);
    tray->LookForTray();
    EXPECT_TRUE(tray->TrayAvailable()) << "before the owner has ever been shown";
}

TEST_F(TrayTest, OwnerGoneLeavesOperationsHarmless) {
    Make(true);
    tray->SetIconVisible(true);
    owner.reset();  // takes the tray icon with it, as its child
    tray.release();
}

}  // namespace
}  // namespace velmora
