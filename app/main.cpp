// reelshift: the window program.
//
//   reelshift [--quit-after MS]
//
// --quit-after closes the window MS milliseconds after it is shown, through
// its normal close (a start-and-stop check for display-less machines).
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "Form1.h"
#include "Prompts.h"
#include "Startup.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  NameApplication();
  QCommandLineParser parser;
  parser.addHelpOption();
  const QCommandLineOption quitAfter("quit-after", "Close the window after MS milliseconds.", "MS");
  parser.addOption(quitAfter);
  parser.process(app);

  TDesktopPrompts prompts;
  std::unique_ptr<TForm1> form1 = CreateForms(prompts, QCoreApplication::applicationDirPath());
  if (!form1) return 1;
  form1->show();
  if (parser.isSet(quitAfter))
    QTimer::singleShot(parser.value(quitAfter).toInt(), form1.get(), [&form1] { form1->close(); });
  return app.exec();
}
