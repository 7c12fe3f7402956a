#include "ui/RunningCopy.h"

#include <gtest/gtest.h>
#include <QTest>
#include <memory>

namespace velmora {
namespace {

TEST(RunningCopyTest, ALaterCopyHandsOverToTheFirstUnderTheSameNameOnly) {
    const QString name = "velmora-test-" + QString::number(QCoreApplication::applicationPid());
    auto first = std::make_unique<RunningCopy>(name);
    EXPECT_FALSE(first->HandedOver());
    int shows = 0;
    QObject::connect(first.get(), &RunningCopy::ShowRequested, [&] { ++shows; });

    RunningCopy elsewhere(name + "-other");
    EXPECT_FALSE(elsewhere.HandedOver()) << "another display has a copy of its own";

    EXPECT_TRUE(RunningCopy(name).HandedOver());
    EXPECT_TRUE(QTest::qWaitFor([&] { return shows == 1; }, 3000));

    // Nothing is left behind once the first copy ends.
    first.reset();
    EXPECT_FALSE(RunningCopy(name).HandedOver());
}

}  // namespace
}  // namespace velmora
