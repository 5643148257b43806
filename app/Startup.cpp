#include "Startup.h"

#include <QApplication>

#include "Form1.h"
#include "Form4.h"
#include "FormAbout.h"
#include "ProgramIcon.h"

std::unique_ptr<TForm1> CreateForms(TPrompts& prompts, const QString& programFolder) {
  auto form1 = std::make_unique<TForm1>(prompts, programFolder);
  if (!form1->LibrariesLoaded()) return nullptr;
  new TFormAbout(*form1);
  new TForm4(*form1);
  return form1;
}

void NameApplication() {
  QCoreApplication::setOrganizationName("Quillmark");
  QCoreApplication::setApplicationName("Reelshift");
  QApplication::setWindowIcon(ProgramIcon());
}
