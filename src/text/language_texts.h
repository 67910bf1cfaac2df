#pragma once
// The texts of the current language, looked up by key ("tc_msg15"). Empty for a key the
// language file did not hold.
#include <QString>

#include <string_view>

namespace zorvan {

QString GetText(std::string_view key);

// For tests and for the loader: replaces one text.
void SetText(std::string_view key, const QString& text);

}  // namespace zorvan
