// The main window over fake platform services: its form, status texts, tray menu, the busy
// cursor around a query, restoring from the tray, and saving the settings exactly once.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <memory>
#include <string>
#include <thread>

#include "net/SNTPsend.h"
#include "tests/fixtures/FakePlatform.h"
#include "tests/fixtures/ui_test_main.h"
#include "ui/common/FormTexts.h"
#include "ui/common/MainHourForm.h"
#include "ui/qt/HistoryWindow.h"
#include "ui/qt/MainHour.h"

namespace velmora {
namespace {

class MainHourTest : public ::testing::Test, protected FakePlatform {
  protected:
    std::unique_ptr<TTimeForm> MakeForm() { return std::make_unique<TTimeForm>(Services()); }

    // The form's part named `name`; a missing one fails the test (and gives a null pointer).
    template <class Part>
    static Part* Find(const TTimeForm& form, const char* name) {
        auto* part = form.findChild<Part*>(name);
        EXPECT_NE(part, nullptr) << name;
        return part;
    }
    static QLabel* Label(const TTimeForm& form, const char* name) {
        return Find<QLabel>(form, name);
    }
    static QToolButton* Button(const TTimeForm& form, const char* name) {
        return Find<QToolButton>(form, name);
    }
    static QStatusBar* StatusBar(const TTimeForm& form) {
        return Find<QStatusBar>(form, "StatusBar1");
    }

    static void MoveMouseOver(QWidget* control) {
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), control->mapToGlobal(QPointF(3, 3)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(control, &move);
    }
};

TEST_F(MainHourTest, FormAsDesigned) {
    auto form = MakeForm();
    EXPECT_EQ(form->windowTitle(), "Velmora");
    EXPECT_EQ(form->size(), QSize(315, 151));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    // Start-up emptied the server field and the status line; no control has a tooltip.
    EXPECT_EQ(form->ServerTimeText(), "");
    EXPECT_EQ(StatusBar(*form)->currentMessage(), "");
    for (QWidget* child : form->findChildren<QWidget*>()) {
        EXPECT_TRUE(child->toolTip().isEmpty()) << child->objectName().toStdString();
    }
    for (QToolButton* button : form->findChildren<QToolButton*>()) {
        EXPECT_TRUE(button->isEnabled());
        EXPECT_TRUE(button->text().isEmpty() ||
                    button->toolButtonStyle() == Qt::ToolButtonIconOnly);
        EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
    }
    EXPECT_EQ(Label(*form, "Label1")->text(), "Current time");
    EXPECT_EQ(Label(*form, "Label2")->text(), "Atomic clock time");
    EXPECT_EQ(Label(*form, "TimeServerEdit")->palette().color(QPalette::Window), QColor(0, 128, 0));
    EXPECT_TRUE(Label(*form, "TimeServerEdit")->alignment() & Qt::AlignHCenter);
}

TEST_F(MainHourTest, StatusTextFollowsTheMouseAndStaysAfterIt) {
    auto form = MakeForm();
    int withText = 0;
    for (const ControlDescription& control : MainHourFormDescription().controls) {
        const QString text = QString::fromStdString(StatusTextOf(control.name));
        if (text.isEmpty()) {
            continue;
        }
        ++withText;
        MoveMouseOver(Find<QWidget>(*form, control.name));
        EXPECT_EQ(StatusBar(*form)->currentMessage(), text);
        // A screen reader names each control in the same words.
        EXPECT_EQ(Find<QWidget>(*form, control.name)->accessibleName(), text);
    }
    EXPECT_EQ(withText, 7) << "the five buttons and the two clock fields";
    // Controls without a text leave the last one standing.
    MoveMouseOver(Label(*form, "Label1"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Label(*form, "TimeServerEdit"), &leave);
    EXPECT_EQ(StatusBar(*form)->currentMessage(),
              "Time information retreived from the atomic clock...");
}

TEST_F(MainHourTest, TrayMenuAndIcon) {
    auto form = MakeForm();
    const QMenu* menu = Find<QMenu>(*form, "PopupMenu1");
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0]->text(), "Synchronize computer clock");
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), "Restore program");
    EXPECT_EQ(items[3]->text(), "Exit program");
    // One item added after the designed ones.
    EXPECT_EQ(items[4]->text(), "History...");
    const auto* icon = Find<TCoolTrayIcon>(*form, "TrayIcon1");
    EXPECT_EQ(icon->Hint(), "Velmora");
    EXPECT_TRUE(icon->IconVisible());
    EXPECT_TRUE(icon->MinimizeToTray);
    EXPECT_EQ(icon->PopupMenu, menu);
    EXPECT_EQ(icon->IconList(), Find<TImageList>(*form, "ImageList1"));
    EXPECT_EQ(icon->IconList()->Count(), 1);
}

