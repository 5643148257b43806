#include "ConvertOptions.h"

#include <charconv>
#include <string_view>

namespace cli {

namespace {

using TSetter = bool (*)(TConvertRequest& request, const std::string& value, std::string& error);

struct TOptionSpec {
  char Short;  // 0: long form only
  std::string_view Long;
  bool TakesValue;
  TSetter Set;
};

bool ParseInt(const std::string& text, int low, int high, int& value) {
  const char* end = text.data() + text.size();
  const auto [stop, failure] = std::from_chars(text.data(), end, value);
  return !text.empty() && failure == std::errc() && stop == end && value >= low && value <= high;
}

bool SetFormat(TConvertRequest& r, const std::string& v, std::string&) {
  r.Format = v;
  return true;
}

bool SetOutputFolder(TConvertRequest& r, const std::string& v, std::string& error) {
  if (v.empty()) {
    error = "the output folder must not be empty";
    return false;
  }
  r.OutputFolder = v;
  return true;
}

bool SetOverwrite(TConvertRequest& r, const std::string&, std::string&) {
  r.Overwrite = true;
  return true;
}

bool SetSetting(TConvertRequest& r, const std::string& v, std::string& error) {
  const size_t equals = v.find('=');
  if (equals == std::string::npos || equals == 0) {
    error = "--set takes LIST=ITEM, e.g. --set ComboAudioChannels=Mono";
    return false;
  }
  r.Settings.push_back({v.substr(0, equals), v.substr(equals + 1)});
  return true;
}

bool SetVolume(TConvertRequest& r, const std::string& v, std::string& error) {
  if (ParseInt(v, 0, 10, r.Volume)) return true;
  error = "--volume takes a position from 0 to 10, not \"" + v + "\"";
  return false;
}

struct TAspectName {
  std::string_view Name;
  int Item;
};
constexpr TAspectName kAspectNames[] = {{"original", 0}, {"4:3", 1}, {"16:9", 2}};

bool SetAspect(TConvertRequest& r, const std::string& v, std::string& error) {
  for (const TAspectName& aspect : kAspectNames) {
    if (aspect.Name == v) {
      r.AspectItem = aspect.Item;
      return true;
    }
  }
  error = "--aspect takes original, 4:3 or 16:9, not \"" + v + "\"";
  return false;
}

bool SetLetterBox(TConvertRequest& r, const std::string&, std::string&) {
  r.LetterBox = true;
  return true;
}

bool SetJobs(TConvertRequest& r, const std::string& v, std::string& error) {
  if (ParseInt(v, 1, 64, r.Jobs)) return true;
  error = "--jobs takes a number from 1 to 64, not \"" + v + "\"";
  return false;
}

bool SetRecursive(TConvertRequest& r, const std::string&, std::string&) {
  r.Recursive = true;
  return true;
}

bool SetHelp(TConvertRequest& r, const std::string&, std::string&) {
  r.Help = true;
  return true;
}

bool SetLogFile(TConvertRequest& r, const std::string& v, std::string& error) {
  if (v.empty()) {
    error = "--log needs a file name";
    return false;
  }
  r.LogFile = v;
  return true;
}

constexpr TOptionSpec kOptions[] = {
    {'f', "format", true, SetFormat},        {'o', "output-folder", true, SetOutputFolder},
    {0, "overwrite", false, SetOverwrite},   {0, "set", true, SetSetting},
    {0, "volume", true, SetVolume},          {0, "aspect", true, SetAspect},
    {0, "letterbox", false, SetLetterBox},   {'j', "jobs", true, SetJobs},
    {'r', "recursive", false, SetRecursive}, {0, "log", true, SetLogFile},
    {'h', "help", false, SetHelp},
};

const TOptionSpec* FindLong(std::string_view name) {
  for (const TOptionSpec& spec : kOptions)
    if (spec.Long == name) return &spec;
  return nullptr;
}

const TOptionSpec* FindShort(char name) {
  for (const TOptionSpec& spec : kOptions)
    if (spec.Short != 0 && spec.Short == name) return &spec;
  return nullptr;
}

// Walks the words one option (with its value) at a time.
class TArgumentReader {
 public:
  TArgumentReader(int argc, char** argv, TConvertRequest& request, std::string& error)
      : argc_(argc), argv_(argv), request_(request), error_(error) {}

  bool ReadAll() {
    bool optionsEnded = false;
    for (next_ = 0; next_ < argc_;) {
      const std::string word = argv_[next_++];
      if (optionsEnded || word.size() < 2 || word[0] != '-') {
        request_.Inputs.push_back(word);
      } else if (word == "--") {
        optionsEnded = true;
      } else if (!(word[1] == '-' ? ReadLong(word.substr(2)) : ReadShort(word))) {
        return false;
      }
    }
    if (!request_.Inputs.empty() || request_.Help) return true;
    error_ = "no FILE_OR_FOLDER to convert";
    return false;
  }

 private:
  bool ReadLong(const std::string& body) {
    const size_t equals = body.find('=');
    const std::string name = body.substr(0, equals);
    const TOptionSpec* spec = FindLong(name);
    if (!spec) return Unknown("--" + name);
    if (equals != std::string::npos) {
      if (spec->TakesValue) return spec->Set(request_, body.substr(equals + 1), error_);
      error_ = "--" + name + " takes no value";
      return false;
    }
    return Apply(*spec, "--" + name);
  }

  // "-j 2" or "-j2"; flags without a value may not be joined.
  bool ReadShort(const std::string& word) {
    const TOptionSpec* spec = FindShort(word[1]);
    if (!spec) return Unknown(word);
    if (word.size() == 2) return Apply(*spec, word);
    if (spec->TakesValue) return spec->Set(request_, word.substr(2), error_);
    return Unknown(word);
  }

  bool Apply(const TOptionSpec& spec, const std::string& shown) {
    if (!spec.TakesValue) return spec.Set(request_, "", error_);
    if (next_ >= argc_) {
      error_ = shown + " needs a value";
      return false;
    }
    return spec.Set(request_, argv_[next_++], error_);
  }

  bool Unknown(const std::string& shown) {
    error_ = "unknown option " + shown;
    return false;
  }

  int argc_;
  char** argv_;
  int next_ = 0;
  TConvertRequest& request_;
  std::string& error_;
};

}  // namespace

bool ParseConvertArguments(int argc, char** argv, TConvertRequest& request, std::string& error) {
  return TArgumentReader(argc, argv, request, error).ReadAll();
}

}  // namespace cli
