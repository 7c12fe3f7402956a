#include "sync/DateTimeText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace velmora {
namespace {

// The Linux formats come from the C library's locale (LC_TIME).

// Sets a locale for one test and puts the old one back.
class LocaleScope {
  public:
    explicit LocaleScope(const char* name) : old_(std::setlocale(LC_ALL, nullptr)) {
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleScope() { std::setlocale(LC_ALL, old_.c_str()); }
    bool ok() const { return ok_; }

  private:
    std::string old_;
    bool ok_ = false;
};

TDateTime At(int y, int mo, int d, int h, int mi, int s, int ms) {
    return EncodeDateTime({y, mo, d, h, mi, s, ms});
}

TEST(DateTimeText, ShortDateAndLongTimeInTheCLocale) {
    const LocaleScope c("C");
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(DateTimeText(At(2026, 3, 5, 14, 7, 9, 600)), "03/05/26 14:07:09");
    EXPECT_EQ(DateTimeText(At(2031, 12, 31, 23, 59, 59, 0)), "12/31/31 23:59:59");
    EXPECT_EQ(DateTimeText(At(2026, 3, 5, 0, 0, 1, 0)), "03/05/26 00:00:01");
}

TEST(DateTimeText, MidnightShowsTheDateAlone) {
    const LocaleScope c("C");
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(DateTimeText(At(2026, 3, 5, 0, 0, 0, 0)), "03/05/26");
    EXPECT_EQ(DateTimeText(At(2026, 3, 5, 0, 0, 0, 450)), "03/05/26");  // milliseconds not counted
}

TEST(DateTimeText, FollowsTheLocaleOfTheUser) {
    // en_US is there only where it has been generated; C.UTF-8 always is.
    const std::pair<const char*, const char*> locales[] = {
        {"en_US.UTF-8", "03/05/2026 02:07:09 PM"}, {"C.UTF-8", "03/05/26 14:07:09"}};
    int tried = 0;
    for (const auto& [name, expected] : locales) {
        const LocaleScope scope(name);
        if (scope.ok()) {
            ++tried;
            EXPECT_EQ(DateTimeText(At(2026, 3, 5, 14, 7, 9, 0)), expected) << name;
        }
    }
    EXPECT_GT(tried, 0);
}

}  // namespace
}  // namespace velmora
