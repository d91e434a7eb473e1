#include "sim/SimOptions.h"

#include <gtest/gtest.h>

namespace {

bool Parse(QStringList args, TSimOptions* options, QString* error)
{
    args.prepend(QStringLiteral("ecr-sim"));
    return ParseSimOptions(args, options, error);
}

TEST(SimOptions, FaultCounts)
{
    TSimOptions o;
    QString error;
    ASSERT_TRUE(Parse({"--device", "/dev/ttyS1", "--rate", "57600", "--drop", "2", "--nak", "3",
                       "--fail-after", "0", "--price-decimals", "0"},
                      &o, &error))
        << qPrintable(error);
    EXPECT_EQ(o.engine.idleRate, 57600);
    EXPECT_EQ(o.engine.dropFrames, 2);
    EXPECT_EQ(o.engine.nakFrames, 3);
    EXPECT_EQ(o.engine.failAfter, 0) << "0 is a count, not 'never'";
    EXPECT_EQ(o.priceDecimals, 0);
    ASSERT_TRUE(Parse({"--link", "/tmp/p"}, &o, &error));
}

TEST(SimOptions, NonsenseIsRefused)
{
    const QList<QStringList> bad = {
        {},
        {"--link", "/a", "--device", "/b"},
        {"--link", "/a", "--rate", "4800"},
        {"--link", "/a", "--drop", "-1"},
        {"--link", "/a", "--nak", "x"},
        {"--link", "/a", "--price-decimals", "10"},
        {"--link", "/a", "--access-code", "123456789"},
        {"--link", "/a", "stray"},
        {"--link", "/a", "--unknown"},
    };
    for (const QStringList& args : bad) {
        TSimOptions o;
        QString error;
        EXPECT_FALSE(Parse(args, &o, &error)) << qPrintable(args.join(' '));
        EXPECT_FALSE(error.isEmpty());
    }
}

} // namespace
