#include <gtest/gtest.h>

#include <xvkit/qndate.h>
#include <xvkit/qntime.h>
#include <xvkit/qnzone.h>
#include <cstdlib>
#include <ctime>

#include "tz_env.h"

namespace {

TEST(QNZoneProcess, ZoneWithDaylightSavingFromTheRuntime) {
    ScopedTZ tz("EST5EDT");
    const QNZone& local = QNZone::local();
    EXPECT_EQ(local.timeZoneOffset(), 18000);
    EXPECT_EQ(local.altZoneOffset(), 14400);
    EXPECT_EQ(local.timeZoneName(), "EST");
    EXPECT_EQ(local.altZoneName(), "EDT");
    // The North American schedule, history included.
    EXPECT_EQ(QNTime::beginDST(1975, local),
              QNTime::beginDST(1975, QNZoneSimple(QNZone::usEastern, QNZone::northAmerican)));
    const QNZone& standard = QNZone::standard();
    EXPECT_EQ(standard.altZoneOffset(), 18000);
    EXPECT_EQ(standard.altZoneName(), "EST");
    EXPECT_FALSE(standard.daylightObserved());
    EXPECT_NE(&QNZone::system(), &local);
    EXPECT_EQ(QNZone::system().altZoneName(), "EDT");
}

TEST(QNZoneProcess, ZoneWithoutDaylightSavingFromTheRuntime) {
    ScopedTZ tz("MST7");
    const QNZone& mountain = QNZone::local();
    EXPECT_EQ(mountain.timeZoneOffset(), 25200);
    EXPECT_EQ(mountain.altZoneOffset(), 21600);
    EXPECT_EQ(mountain.timeZoneName(), "MST");
    EXPECT_EQ(mountain.altZoneName(), tzname[1]);  // whatever the runtime names it
    EXPECT_FALSE(mountain.daylightObserved());
    EXPECT_FALSE(QNTime::beginDST(1997, mountain).isValid());
}

TEST(QNZoneProcess, UtcIsBuiltOnceUntilCleared) {
    const QNZone* first = &QNZone::utc();
    EXPECT_EQ(&QNZone::utc(), first);
    EXPECT_EQ(first->altZoneName(), "GMT");
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

    const QNZone* builtSystem = &QNZone::system();
    EXPECT_EQ(QNZone::system(&mine), builtSystem);
    delete builtSystem;
    EXPECT_EQ(QNZone::system(nullptr), &mine);
    const QNZone* builtStandard = QNZone::standard(&mine);
    EXPECT_EQ(builtStandard->timeZoneName(), "PST");
    delete builtStandard;
    EXPECT_EQ(QNZone::standard(nullptr), &mine);
}

}  // namespace
