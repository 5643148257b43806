// Pictures of the windows for a person to look at: the main window with two
// files and during a conversion, the options dialog and the About box. They
// go to screenshots/ in the build folder.
#include <QDir>
#include <QLineEdit>
#include <QToolButton>

#include "Form4.h"
#include "FormAbout.h"
#include "WindowTestSupport.h"

using namespace windowtest;

namespace {

const char* kRmvb = "rv40-cook-576x324-2m19s.rmvb";

QString ShotPath(const char* name) {
  const QString folder = QString::fromStdString(testsupport::BuildDir()) + "/screenshots";
  QDir().mkpath(folder);
  return folder + "/" + name;
}

void Shoot(QWidget& widget, const char* name) {
  EXPECT_TRUE(widget.grab().save(ShotPath(name))) << name;
}

}  // namespace

TEST_F(WindowTest, ScreenshotsOfTheWindows) {
  REQUIRE_MEDIA(kRmvb);
  StartWindow();
  AddFiles({testsupport::MediaPath(kRmvb), MakeClip(inputs.File("clip.rm"), 1.0, 320, 240)});
  Shoot(*form, "main-window-two-files.png");

  form->ComboVideoCodec->setCurrentIndex(1);  // H264, to have time for the picture
  form->ComboVideoCodec->activated(1);
  form->EditOutputFolder->setText(QString::fromStdString(outputs.Path()));
  form->ButtonConvert->click();
  ASSERT_TRUE(WaitFor(
      [this] { return Cell(0, colProgress).endsWith("%") && Cell(0, colProgress) != "0%"; }));
  Shoot(*form, "main-window-converting.png");
  prompts.Answer = [] { return true; };
  form->ButtonStopConvert->click();

  form->Form4->show();
  Shoot(*form->Form4, "options-dialog.png");
  form->Form4->hide();
  form->FormAbout->show();
  Shoot(*form->FormAbout, "about-box.png");
  form->FormAbout->hide();
  WaitFor([this] { return form->Converter.Tasks.Count() == 0; }, 5000);
}
