#include "SetupFiles.h"

#include "app/core/SetupInfo.h"
#include "vswriter/ValueWriter.h"

std::string SetupInfoFile(const SetupInfo& info) {
  using namespace setupinfo;
  TValueWriter w;
  w.Signature();
  if (info.version != 0) w.Int(info.version);  // format 0: no version value
  for (const Field& field : kHead) {
    if (!Present(field, info.version)) continue;
    switch (field.role) {
      case Role::LanguageFile: w.Str(info.languageFile); break;
      case Role::ProductName: w.Str(info.productName); break;
      case Role::ProductVersion: w.Str(info.productVersion); break;
      case Role::Silent: w.Bool(info.silent); break;
      case Role::Skipped:
        if (field.kind == Kind::Integer) w.Int(0);
        else if (field.kind == Kind::Boolean) w.Bool(false);
        else w.Str("");
        break;
    }
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
