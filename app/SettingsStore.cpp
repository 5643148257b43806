#include "SettingsStore.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QStandardPaths>

#include "Form1.h"
#include "Form4.h"

namespace {

const QString kOutputFolder = "Output Folder";
const QString kOutputFormat = "ComboOutputFormat";
const QString kOverwrite = "Overwrite";
const QString kDropDownItems = "DropDownItems";
const QString kLetterBox = "LetterBox";

void LoadValues(const TSettingsKey& key, TForm1& main, TForm4& options) {
  main.EditOutputFolder->setText(key.ReadString(kOutputFolder));
  if (const int format = key.ReadInteger(kOutputFormat); format >= 0)
    main.RestoreOutputFormat(format);
  options.CheckBoxOverWrite->setChecked(key.ReadInteger(kOverwrite) != 0);
  if (const int items = key.ReadInteger(kDropDownItems); items >= 0)
    options.SpinEdit1->setValue(items);  // kept within the spin edit's bounds
  if (const int letterBox = key.ReadInteger(kLetterBox); letterBox >= 0)
    main.RestoreLetterBox(letterBox);
}

}  // namespace

TSettingsKey::TSettingsKey()
    : settings_(std::make_unique<QSettings>(FilePath(), QSettings::IniFormat)) {}

QString TSettingsKey::FilePath() {
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return QDir(config).filePath("Quillmark/Reelshift.conf");
}

QString TSettingsKey::ReadString(const QString& name) const {
  return settings_->value(name).toString();
}

int TSettingsKey::ReadInteger(const QString& name) const {
  const QVariant value = settings_->value(name);
  bool ok = false;
  const int number = value.toString().trimmed().toInt(&ok);
  if (!value.isValid() || !ok) throw ESettingsError("cannot read " + name.toStdString());
  return number;
}

void TSettingsKey::WriteString(const QString& name, const QString& value) {
  settings_->setValue(name, value);
}

void TSettingsKey::WriteInteger(const QString& name, int value) {
  settings_->setValue(name, value);
}

void TSettingsKey::Close() {
  settings_->sync();
  if (settings_->status() != QSettings::NoError)
    throw ESettingsError("cannot write " + FilePath().toStdString());
}

void LoadSettings(TForm1& main, TForm4& options) {
  TSettingsKey key;
  try {
    LoadValues(key, main, options);
  } catch (const ESettingsError&) {
    SaveSettings(main, options);
  }
}

void SaveSettings(TForm1& main, TForm4& options) {
  try {
    TSettingsKey key;
    key.WriteString(kOutputFolder, main.EditOutputFolder->text());
    key.WriteInteger(kOutputFormat, main.OutputFormatIndex());
    key.WriteInteger(kOverwrite, options.Overwrite() ? 1 : 0);
    key.WriteInteger(kDropDownItems, options.DropDownItems());
    key.WriteInteger(kLetterBox, main.LetterBoxIndex());
    key.Close();
  } catch (const ESettingsError&) {
  }
}
