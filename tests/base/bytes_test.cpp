// The byte writer and the cursor over untrusted bytes: what one writes the other reads back,
// and a cursor that runs short fails, stays failed and never reads past its buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <span>

#include "base/byte_reader.h"
#include "base/byte_writer.h"

using base::ByteReader;
using base::Bytes;

namespace {

constexpr uint64_t kHuge = std::numeric_limits<uint64_t>::max();

TEST(ByteWriter, WritesLittleEndianWordsAndItemsTheReaderReadsBack) {
  Bytes out;
  base::PutU32(out, 0x04030201);
  base::PutI32(out, -2);
  base::PutPrefixed(out, "ab");
  base::PutZeroTerminated(out, std::string_view("cd\0ef", 5));  // stored up to its first 0
  EXPECT_EQ(out, (Bytes{1, 2, 3, 4, 0xFE, 0xFF, 0xFF, 0xFF, 2, 0, 0, 0, 'a', 'b', 'c', 'd', 0}));

  ByteReader reader(out);
  EXPECT_EQ(reader.U32(), 0x04030201u);
  EXPECT_EQ(reader.I32(), -2);
  EXPECT_EQ(reader.PrefixedText(), "ab");
  EXPECT_EQ(reader.ZeroTerminated(), "cd");
  EXPECT_TRUE(reader.AtEnd());
  EXPECT_TRUE(reader.Ok());
}

TEST(ByteReader, AShortReadFailsAndEveryLaterReadGivesNothing) {
  const Bytes bytes = {1, 2, 3, 4, 5, 6};
  ByteReader reader(bytes);
  reader.Skip(3);
  EXPECT_EQ(reader.U32(), 0u) << "three bytes left";
  EXPECT_FALSE(reader.Ok());
  EXPECT_EQ(reader.Position(), 3u) << "where it stood when it failed";
  EXPECT_EQ(reader.Remaining(), 0u);
  EXPECT_FALSE(reader.AtEnd());
  uint8_t byte = 0x55;
  EXPECT_FALSE(reader.U8(&byte));
  EXPECT_EQ(byte, 0x55) << "nothing written on failure";
  EXPECT_TRUE(reader.Take(0).empty());
  EXPECT_EQ(reader.ZeroTerminated(), "");
}

TEST(ByteReader, LengthsFromTheBytesNeverReachPastTheBuffer) {
  const Bytes bytes = {0xFF, 0xFF, 0xFF, 0xFF, 'x', 0};
  ByteReader prefixed(bytes);
  EXPECT_TRUE(prefixed.Prefixed().empty()) << "a 4 GB length over two bytes";
  EXPECT_FALSE(prefixed.Ok());

  ByteReader huge(bytes);
  EXPECT_TRUE(huge.Take(kHuge).empty());
  EXPECT_FALSE(huge.Ok());

  ByteReader counted(bytes);
  EXPECT_TRUE(counted.Holds(3, 2));
  EXPECT_FALSE(counted.Holds(7, 1));
  EXPECT_FALSE(counted.Holds(kHuge / 2 + 1, 2)) << "a count whose product wraps";
  EXPECT_TRUE(counted.Ok()) << "asking fails nothing";

  ByteReader unterminated(std::span<const uint8_t>(bytes).first(5));
  EXPECT_EQ(unterminated.ZeroTerminated(), "");
  EXPECT_FALSE(unterminated.Ok()) << "no 0 byte left";
}

}  // namespace
