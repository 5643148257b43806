// The program's start: the main window, the About box and the options dialog,
// created in that order.
#pragma once

#include <QString>
#include <memory>

class TForm1;
class TPrompts;

// Null when the media libraries are missing (the message has been shown and
// the program is to end). The About box and the options dialog belong to the
// main window (TForm1::FormAbout, TForm1::Form4).
std::unique_ptr<TForm1> CreateForms(TPrompts& prompts, const QString& programFolder);

// The application's names, as the settings and the desktop know them.
void NameApplication();
