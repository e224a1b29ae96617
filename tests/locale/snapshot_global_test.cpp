// The process-wide locale and releaseCache. One sequence, since the state is
// process-wide and "before any global()" can happen only once.

#include <gtest/gtest.h>

#include <cstdlib>

#include <xvkit/qnlocale.h>
#include <xvkit/qnzone.h>

namespace {

int destroyed = 0;

struct TrackedZone : QNZoneSimple {
    TrackedZone() : QNZoneSimple(-7200, "TRK") {}
    ~TrackedZone() override { ++destroyed; }
};

TEST(SnapshotGlobal, LifecycleAndCacheRelease) {
    EXPECT_EQ(QNLocale::global(nullptr), nullptr);
    const QNLocale& first = QNLocale::global();
    EXPECT_EQ(&QNLocale::global(), &first);

    const QNLocale* mine = QNLocale::defaultLocale();
    const QNLocale* other = QNLocale::defaultLocale();
    EXPECT_NE(mine, other);
    const auto* snapshot = dynamic_cast<const QNLocaleSnapshot*>(other);
    ASSERT_NE(snapshot, nullptr);
    EXPECT_EQ(snapshot->conventions().localeName, "C");
    delete other;
    EXPECT_EQ(QNLocale::global(mine), &first);  // the default counts as stored
    EXPECT_EQ(&QNLocale::global(), mine);
    delete &first;
    EXPECT_EQ(QNLocale::global(nullptr), mine);
    delete mine;
    // Null stored: the next global() makes a new default and keeps it.
    const QNLocale& again = QNLocale::global();
    EXPECT_EQ(&QNLocale::global(), &again);
    delete QNLocale::global(nullptr);

    setenv("TZ", "EST5EDT", 1);
    QNLocale::releaseCache();  // nothing built yet
    EXPECT_EQ(destroyed, 0);
    QNZone::local(new TrackedZone);
    QNZone::standard(new TrackedZone);
    QNZone::system(new TrackedZone);
    QNLocale::releaseCache();
    EXPECT_EQ(destroyed, 3);
    EXPECT_EQ(QNZone::local().timeZoneOffset(), 18000);
    EXPECT_EQ(QNZone::local().timeZoneName(), "EST");
    QNLocale::releaseCache();
    EXPECT_EQ(destroyed, 3);
}

}  // namespace
