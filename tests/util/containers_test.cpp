#include "util/containers.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <list>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(Containers, AppendsOrPrependsInSourceOrder) {
    const Bytes source{1, 2, 3};
    Bytes atEnd{9, 8};
    concatVectorWithContainer(atEnd, source, true);
    EXPECT_EQ(atEnd, (Bytes{9, 8, 1, 2, 3}));

    Bytes atStart{9, 8};
    concatVectorWithContainer(atStart, source, false);
    EXPECT_EQ(atStart, (Bytes{1, 2, 3, 9, 8}));
}

TEST(Containers, ConvertsElementsOfOtherContainers) {
    Bytes fromArray{0};
    concatVectorWithContainer(fromArray, std::array<uint8_t, 4>{0xDE, 0xAD, 0xBE, 0xEF}, false);
    EXPECT_EQ(fromArray, (Bytes{0xDE, 0xAD, 0xBE, 0xEF, 0}));

    // Numbers wider than a byte keep their low byte, as static_cast does.
    Bytes fromInts;
    concatVectorWithContainer(fromInts, std::list<int>{65, 300, -1}, true);
    EXPECT_EQ(fromInts, (Bytes{65, 44, 255}));
}

TEST(Containers, EmptySourceAndSelfConcatenation) {
    Bytes bytes{1, 2};
    concatVectorWithContainer(bytes, Bytes{}, false);
    EXPECT_EQ(bytes, (Bytes{1, 2}));

    concatVectorWithContainer(bytes, bytes, true);
    EXPECT_EQ(bytes, (Bytes{1, 2, 1, 2}));
    concatVectorWithContainer(bytes, bytes, false);
    EXPECT_EQ(bytes, (Bytes{1, 2, 1, 2, 1, 2, 1, 2}));
}

}  // namespace
