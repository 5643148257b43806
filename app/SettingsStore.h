// The five stored settings. They live in an INI file at
// $XDG_CONFIG_HOME/Quillmark/Reelshift.conf (~/.config when unset) under the
// same value names and types the program always used: "Output Folder"
// (string), "ComboOutputFormat", "Overwrite", "DropDownItems", "LetterBox"
// (integers).
#pragma once

#include <QSettings>
#include <QString>
#include <memory>
#include <stdexcept>

class TForm1;
class TForm4;

// A value that cannot be read or written.
class ESettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The settings key, opened (and created when missing) for as long as it lives.
class TSettingsKey {
 public:
  TSettingsKey();
  static QString FilePath();

  // Empty when the value is missing.
  QString ReadString(const QString& name) const;
  // Throws ESettingsError when the value is missing or not an integer.
  int ReadInteger(const QString& name) const;
  void WriteString(const QString& name, const QString& value);
  void WriteInteger(const QString& name, int value);
  // Writes everything out; throws ESettingsError when that fails.
  void Close();

 private:
  std::unique_ptr<QSettings> settings_;
};

// Reads the stored values into the two windows' controls. When a value
// cannot be read, stops there and writes every value from the controls as
// they are now (which includes what was read so far).
void LoadSettings(TForm1& main, TForm4& options);
// Writes the five values from the controls, in their order; a failure ends
// the writing silently.
void SaveSettings(TForm1& main, TForm4& options);
