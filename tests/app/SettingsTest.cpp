// The five stored settings and the "Additional Options" dialog.
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include "Form4.h"
#include "SettingsStore.h"
#include "WindowTestSupport.h"

using namespace windowtest;

namespace {

class SettingsTest : public WindowTest {
 protected:
  QVariant Stored(const QString& name) const {
    QSettings settings(TSettingsKey::FilePath(), QSettings::IniFormat);
    return settings.value(name);
  }
  void Store(std::initializer_list<std::pair<QString, QVariant>> values) {
    QDir().mkpath(QString::fromStdString(config.Path()) + "/Quillmark");
    QSettings settings(TSettingsKey::FilePath(), QSettings::IniFormat);
    for (const auto& [name, value] : values) settings.setValue(name, value);
  }
  // Closes the window and starts the program again.
  void Restart() {
    ASSERT_TRUE(form->close());
    form.reset();
    StartWindow();
  }
  void TypeIntoSpinEdit(const QString& text) {
    TSpinEdit* spin = form->Form4->SpinEdit1;
    spin->selectAll();
    QTest::keyClick(spin, Qt::Key_Delete);
    QTest::keyClicks(spin, text);
  }
};

}  // namespace

TEST_F(SettingsTest, FirstRunWritesTheFiveFirstRunValues) {
  StartWindow();
  EXPECT_EQ(TSettingsKey::FilePath().toStdString(), config.Path() + "/Quillmark/Reelshift.conf");
  EXPECT_EQ(Stored("Output Folder"), QVariant(QString()));
  EXPECT_EQ(Stored("ComboOutputFormat").toString(), "0");
  EXPECT_EQ(Stored("Overwrite").toString(), "0");
  EXPECT_EQ(Stored("DropDownItems").toString(), "27");
  EXPECT_EQ(Stored("LetterBox").toString(), "0");
  EXPECT_EQ(form->Form4->SpinEdit1->value(), 27);
  EXPECT_FALSE(form->Form4->CheckBoxOverWrite->isChecked());
}

TEST_F(SettingsTest, StoredValuesComeBackAndAreSavedOnClose) {
  Store({{"Output Folder", "/no/such/folder"},
         {"ComboOutputFormat", 7},
         {"Overwrite", 1},
         {"DropDownItems", 30},
         {"LetterBox", 1}});
  StartWindow();
  EXPECT_EQ(form->EditOutputFolder->text(), "/no/such/folder");  // shown as it is
  EXPECT_EQ(form->ComboOutputFormat->currentText(), "MP4 - MPEG4 Video (*.mp4)");
  EXPECT_EQ(form->OutputExtension(), "MP4");
  EXPECT_GT(form->ComboVideoCodec->count(), 0);
  EXPECT_TRUE(form->Form4->CheckBoxOverWrite->isChecked());
  EXPECT_EQ(form->Form4->SpinEdit1->value(), 30);
  EXPECT_EQ(form->DropDownCount(), 30);
  EXPECT_EQ(form->ComboLetterBox->currentText(), "LetterBox");

  SelectOutputFormat("FLV - Flash Video (*.flv)");
  form->Form4->CheckBoxOverWrite->setChecked(false);
  Restart();
  EXPECT_EQ(form->ComboOutputFormat->currentText(), "FLV - Flash Video (*.flv)");
  EXPECT_FALSE(form->Form4->CheckBoxOverWrite->isChecked());
  EXPECT_EQ(Stored("ComboOutputFormat").toString(), "5");
}

TEST_F(SettingsTest, StoredFormatIndexThatIsNoEntryLeavesTheFirstFormat) {
  for (int stored : {-1, 15, 29, 50, 1000}) {
    SCOPED_TRACE(stored);
    Store({{"Output Folder", ""},
           {"ComboOutputFormat", stored},
           {"Overwrite", 0},
           {"DropDownItems", 27},
           {"LetterBox", 0}});
    StartWindow();
    EXPECT_EQ(form->ComboOutputFormat->currentIndex(), 0);
    EXPECT_EQ(form->OutputExtension(), "AVI");
    // The setting lists are filled, never left empty.
    EXPECT_EQ(form->ComboVideoCodec->currentText(), "MPEG4");
    EXPECT_EQ(form->ComboSamplingRate->currentText(), "48000 Hz");
    form.reset();
  }
}

