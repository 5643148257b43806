// The output-format list: its 50 items, separators, extensions, the input
// filter, and what picking an item does or does not change.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "Catalogue.h"

using namespace presets;

namespace {

const std::string kSep = std::string(14, ' ') + std::string(41, '-');

struct Item {
  std::string Text, Extension;  // separators have no extension
};

const std::vector<Item> kItems = {
    {"AVI - Audio Video Interleave (*.avi)", "AVI"},
    {"AVI - DivX Video (*.avi)", "AVI"},
    {"AVI - Uncompress (*.avi)", "AVI"},
    {"AVI - XviD Video (*.avi)", "AVI"},
    {"DVD - VOB (*.vob)", "VOB"},
    {"FLV - Flash Video (*.flv)", "FLV"},
    {"MOV - QuickTime Video (*.mov)", "MOV"},
    {"MP4 - MPEG4 Video (*.mp4)", "MP4"},
    {"MPEG-1 Movie (*.mpg)", "MPG"},
    {"MPEG-2 Movie (*.mpg)", "MPG"},
    {"RM - Real Video (*.rm)", "RM"},
    {"SWF - Flash Swf (*.swf)", "SWF"},
    {"Super Video CD (*.mpg)", "MPG"},
    {"Video CD (*.mpg)", "MPG"},
    {"WMV - Windows Media Video (*.wmv)", "WMV"},
    {kSep, ""},
    {"3GP - Mobile Video Format (*.3gp)", "3GP"},
    {"3G2 - Mobile Video Format (*.3g2)", "3G2"},
    {kSep, ""},
    {"AAC - Advance Audio Coding (*.aac)", "AAC"},
    {"ASF - Advance Streaming Format (*.asf)", "ASF"},
    {"AU - SUN Audio (*.au)", "AU"},
    {"M4A - Mpeg4 Audio File (*.m4a)", "M4A"},
    {"MP2 - Mpeg Layer2 Audio (*.mp2)", "MP2"},
    {"MP3 - Mpeg Layer3 Audio (*.mp3)", "MP3"},
    {"OGG - Ogg Vorbis Audio (*.ogg)", "OGG"},
    {"RA - Real Audio (*.ra)", "RA"},
    {"WAV - Waveform Audio (*.wav)", "WAV"},
    {"WMA - Windows Media Audio (*.wma)", "WMA"},
    {kSep, ""},
    {"Apple TV (*.mp4)", "MP4"},
    {"iPhone (*.mp4)", "MP4"},
    {"iPhone Extra (640 x 480) (*.mp4)", "MP4"},
    {"iPod (*.mp4)", "MP4"},
    {"iPod Video For TV (*.mp4)", "MP4"},
    {"iPod Touch (*.mp4)", "MP4"},
    {"iPod Touch Extra (640 x 480) (*.mp4)", "MP4"},
    {kSep, ""},
    {"PSP Video (*.mp4)", "MP4"},
    {"PS3 Video (*.mp4)", "MP4"},
    {"Zune Mpeg4 Video (*.mp4)", "MP4"},
    {"Zune WMV Windows Media Video (*.wmv)", "WMV"},
    {kSep, ""},
    {"Archos AV500/GMini402 (*.avi)", "AVI"},
    {"Archos AV700 (*.avi)", "AVI"},
    {"BlackBerry MPEG-4 Video (*.mp4)", "MP4"},
    {"BlackBerry AVI Video (*.avi)", "AVI"},
    {"BlackBerry 3GP Video (*.3gp)", "3GP"},
    {"Creative Zen Vision (*.avi)", "AVI"},
    {"iRiver PMP100 (*.avi)", "AVI"},
};

TSettingLists FilledLists() {
  TSettingLists lists;
  FillOutputFormatCombo(lists);
  return lists;
}

}  // namespace

TEST(OutputFormatList, HoldsTheFiftyItemsInOrder) {
  const TSettingLists lists = FilledLists();
  const TComboModel& combo = lists.ComboOutputFormat;
  ASSERT_EQ(combo.Count(), 50);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(combo.Items()[i], kItems[i].Text) << "item " << i;
  EXPECT_EQ(combo.DropDownCount(), 50);
  EXPECT_EQ(combo.ItemIndex(), 0);
  EXPECT_EQ(combo.Text(), "AVI - Audio Video Interleave (*.avi)");
}

