// The bad-input corpus through the window's add-files and Convert, with an
// MP4 and an MP3 entry: every row ends "Done" or "Fail", the sources stay as
// they were, no empty output is left, an existing output is kept, and the
// rows after a bad one are converted; one completion message at the end.
#include <QDir>
#include <filesystem>

#include "ReliabilitySupport.h"
#include "WindowTestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace reliability;
using windowtest::WindowTest;

std::vector<std::string> Paths(const std::vector<TBadInput>& corpus) {
  std::vector<std::string> paths;
  for (const TBadInput& input : corpus) paths.push_back(input.Path);
  return paths;
}

bool RowEndsAs(const QString& cell, TEnd expected) {
  switch (expected) {
    case TEnd::Done:
      return cell == "Done";
    case TEnd::Fail:
      return cell == "Fail";
    case TEnd::Either:
      return cell == "Done" || cell == "Fail";
  }
  return false;
}

class BadInputWindow : public WindowTest {
 protected:
  void ConvertCorpus(const QString& entry, const std::string& extension) {
    REQUIRE_MEDIA("rv10-ac3-560x320-5s.rmvb");
    REQUIRE_MEDIA("ac3-audio-only-0.8s.rm");
    REQUIRE_MEDIA("pointer.ram");
    const bool permissionsHold = PermissionBitsHoldHere();
    std::vector<TBadInput> corpus = MakeBadInputCorpus(inputs.Path(), true, permissionsHold);
    // The window's open-file dialog returns whatever name it is given.
    corpus.insert(corpus.end() - 1,
                  {"x.rmvb (a folder)", MakeFolderNamedRmvb(inputs.Path()), TEnd::Fail});
    const auto before = Checksums(Paths(corpus));
    const std::string kept = Output("made-cut50" + extension);
    ASSERT_TRUE(fixtures::WriteTextFile(kept, "an older output"));
    const std::string keptDigest = testsupport::Sha256(kept);

    StartWindow();
    SelectOutputFormat(entry);
    AddFiles(Paths(corpus));
    ASSERT_EQ(form->ListView1->RowCount(), int(corpus.size()));
    ConvertAndWait();
    for (size_t row = 0; row < corpus.size(); ++row) {
      const TBadInput& input = corpus[row];
      const QString cell = Cell(int(row), colProgress);
      SCOPED_TRACE(input.Name + " -> " + cell.toStdString());
      std::printf("%-24s %s\n", input.Name.c_str(), cell.toUtf8().constData());
      EXPECT_TRUE(RowEndsAs(cell, input.Expected));
      if (cell != "Done") continue;
      std::string name = fs::path(input.Path).stem().string();
      if (name == "made-cut50") name += "-1";
      std::string why;
      EXPECT_TRUE(Playable(Output(name + extension), why)) << name << ": " << why;
    }
    EXPECT_EQ(Completions(), 1);
    EXPECT_EQ(testsupport::Sha256(kept), keptDigest) << "an existing output is kept";
    EXPECT_EQ(EmptyFilesUnder(outputs.Path()), std::vector<std::string>{});
    EXPECT_EQ(Checksums(Paths(corpus)), before) << "the sources are unchanged";
  }
};

TEST_F(BadInputWindow, ThroughMp4EveryRowEndsAndNothingIsLost) {
  ConvertCorpus("MP4 - MPEG4 Video (*.mp4)", ".mp4");
}

TEST_F(BadInputWindow, ThroughMp3EveryRowEndsAndNothingIsLost) {
  ConvertCorpus("MP3 - Mpeg Layer3 Audio (*.mp3)", ".mp3");
}

}  // namespace
