#include "SetupFiles.h"

#include "vswriter/ValueWriter.h"

std::string SetupInfoFile(const SetupInfo& info) {
  TValueWriter w;
  w.Signature();
  w.Int(info.version);
  if (info.version < 4000)
    w.Str("");
  else
    w.Bool(false);
  w.Str("");
  w.Str(info.languageFile);
  w.Str(info.productName);
  w.Str(info.productVersion);
  if (info.version >= 4014) w.Int(0);
  if (info.version >= 5000) {
    w.Bool(false);
    w.Bool(false);
  }
  w.Bool(false);
  w.Str("");
  if (info.version > 4002) {
    w.Str("");
    w.Bool(info.silent);
  }
  return w.Data();
}

std::string LanguageFile(const std::string& language, const std::map<int32_t, std::string>& texts) {
  TValueWriter w;
  w.Signature();
  w.Str(language);
  w.Symbol(language);
  w.Int(0);  // one list
  w.BeginList();
  for (const auto& [number, text] : texts) {
    w.Int(number);
    w.Str(text);
  }
  w.End();
  return w.Data();
}
