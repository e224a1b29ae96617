#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>
#include <cstdlib>
#include <ctime>

#include "tz_env.h"

namespace {

tm julyNoon1997() {
    tm t;
    QNDate(1, 7, 1997).extract(&t);
    t.tm_hour = 12;
    return t;
}

TEST(QNZoneProcess, LocalZoneFromARuntimeWithDaylightSaving) {
    ScopedTZ tz("EST5EDT");
    const QNZone& local = QNZone::local();
    EXPECT_EQ(local.timeZoneOffset(), 18000);
    EXPECT_EQ(local.altZoneOffset(), 14400);
    EXPECT_EQ(local.timeZoneName(), "EST");
    EXPECT_EQ(local.altZoneName(), "EDT");
    EXPECT_TRUE(local.daylightObserved());
    const tm july = julyNoon1997();
    EXPECT_TRUE(local.isDaylight(&july));
    EXPECT_EQ(
        QNTime::beginDST(1975, local).seconds(),
        QNTime::beginDST(1975, QNZoneSimple(QNZone::usEastern, QNZone::northAmerican)).seconds());

    const QNZone& standard = QNZone::standard();
    EXPECT_EQ(standard.timeZoneOffset(), 18000);
    EXPECT_EQ(standard.altZoneOffset(), 18000);
    EXPECT_EQ(standard.timeZoneName(), "EST");
    EXPECT_EQ(standard.altZoneName(), "EST");
    EXPECT_FALSE(standard.daylightObserved());
    EXPECT_FALSE(standard.isDaylight(&july));

    const QNZone& system = QNZone::system();
    EXPECT_NE(&system, &local);
    EXPECT_EQ(system.altZoneName(), "EDT");
    EXPECT_TRUE(system.daylightObserved());
}

TEST(QNZoneProcess, LocalZoneFromARuntimeWithoutDaylightSaving) {
    ScopedTZ tz("MST7");
    const QNZone& local = QNZone::local();
    EXPECT_EQ(local.timeZoneOffset(), 25200);
    EXPECT_EQ(local.altZoneOffset(), 21600);
    EXPECT_EQ(local.timeZoneName(), "MST");
    EXPECT_EQ(local.altZoneName(), tzname[1]);  // whatever the runtime names it
    EXPECT_FALSE(local.daylightObserved());
    const tm july = julyNoon1997();
    EXPECT_FALSE(local.isDaylight(&july));
    EXPECT_FALSE(QNTime::beginDST(1997, local).isValid());
}

TEST(QNZoneProcess, UtcIsBuiltOnceUntilCleared) {
    const QNZone* first = &QNZone::utc();
    EXPECT_EQ(&QNZone::utc(), first);
    EXPECT_EQ(first->timeZoneOffset(), 0);
    EXPECT_EQ(first->altZoneName(), "GMT");
    EXPECT_FALSE(first->daylightObserved());
    QNZone::clearUtc();
    // Hold the freed block so that a rebuilt zone cannot reuse its address.
    const QNZoneSimple* blocker = new QNZoneSimple(0, "X");
    EXPECT_NE(&QNZone::utc(), first);
    EXPECT_EQ(QNZone::utc().timeZoneName(), "GMT");
    delete blocker;
    QNZone::clearUtc();
    QNZone::clearUtc();  // nothing to clear
}

TEST(QNZoneProcess, SettersReturnThePreviousZone) {
    ScopedTZ tz("EST5EDT");
    EXPECT_EQ(QNZone::local(nullptr), nullptr);  // nothing built yet
    const QNZone* built = &QNZone::local();
    const QNZoneSimple mine(QNZone::usPacific, QNZone::northAmerican);
    EXPECT_EQ(QNZone::local(&mine), built);
    delete built;
    EXPECT_EQ(&QNZone::local(), &mine);
    // The standard zone is derived when first read, from the local zone then.
    EXPECT_EQ(QNZone::standard().timeZoneName(), "PST");
    EXPECT_EQ(QNZone::local(nullptr), &mine);
    // A fresh local zone reads the runtime setting as it is now.
    setenv("TZ", "MST7", 1);
    EXPECT_EQ(QNZone::local().timeZoneName(), "MST");
    EXPECT_EQ(QNZone::standard().timeZoneName(), "PST");

    const QNZoneSimple other(0, "X");
    const QNZone* builtSystem = &QNZone::system();
    EXPECT_EQ(QNZone::system(&other), builtSystem);
    delete builtSystem;
    EXPECT_EQ(QNZone::system(nullptr), &other);
    const QNZone* builtStandard = QNZone::standard(&other);
    EXPECT_EQ(builtStandard->timeZoneName(), "PST");
    delete builtStandard;
    EXPECT_EQ(QNZone::standard(nullptr), &other);
}

}  // namespace