TEST_F(SettingsTest, DropDownItemsAreKeptWithinTheSpinEditsBounds) {
  for (const auto& [stored, shown] : {std::pair{100, 47}, std::pair{5, 26}, std::pair{40, 40}}) {
    SCOPED_TRACE(stored);
    Store({{"Output Folder", ""},
           {"ComboOutputFormat", 0},
           {"Overwrite", 0},
           {"DropDownItems", stored},
           {"LetterBox", 0}});
    StartWindow();
    EXPECT_EQ(form->Form4->SpinEdit1->value(), shown);
    EXPECT_EQ(form->DropDownCount(), shown);
    form.reset();
  }
}

TEST_F(SettingsTest, TypedCountTakesEffectAtOnceAndIsSavedAsTyped) {
  StartWindow();
  form->SetGeneralOptions1->trigger();
  ASSERT_TRUE(form->Form4->isVisible());
  EXPECT_FALSE(form->Form4->isModal());
  TypeIntoSpinEdit("5");
  EXPECT_EQ(form->DropDownCount(), 5);
  EXPECT_EQ(form->Form4->DropDownItems(), 5);
  Restart();
  EXPECT_EQ(form->Form4->SpinEdit1->value(), 26);
  EXPECT_EQ(form->DropDownCount(), 26);
  EXPECT_EQ(Stored("DropDownItems").toString(), "5");  // as typed, until the next save
}

TEST_F(SettingsTest, TextThatIsNoNumberReadsAsTheMinimum) {
  StartWindow();
  form->SetGeneralOptions1->trigger();
  TypeIntoSpinEdit("-");
  EXPECT_EQ(form->Form4->DropDownItems(), 26);
  EXPECT_EQ(form->DropDownCount(), 26);
}

TEST_F(SettingsTest, AMissingValueStopsLoadingAndSavesWhatWasLoaded) {
  Store({{"Output Folder", "/kept"}, {"ComboOutputFormat", 24}, {"Overwrite", "yes"}});
  StartWindow();
  EXPECT_EQ(form->ComboOutputFormat->currentText(), "MP3 - Mpeg Layer3 Audio (*.mp3)");
  EXPECT_EQ(Stored("Output Folder").toString(), "/kept");
  EXPECT_EQ(Stored("ComboOutputFormat").toString(), "24");
  EXPECT_EQ(Stored("Overwrite").toString(), "0");
  EXPECT_EQ(Stored("DropDownItems").toString(), "27");
  EXPECT_EQ(Stored("LetterBox").toString(), "0");
}

TEST_F(SettingsTest, OptionsDialogLayoutAndDoneHidesIt) {
  StartWindow();
  TForm4& dialog = *form->Form4;
  EXPECT_EQ(dialog.windowTitle(), "Additional Options");
  EXPECT_EQ(dialog.size(), QSize(408, 247));
  EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(dialog.GroupBox1->title(), " Additional Options ");
  EXPECT_EQ(dialog.GroupBox1->geometry(), QRect(8, 9, 392, 144));
  EXPECT_EQ(dialog.CheckBoxOverWrite->text(), "Overwrite Existing File With The Same Name");
  EXPECT_EQ(dialog.CheckBoxOverWrite->pos(), QPoint(12, 35));
  EXPECT_EQ(dialog.SpinEdit1->geometry(), QRect(12, 84, 40, 22));
  EXPECT_EQ(dialog.SpinEdit1->minimum(), 26);
  EXPECT_EQ(dialog.SpinEdit1->maximum(), 47);
  EXPECT_EQ(dialog.Label1->text(), " Drop Down Items in Output Format List");
  EXPECT_EQ(dialog.Label1->pos(), QPoint(58, 87));
  EXPECT_EQ(dialog.Button1->text(), "Done");
  EXPECT_EQ(dialog.Button1->geometry(), QRect(282, 178, 118, 43));
  form->SetGeneralOptions1->trigger();
  dialog.CheckBoxOverWrite->setChecked(true);
  dialog.Button1->click();
  EXPECT_FALSE(dialog.isVisible());
  form->SetGeneralOptions1->trigger();
  EXPECT_TRUE(dialog.CheckBoxOverWrite->isChecked());  // only hidden, state kept
}