TEST(OutputFormatList, SeparatorsSitBetweenTheGroups) {
  const TSettingLists lists = FilledLists();
  std::vector<int> separators;
  for (int i = 0; i < lists.ComboOutputFormat.Count(); ++i)
    if (IsSeparatorItem(lists.ComboOutputFormat.Items()[i])) separators.push_back(i);
  EXPECT_EQ(separators, (std::vector<int>{15, 18, 29, 37, 42}));
  EXPECT_EQ(kSeparatorItem, kSep);
  EXPECT_TRUE(IsSeparatorItem(std::string(14, ' ') + "----"));
  EXPECT_FALSE(IsSeparatorItem(std::string(13, ' ') + "----"));
  EXPECT_FALSE(IsSeparatorItem("MPEG-1 Movie (*.mpg)"));
}

TEST(OutputFormatList, AcceptingAnEntrySetsItsExtension) {
  TSettingLists lists = FilledLists();
  for (int i = 0; i < 50; ++i) {
    if (kItems[i].Extension.empty()) continue;
    lists.ComboOutputFormat.Select(i);
    ASSERT_TRUE(SelectOutputFormat(lists)) << kItems[i].Text;
    EXPECT_EQ(lists.OutputExtension, kItems[i].Extension) << kItems[i].Text;
  }
}

TEST(OutputFormatList, CatalogueNamesAreUniqueAndExtensionsShared) {
  std::set<std::string_view> names;
  std::map<std::string_view, int> perExtension;
  for (const auto& entry : OutputFormatCatalogue()) {
    EXPECT_TRUE(names.insert(entry.DisplayName).second) << entry.DisplayName;
    EXPECT_EQ(FindOutputFormat(entry.DisplayName), &entry);
    ++perExtension[entry.Extension];
  }
  EXPECT_EQ(names.size(), 45u);
  EXPECT_EQ(perExtension["MP4"], 12);
  EXPECT_EQ(perExtension["AVI"], 9);
  EXPECT_EQ(perExtension["MPG"], 4);
  EXPECT_EQ(perExtension["WMV"], 2);
  EXPECT_EQ(perExtension["3GP"], 2);
  EXPECT_EQ(FindOutputFormat("mp4 - mpeg4 video (*.mp4)"), nullptr);  // case-sensitive
  EXPECT_EQ(FindOutputFormat(kSeparatorItem), nullptr);
}

TEST(OutputFormatList, InputFilterAdmitsRealMediaOnly) {
  std::string filter = "old";
  GetInputFileFilter(filter);
  EXPECT_EQ(filter, "All Supported Files (*.rm;*.rmvb;*.ram)|*.rm;*.rmvb;*.ram|");
}

TEST(OutputFormatList, PickingASeparatorOrNothingChangesNothing) {
  TSettingLists lists = FilledLists();
  lists.ComboOutputFormat.Select(7);
  ASSERT_EQ(OutputFormatChanged(lists, 0), 7);
  lists.ComboVideoBitrate.SelectText("2500 Kbps");  // a pick of the user's
  const TSettingLists accepted = lists;
  for (int separator : {15, 18, 29, 37, 42, -1}) {
    lists.ComboOutputFormat.Select(separator);
    EXPECT_FALSE(SelectOutputFormat(lists));
    EXPECT_EQ(OutputFormatChanged(lists, 7), 7) << separator;
    EXPECT_TRUE(lists == accepted) << "item " << separator << " changed the lists";
  }
}

TEST(OutputFormatList, ApplyWithoutAnEntryLeavesTheRecord) {
  TSettingLists lists = FilledLists();
  lists.ComboOutputFormat.Select(15);
  TOutputOptions options;
  options.VideoCodec = "untouched";
  EXPECT_FALSE(ApplyOutputFormat(lists, 0, options, {}));
  EXPECT_EQ(options.VideoCodec, "untouched");
  EXPECT_EQ(options.AudioBitrate, -1);
}

TEST(OutputFormatList, FlvAndSwfDifferOnlyInTheExtension) {
  TSettingLists flv = FilledLists(), swf = FilledLists();
  flv.ComboOutputFormat.SelectText("FLV - Flash Video (*.flv)");
  swf.ComboOutputFormat.SelectText("SWF - Flash Swf (*.swf)");
  ASSERT_TRUE(SelectOutputFormat(flv) && SelectOutputFormat(swf));
  EXPECT_EQ(flv.OutputExtension, "FLV");
  EXPECT_EQ(swf.OutputExtension, "SWF");
  swf.OutputExtension = flv.OutputExtension;
  swf.ComboOutputFormat = flv.ComboOutputFormat;
  EXPECT_TRUE(flv == swf);
  EXPECT_EQ(FindOutputFormat("FLV - Flash Video (*.flv)")->PresetKey.Translate,
            FindOutputFormat("SWF - Flash Swf (*.swf)")->PresetKey.Translate);
}