// The History window is made only when asked for, and asked again it is the same one.
TEST_F(MainHourTest, HistoryOpensOneWindowOfItsOwn) {
    const auto historyWindows = [] {
        QList<THistoryWindow*> windows;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* history = qobject_cast<THistoryWindow*>(window)) {
                windows.append(history);
            }
        }
        return windows;
    };
    auto form = MakeForm();
    EXPECT_TRUE(historyWindows().empty());
    QAction* item = Find<QAction>(*form, "History1");
    item->trigger();
    item->trigger();
    ASSERT_EQ(historyWindows().size(), 1);
    THistoryWindow* window = historyWindows().front();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    window->close();
    item->trigger();
    EXPECT_EQ(historyWindows(), QList<THistoryWindow*>{window});
    EXPECT_TRUE(window->isVisible());
    form.reset();
    EXPECT_TRUE(historyWindows().empty());
}

TEST_F(MainHourTest, BusyCursorOnlyWhileTheQueryRuns) {
    auto form = MakeForm();
    Button(*form, "CheckTimeServerButton")->click();
    // The click came back at once; the query runs on the worker under the hourglass.
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QTRY_COMPARE_WITH_TIMEOUT(form->ServerTimeText(), std::string(kFailedToContact), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::overrideCursor(), nullptr, 5000);
    EXPECT_EQ(clientsMade, 1);
    // Unbalanced calls never stack cursors.
    form->SetBusyCursor(true);
    form->SetBusyCursor(true);
    form->SetBusyCursor(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    form->SetBusyCursor(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Tab goes along the picture buttons in their row; Space and Enter press the one in focus.
TEST_F(MainHourTest, TheButtonsAnswerTheKeyboard) {
    auto form = MakeForm();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Button(*form, "CheckTimeServerButton")->setFocus();
    for (const char* next : {"AdjustClockButton", "SpeedButton2", "SpeedButton3", "SpeedButton1"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), Button(*form, next)) << next;
    }
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
        Button(*form, "CheckTimeServerButton")->setFocus();
        QTest::keyClick(Button(*form, "CheckTimeServerButton"), key);
        QTRY_COMPARE_WITH_TIMEOUT(form->ServerTimeText(), std::string(kFailedToContact), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::overrideCursor(), nullptr, 5000);
        form->SetServerTimeText("");
    }
    EXPECT_EQ(clientsMade, 2);
}

// What the time shown is worth: the server field's tooltip and the tray tip after the name.
TEST_F(MainHourTest, TheStatusGoesToTheTooltipAndTheTrayTip) {
    auto form = MakeForm();
    Button(*form, "CheckTimeServerButton")->click();
    const QString expected =
        "The server gave no time:\n127.0.0.1: no answer within 5 s: UDP port "
        "123 may be blocked\nClock not set since the program started";
    QTRY_COMPARE_WITH_TIMEOUT(Label(*form, "TimeServerEdit")->toolTip(), expected, 5000);
    EXPECT_EQ(Find<TCoolTrayIcon>(*form, "TrayIcon1")->TipText(),
              "Velmora\n" + expected.toStdString());
}

TEST_F(MainHourTest, RestoreProgramBringsTheWindowBackHoweverItWent) {
    auto form = MakeForm();
    QAction* restore = Find<QAction>(*form, "Restoreprogram1");
    // Hidden into the tray when another program took the focus, the commonest way.
    form->show();
    form->hide();
    restore->trigger();
    EXPECT_TRUE(form->isVisible());

    form->SetWindowMinimized();
    // Activation sets the window state back to normal and starts the display refresh.
    form->Rules().ApplicationEvents1Activate();
    EXPECT_FALSE(form->isMinimized());
    EXPECT_TRUE(Find<QtTimer>(*form, "UpdateTimer")->Running());
    form->hide();
    form->SetWindowMinimized();
    restore->trigger();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isMinimized());
}

TEST_F(MainHourTest, MinimizedAtStartStaysHiddenOnlyWithATray) {
    profile.Set("Data", "GlobalMinimize", "1");
    auto form = MakeForm();
    EXPECT_TRUE(form->isMinimized());
    form->ShowAtStart();
    // The offscreen platform has no tray: the window shows minimized rather than vanish.
    EXPECT_EQ(form->isVisible(), !Find<TCoolTrayIcon>(*form, "TrayIcon1")->TrayAvailable());
}

