#include <gtest/gtest.h>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <new>
#include <string>

#include "core/Error.h"
#include "tests/fixtures/ui_test_main.h"
#include "ui/qt/Application.h"

namespace velmora {
namespace {

TEST(ErrorHandler, ExceptionFromAnEventShowsOneBoxAndTheLoopGoesOn) {
    ASSERT_NE(qobject_cast<TApplication*>(QApplication::instance()), nullptr);
    test::BoxCloser closer;
    bool later = false;
    QTimer::singleShot(0, [] { throw Error("Unable to write to /nowhere/KXdefault.cfg"); });
    QTimer::singleShot(100, [&] { later = true; });
    (void)QTest::qWaitFor([&] { return later; }, 10000);
    EXPECT_TRUE(later) << "the event loop went on after the error";
    ASSERT_EQ(closer.texts.size(), 1);
    EXPECT_EQ(closer.texts[0], "Unable to write to /nowhere/KXdefault.cfg");
    EXPECT_EQ(closer.titles[0], "Velmora");
}

TEST(ErrorHandler, ErrorsWhileTheBoxIsOpenNeverStack) {
    // The first error's box stays open 300 ms; a second error and another timer come meanwhile.
    test::BoxCloser closer(300);
    bool timerUnderTheBox = false;
    QTimer::singleShot(0, [] { throw Error("Failed to create key Velmora"); });
    QTimer::singleShot(60, [] { throw Error("Failed to set data for 'Velmora'"); });
    QTimer::singleShot(120, [&] { timerUnderTheBox = TApplication::ErrorShowing(); });
    (void)QTest::qWaitFor([&] { return !closer.texts.isEmpty(); }, 10000);
    QTest::qWait(350);
    EXPECT_TRUE(timerUnderTheBox) << "timers go on firing while the box is open";
    EXPECT_EQ(closer.mostOpen, 1);
    EXPECT_EQ(closer.texts, QStringList{"Failed to create key Velmora"});
    EXPECT_FALSE(TApplication::ErrorShowing());
}

TEST(ErrorHandler, TheOpenBoxsMessageIsKnownUntilItCloses) {
    std::string whileOpen;
    QTimer::singleShot(50, [&whileOpen] {
        whileOpen = TApplication::ErrorMessage();
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible()) {
                box->done(QMessageBox::Ok);
            }
        }
    });
    EXPECT_EQ(TApplication::ErrorMessage(), "");
    TApplication::ShowError("Unable to write to /nowhere/KXdefault.cfg");
    EXPECT_EQ(whileOpen, "Unable to write to /nowhere/KXdefault.cfg");
    EXPECT_EQ(TApplication::ErrorMessage(), "");
}

TEST(ErrorHandler, GuardedClickHandlerErrorIsReported) {
    QPushButton button("Get time");
    QObject::connect(&button, &QPushButton::clicked,
                     TApplication::Guard([] { throw Error("Clicked wrong."); }));
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    test::BoxCloser closer;
    QTest::mouseClick(&button, Qt::LeftButton);
    (void)QTest::qWaitFor([&] { return !closer.texts.isEmpty(); }, 10000);
    ASSERT_EQ(closer.texts.size(), 1);
    EXPECT_EQ(closer.texts[0], "Clicked wrong.");
}

TEST(ErrorHandler, GuardedAndShowErrorReportTheSameWay) {
    test::BoxCloser closer;
    TApplication::Guarded([] { throw Error("From a slot."); });
    TApplication::Guarded([] { throw 42; });
    TApplication::ShowError("Reported directly.");
    ASSERT_EQ(closer.texts.size(), 3);
    EXPECT_EQ(closer.texts[0], "From a slot.");
    EXPECT_FALSE(closer.texts[1].isEmpty());
    EXPECT_EQ(closer.texts[2], "Reported directly.");
    EXPECT_FALSE(TApplication::ErrorShowing());
}

TEST(ErrorHandler, ABoxThatFailsToShowLeavesTheWayOpenForTheNext) {
    EXPECT_THROW(TApplication::ShowError("Unable to write to /nowhere/KXdefault.cfg",
                                         [](QMessageBox&) { throw std::bad_alloc(); }),
                 std::bad_alloc);
    EXPECT_FALSE(TApplication::ErrorShowing());
    test::BoxCloser closer;
    TApplication::ShowError("Failed to create key Velmora");
    EXPECT_EQ(closer.texts, QStringList{"Failed to create key Velmora"});
}

TEST(ErrorHandler, ClosingTheBoxWithNoWindowShownDoesNotEndTheProgram) {
    // As when the main window is hidden in the tray and a periodic synchronization fails; only
    // the application's own loop ends on its last window, so this runs in it.
    test::BoxCloser closer;
    QTimer::singleShot(0, [] { TApplication::ShowError("Failed to set data for 'Velmora'"); });
    QTimer::singleShot(400, [] { QApplication::exit(7); });
    EXPECT_EQ(QApplication::exec(), 7) << "the program ended with the box";
    EXPECT_EQ(closer.texts.size(), 1);
}

}  // namespace
}  // namespace velmora
