#include "KestlesEngine/ipc/IpcMessage.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace kestles::ipc {
namespace {

std::string header(std::uint32_t length, std::uint32_t type) {
  std::string bytes = "i3-ipc";
  bytes.append(reinterpret_cast<const char*>(&length), 4);
  bytes.append(reinterpret_cast<const char*>(&type), 4);
  return bytes;
}

TEST(IpcMessage, EncodesMagicLengthAndTypeInHostOrderBeforeThePayload) {
  EXPECT_EQ(encodeMessage(Request::getTree, ""), header(0, 4));
  EXPECT_EQ(encodeMessage(Request::runCommand, "focus"), header(5, 0) + "focus");
  EXPECT_EQ(encodeMessage(kEventBit | 5u, "{}"), header(2, 0x80000005u) + "{}");
}

TEST(IpcMessage, ReadsMessagesHoweverTheStreamIsSplit) {
  auto stream = encodeMessage(Request::getOutputs, "[1,2]") +
                encodeMessage(kEventBit | static_cast<std::uint32_t>(Event::window), "{}") +
                encodeMessage(Request::runCommand, "");
  std::vector<Message> expected{{3, "[1,2]"}, {kEventBit | 3u, "{}"}, {0, ""}};
  // Every split point, and byte by byte, gives the same messages.
  for (std::size_t chunk : {std::size_t(1), std::size_t(3), std::size_t(14), stream.size()}) {
    MessageReader reader;
    std::vector<Message> read;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
      reader.feed(std::string_view(stream).substr(at, chunk));
      while (auto message = reader.next())
        read.push_back(*message);
    }
    EXPECT_EQ(read, expected) << "chunks of " << chunk;
    EXPECT_FALSE(reader.error());
  }
  EXPECT_TRUE(expected[1].isEvent());
  EXPECT_EQ(expected[1].eventType(), 3u);
  EXPECT_FALSE(expected[0].isEvent());
}

TEST(IpcMessage, BrokenStreamsStopTheReader) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::vector<Case> cases{
      {"a wrong magic, seen before the header is whole", "i3-x"},
      {"a wrong magic after a good message", encodeMessage(Request::getTree, "{}") + "HTTP/1.1"},
      {"a length over the limit", header(kMaxPayload + 1, 4)},
  };
  for (const auto& c : cases) {
    MessageReader reader;
    reader.feed(c.bytes);
    while (reader.next()) {
    }
    EXPECT_TRUE(reader.error()) << c.what;
    // Good bytes after the break are not read as a message.
    reader.feed(encodeMessage(Request::getTree, ""));
    EXPECT_FALSE(reader.next()) << c.what;
  }
}

TEST(IpcMessage, AnIncompleteMessageWaitsForItsPayload) {
  MessageReader reader;
  reader.feed(header(4, 0) + "tr");
  EXPECT_FALSE(reader.next());
  reader.feed("ue");
  EXPECT_EQ(reader.next(), (Message{0, "true"}));
  EXPECT_FALSE(reader.next());
  EXPECT_FALSE(reader.error());
}

}  // namespace
}  // namespace kestles::ipc