TEST_F(MainHourTest, FailedSaveIsShownWhenTheUserEndedTheProgramAndDoesNotThrow) {
    profile.FailWrites = true;
    auto form = MakeForm();
    test::BoxCloser closer;
    Button(*form, "SpeedButton1")->click();
    EXPECT_NO_THROW(form->Rules().FormDestroy());
    ASSERT_EQ(closer.texts.size(), 1);
    EXPECT_THAT(closer.texts[0].toStdString(), ::testing::StartsWith("Unable to write to "));
    EXPECT_THAT(closer.texts[0].toStdString(), ::testing::HasSubstr("KXdefault.cfg"));
}

TEST_F(MainHourTest, FailedSaveAtAnUnattendedEndGoesToStandardErrorWithoutABox) {
    profile.FailWrites = true;
    for (const bool atExit : {false, true}) {
        auto form = MakeForm();
        test::BoxCloser closer;
        ::testing::internal::CaptureStderr();
        form->Rules().CommitData();
        if (atExit) {
            form->Rules().FormDestroyAtExit();
        } else {
            form->Rules().FormDestroy();  // after a signal or the session's end
        }
        const std::string errors = ::testing::internal::GetCapturedStderr();
        QTest::qWait(60);
        EXPECT_TRUE(closer.texts.isEmpty()) << atExit;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
        EXPECT_THAT(errors, ::testing::HasSubstr("Unable to write to ")) << atExit;
    }
}

TEST_F(MainHourTest, TheSaveFromAnotherThreadWritesWhatOkConfirmedAndOnlyOnce) {
    auto form = MakeForm();
    form->show();
    test::WhenModal([](QWidget* dialog) {
        auto* gmt = dialog->findChild<QRadioButton*>("RadioButton1");
        auto* ok = dialog->findChild<QPushButton*>("OKButton");
        ASSERT_TRUE(gmt && ok);
        gmt->click();
        ok->click();
    });
    QTest::mouseClick(Button(*form, "SpeedButton2"), Qt::LeftButton);
    ASSERT_EQ(profile.Get("Data", "DisplayLocalTime"), "0") << "OK did not write the file";
    profile.Set("Data", "DisplayLocalTime", "1");

    std::thread toolkit([&form] { form->Rules().FormDestroyAtExit(); });
    toolkit.join();
    EXPECT_EQ(profile.Get("Data", "DisplayLocalTime"), "0");
    const auto writes = profile.Writes.size();
    form->Rules().FormDestroyAtExit();
    form->Rules().FormDestroy();
    EXPECT_EQ(profile.Writes.size(), writes) << "saved a second time";
}

TEST_F(MainHourTest, AStoredIntervalOfFourDigitsSurvivesTheOptionsUnchanged) {
    profile.Set("Data", "UpdateClock", "1");
    profile.Set("Data", "UpdateClockHour", "0");
    profile.Set("Data", "UpdateClockInterval", "86400000");  // 1440 minutes
    auto form = MakeForm();
    form->show();
    QString shown;
    test::WhenModal([&shown](QWidget* dialog) {
        auto* interval = dialog->findChild<QLineEdit*>("Edit1");
        auto* ok = dialog->findChild<QPushButton*>("OKButton");
        ASSERT_TRUE(interval && ok);
        shown = interval->text();
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    QTest::mouseClick(Button(*form, "SpeedButton2"), Qt::LeftButton);
    EXPECT_EQ(shown, "1440");
    form->Rules().FormDestroy();
    EXPECT_EQ(profile.Get("Data", "UpdateClockInterval"), "86400000");
}

TEST_F(MainHourTest, AnUnwritableAutostartStoreIsShownAndTheWindowGoesOn) {
    autostart.FailCreate = true;
    auto form = MakeForm();
    form->show();
    test::BoxCloser closer;
    test::WhenModal([](QWidget* dialog) {
        auto* autorun = dialog->findChild<QCheckBox*>("AutorunBox");
        auto* ok = dialog->findChild<QPushButton*>("OKButton");
        ASSERT_TRUE(autorun && ok);
        QTest::mouseClick(autorun, Qt::LeftButton);
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    QTest::mouseClick(Button(*form, "SpeedButton2"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(closer.texts.size(), 1, 5000);
    EXPECT_EQ(closer.texts[0].toStdString(), "Failed to create key /etc/xdg/autostart");
    // The other options of that OK are applied, and the window still answers.
    EXPECT_FALSE(Button(*form, "SpeedButton2")->isDown());
    QTest::mouseClick(Button(*form, "CheckTimeServerButton"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(form->ServerTimeText(), std::string(kFailedToContact), 5000);
    EXPECT_EQ(clientsMade, 1);
    form->Rules().FormDestroy();
    EXPECT_EQ(profile.Get("Data", "GlobalAutorun"), "1");
}

}  // namespace
}  // namespace velmora
