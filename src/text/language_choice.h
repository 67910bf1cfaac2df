#pragma once
// Which language is shown: the list of cfg.ini, the choice remembered in "lang.ini" of the data
// folder, and the switch the language selector makes.
#include "app/app_options.h"

#include <QString>

namespace zorvan {

// LangIndex of [OPT] in "lang.ini" of `dataDir`; 0 when missing, negative or not below
// `languageCount`.
int ReadLanguageIndex(const QString& dataDir, int languageCount);

// The "text.xml" of language `index` of the list: in that language's folder of `appDir`, or in
// `appDir` itself when the folder name is empty (no language list). Empty when the index is
// outside the list or the folder name leads out of `appDir`.
QString LanguageFilePath(const QString& appDir, const AppOptions& options, int index);

// At start of the main window: loads the language chosen in "lang.ini" (Paths(), Options()).
void LoadChosenLanguage();

// The language whose texts were loaded last by LoadChosenLanguage or SwitchLanguage.
int CurrentLanguage();

// The user picked language `index` of the counted list: loads its texts (Texts().Changed tells
// the pages) and writes LangIndex to "lang.ini". False, with nothing changed, for an index
// outside the list.
bool SwitchLanguage(int index);

}  // namespace zorvan
