// The desktop's message boxes, as the window shows them.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "Prompts.h"
#include "WindowTestSupport.h"

namespace {

struct TSeenBox {
  QString Caption, Text;
  QMessageBox::Icon Icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons Buttons;
};

// Reads the message box once it is open and presses `button`.
void AnswerBox(TSeenBox& seen, QMessageBox::StandardButton button) {
  QTimer::singleShot(50, [&seen, button] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return AnswerBox(seen, button);
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
    box->button(button)->click();
  });
}

}  // namespace

TEST(DesktopPrompts, InformationHasItsCaptionAndIcon) {
  TDesktopPrompts prompts;
  TSeenBox seen;
  AnswerBox(seen, QMessageBox::Ok);
  prompts.Information(nullptr, "All Conversions Completed");
  EXPECT_EQ(seen.Caption, "Information");
  EXPECT_EQ(seen.Text, "All Conversions Completed");
  EXPECT_EQ(seen.Icon, QMessageBox::Information);
  EXPECT_EQ(seen.Buttons, QMessageBox::Ok);
}

TEST(DesktopPrompts, ConfirmationAsksYesOrNo) {
  TDesktopPrompts prompts;
  for (const auto& [button, answer] :
       {std::pair{QMessageBox::Yes, true}, std::pair{QMessageBox::No, false}}) {
    TSeenBox seen;
    AnswerBox(seen, button);
    EXPECT_EQ(prompts.Confirm(nullptr, "Stop all conversions?"), answer);
    EXPECT_EQ(seen.Caption, "Confirmation");
    EXPECT_EQ(seen.Icon, QMessageBox::Question);
    EXPECT_EQ(seen.Buttons, QMessageBox::Yes | QMessageBox::No);
  }
}

TEST(DesktopPrompts, FileDialogFilterNamesTheRealMediaPatterns) {
  EXPECT_EQ(DialogFilter("All Supported Files (*.rm;*.rmvb;*.ram)|*.rm;*.rmvb;*.ram|"),
            "All Supported Files (*.rm *.rmvb *.ram)");
}
