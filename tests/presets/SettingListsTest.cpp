// The toolkit-free pick-only lists and the named set of them.
#include <gtest/gtest.h>

#include "SettingLists.h"

using namespace presets;

TEST(ComboModel, TextIsTheSelectedItemOrEmpty) {
  TComboModel combo("ComboTest");
  EXPECT_EQ(combo.Text(), "");
  combo.Add("a");
  combo.Add("b ");
  EXPECT_EQ(combo.Text(), "");  // adding selects nothing
  EXPECT_TRUE(combo.Select(1));
  EXPECT_EQ(combo.Text(), "b ");
  EXPECT_FALSE(combo.SelectText("b"));  // whole text, blanks included
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_FALSE(combo.Select(2));
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
  EXPECT_TRUE(combo.SelectText("a"));
  combo.Clear();
  EXPECT_EQ(combo.Count(), 0);
  EXPECT_EQ(combo.Text(), "");
}

TEST(SettingLists, WindowCreationSetsTheFixedItems) {
  const TSettingLists lists;
  EXPECT_EQ(lists.ComboAudioChannels.Items(), (std::vector<std::string>{"Stereo", "Mono"}));
  EXPECT_EQ(lists.ComboAspectRatio.Items(),
            (std::vector<std::string>{"Original", "4:3 (Standard", "16:9 (Wide Screen)"}));
  EXPECT_EQ(lists.ComboLetterBox.Items(), (std::vector<std::string>{"None", "LetterBox"}));
  EXPECT_EQ(lists.ComboAspectRatio.Text(), "Original");
  EXPECT_EQ(lists.ComboLetterBox.Text(), "None");
  EXPECT_EQ(lists.ComboVideoCodec.Count(), 0);
  EXPECT_EQ(lists.OutputExtension, "");
}

TEST(SettingLists, ListsAreFoundByName) {
  TSettingLists lists;
  const auto names = TSettingLists::ListNames();
  ASSERT_EQ(names.size(), 11u);
  for (auto name : names) {
    const TComboModel* list = lists.Find(name);
    ASSERT_NE(list, nullptr) << name;
    EXPECT_EQ(list->Name(), name);
  }
  EXPECT_EQ(lists.Find("ComboVideoSize"), &lists.ComboVideoSize);
  EXPECT_EQ(lists.Find("ComboNothing"), nullptr);
  EXPECT_EQ(lists.Find("combovideosize"), nullptr);
}

TEST(SettingLists, SelectSettingReportsWhatCanBeChosen) {
  TSettingLists lists;
  std::string error;
  EXPECT_TRUE(SelectSetting(lists, "ComboLetterBox", "LetterBox", error));
  EXPECT_EQ(lists.ComboLetterBox.Text(), "LetterBox");

  EXPECT_FALSE(SelectSetting(lists, "ComboLetterBox", "Zoom", error));
  EXPECT_EQ(lists.ComboLetterBox.Text(), "LetterBox");
  EXPECT_NE(error.find("\"Zoom\""), std::string::npos) << error;
  EXPECT_NE(error.find("\"None\", \"LetterBox\""), std::string::npos) << error;

  EXPECT_FALSE(SelectSetting(lists, "ComboZoom", "x", error));
  EXPECT_NE(error.find("ComboZoom"), std::string::npos) << error;
  EXPECT_NE(error.find("\"ComboAspectRatio\""), std::string::npos) << error;
}
