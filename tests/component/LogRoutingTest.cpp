// The libraries' log output as it reaches OnLog: lines joined and split per
// thread, the object prefix, the level filter, every component.
#include <regex>

#include "ComponentTestSupport.h"

namespace {

using componenttest::ConverterTest;
using componenttest::EventRecorder;

class LogRouting : public ConverterTest {
 protected:
  void SetUp() override {
    ConverterTest::SetUp();
    recorder.Attach(converter);
  }
  std::vector<std::string> Lines() {
    std::lock_guard<std::mutex> guard(recorder.lock);
    std::vector<std::string> lines;
    for (const auto& line : recorder.logs) lines.push_back(line.text);
    return lines;
  }
  EventRecorder recorder;
};

TEST_F(LogRouting, PartsAreJoinedAndLineFeedsSplit) {
  ml::av_log(nullptr, AV_LOG_INFO, "first part ");
  EXPECT_TRUE(Lines().empty()) << "nothing is delivered before the line-feed";
  ml::av_log(nullptr, AV_LOG_INFO, "and the %s\n", "rest");
  ml::av_log(nullptr, AV_LOG_INFO, "two\nlines\n");
  ml::av_log(nullptr, AV_LOG_INFO, "\n");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"first part and the rest", "two", "lines", ""}));
  EXPECT_TRUE(recorder.HasLog(-1, llInfo, "two")) << "a thread without a task gives AIndex -1";
}

TEST_F(LogRouting, PendingTextBelongsToItsThread) {
  ml::av_log(nullptr, AV_LOG_INFO, "main ");
  std::thread other([] { ml::av_log(nullptr, AV_LOG_INFO, "other\n"); });
  other.join();
  ml::av_log(nullptr, AV_LOG_INFO, "line\n");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"other", "main line"}));
}

TEST_F(LogRouting, LongMessageAfterPendingTextIsDeliveredWhole) {
  const std::string longText(10000, 'x');
  ml::av_log(nullptr, AV_LOG_INFO, "start:");
  ml::av_log(nullptr, AV_LOG_INFO, "%s|end\n", longText.c_str());
  ml::av_log(nullptr, AV_LOG_INFO, "%s\n", longText.c_str());
  EXPECT_EQ(Lines(), (std::vector<std::string>{"start:" + longText + "|end", longText}));
}

TEST_F(LogRouting, ObjectsWithAClassArePrefixed) {
  AVFormatContext* context = ml::avformat_alloc_context();
  ASSERT_NE(context, nullptr);
  ml::av_log(context, AV_LOG_INFO, "hello\n");
  ml::av_log(context, AV_LOG_INFO, "joined ");
  ml::av_log(context, AV_LOG_INFO, "text\n");
  ml::avformat_free_context(context);
  const std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(\[NULL @ [0-9A-F]{8,16}\]hello)")))
      << lines[0];
  EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(\[NULL @ [0-9A-F]{8,16}\]joined text)")))
      << "the prefix starts a line only: " << lines[1];
}

TEST_F(LogRouting, LevelsAboveTheLibraryLevelAreDropped) {
  converter.SetLogLevel(llError);
  ml::av_log(nullptr, AV_LOG_INFO, "information\n");
  ml::av_log(nullptr, AV_LOG_ERROR, "an error\n");
  converter.SetLogLevel(llInfo);
  ml::av_log(nullptr, AV_LOG_INFO, "information again\n");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"an error", "information again"}));
  EXPECT_TRUE(recorder.HasLog(-1, llError, "an error"));
}

TEST_F(LogRouting, EveryComponentGetsTheLine) {
  auto second = std::make_unique<TMediaConverter>();
  EventRecorder secondRecorder;
  secondRecorder.Attach(*second);
  ml::av_log(nullptr, AV_LOG_INFO, "for both\n");
  second.reset();
  ml::av_log(nullptr, AV_LOG_INFO, "for one\n");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"for both", "for one"}));
  ASSERT_EQ(secondRecorder.logs.size(), 1u);
  EXPECT_EQ(secondRecorder.logs[0].text, "for both");
}

TEST_F(LogRouting, LogLevelAppliesAtLoadingAndAtOnce) {
  TMediaConverter late;
  late.SetLogLevel(llError);
  ASSERT_TRUE(late.LoadLibraries("", true));
  EXPECT_EQ(ml::av_log_get_level(), medialib::ToLibraryLogLevel(0));
  late.SetLogLevel(llDebug);
  EXPECT_EQ(ml::av_log_get_level(), medialib::ToLibraryLogLevel(2));
  EXPECT_EQ(medialib::CachedLogLevel(), 2);
  late.SetLogLevel(llInfo);
}

}  // namespace
